// Fuzzes the skin INI reader: the text is loaded as a stored skin's INI text into skin data, and
// skinned controls look their records up and paint with whatever it gave.
#include "framework/Exception.h"
#include "framework/TBitmap.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsStoredSkin.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

std::unique_ptr<TBitmap> Picture(int width, int height)
{
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(TPixelFormat::pf24bit);
    picture->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < picture->RowBytes(); ++x)
            picture->ScanLine(y)[x] = std::uint8_t(x ^ y);
    picture->Modified();
    return picture;
}

void Exercise(TbsSkinCustomControl& control, TbsSkinData& data, const char* name, int width, int height)
{
    control.SetSkinDataName(name);
    control.SetSkinData(&data);
    control.SetBounds(0, 0, width, height);
    // The harness paints only sizes a window could show; a record may fix a control at any size.
    if (static_cast<long long>(control.Width()) * control.Height() > (1 << 20))
        return;
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(control.Width(), control.Height());
    control.Paint(target.Canvas());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    TbsStoredSkin stored;
    stored.SetIniStrings(lines);
    for (int i = 0; i < 4; ++i)
        stored.AddControlPicture(Picture(40 + 20 * i, 30 + 10 * i));
    TbsSkinData skin;
    try {
        skin.SetStoredSkin(&stored);
    } catch (const Exception&) {
    }
    try {
        TbsSkinScrollBar vertical(nullptr);
        vertical.SetKind(TScrollBarKind::sbVertical);
        vertical.SetRange(0, 50, 7, 20);
        Exercise(vertical, skin, "vscrollbar", 17, 120);
        TbsSkinScrollBar horizontal(nullptr);
        horizontal.SetBoth(true);
        Exercise(horizontal, skin, "hscrollbar", 120, 17);
        TbsSkinCustomControl list(nullptr);
        Exercise(list, skin, "listbox", 90, 70);
        // An unskinned bar too small for its parts, with a corner marker wider than itself.
        TbsSkinScrollBar tiny(nullptr);
        tiny.SetBothMarkerWidth(int(size % 64));
        tiny.SetBoth(true);
        Exercise(tiny, skin, "", 5 + int(size % 23), 9);
    } catch (const Exception&) {
    }
    return 0;
}
