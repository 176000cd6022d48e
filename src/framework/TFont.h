#pragma once

#include "framework/TObject.h"
#include "platform/Color.h"
#include "platform/FontFace.h"

#include <memory>
#include <string>

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// The design density of the layout; sizes in points convert to pixel heights at this density.
constexpr int DesignPixelsPerInch = 96;

// A font description with its change notification. Height follows the platform's sign rule
// (negative: character height; positive: cell height); Size is in points, Height = -Size * ppi / 72.
class TFont : public TObject {
public:
    TFont() = default;
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other)
    {
        Assign(other);
        return *this;
    }

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);
    int Height() const { return m_height; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    int PixelsPerInch() const { return m_pixels_per_inch; }
    void SetPixelsPerInch(int ppi) { m_pixels_per_inch = ppi; }

    void Assign(const TFont& other);
    // The rasterised face for the current description (shared and cached).
    FontFace& Face() const;

    TNotifyEvent OnChange;

private:
    void Changed();

    std::string m_name { "MS Sans Serif" };
    int m_height { -11 };
    TFontStyles m_style { 0 };
    TColor m_color { clWindowText };
    int m_pixels_per_inch { DesignPixelsPerInch };
    mutable std::shared_ptr<FontFace> m_face;
};
