#pragma once

#include "framework/TBitmap.h"
#include "framework/TStringList.h"
#include "framework/TWinControl.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsStoredSkin.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

inline TStringList Lines(std::string_view text)
{
    TStringList lines;
    lines.SetText(text);
    return lines;
}

// A 24-bit picture whose pixel (x, y) has red x, green y and blue 7, so that a copied pixel tells
// where it came from.
inline std::unique_ptr<TBitmap> CoordinatePicture(int width, int height)
{
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(TPixelFormat::pf24bit);
    picture->SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = 7;
            row[3 * x + 1] = std::uint8_t(y);
            row[3 * x + 2] = std::uint8_t(x);
        }
    }
    picture->Modified();
    return picture;
}

// The source coordinates a pixel of a CoordinatePicture copy came from.
inline Point SourceOf(const TBitmap& bitmap, int x, int y)
{
    Pixel p = bitmap.Pixels().At(x, y);
    return { int(p >> 16 & 0xFF), int(p >> 8 & 0xFF) };
}

// The sections every skin needs, followed by `extra` and a [SKINCONTROLS] list of `controls`.
inline std::string SkinIni(const std::vector<std::string>& controls, std::string_view extra = "")
{
    std::string text = "[VERSION]\nskinname=Test\n[PICTURES]\npicture=\n[FORMINFO]\n[SKINOBJECTS]\ncount=0\n";
    text += extra;
    text += "\n[SKINCONTROLS]\ncount=" + std::to_string(controls.size()) + "\n";
    for (std::size_t i = 0; i < controls.size(); ++i)
        text += std::to_string(i) + "=" + controls[i] + "\n";
    return text;
}

// A window that records the messages it is sent.
class MessageRecorder : public TWinControl {
public:
    explicit MessageRecorder(TComponent* owner = nullptr)
        : TWinControl(owner)
    {
    }
    void HandleMessage(int message, long wparam, long lparam) override
    {
        messages.push_back(message);
        wparams.push_back(wparam);
        lparams.push_back(lparam);
    }
    std::vector<int> messages;
    std::vector<long> wparams;
    std::vector<long> lparams;
};

// A stored skin with `ini` as its text and the given control pictures, loaded into skin data.
struct LoadedSkin {
    TbsStoredSkin stored;
    TbsSkinData data;

    explicit LoadedSkin(std::string_view ini, std::vector<std::unique_ptr<TBitmap>> pictures = {})
    {
        stored.SetIniStrings(Lines(ini));
        for (auto& picture : pictures)
            stored.AddControlPicture(std::move(picture));
        data.SetStoredSkin(&stored);
    }
};
