#pragma once

#include "Drawing.h"

#include <string>
#include <string_view>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

// One typeface found through fontconfig and rasterised by FreeType at a fixed pixel size. Text is
// UTF-8; glyphs are placed on whole pixels with hinting, so that captions are crisp at 1:1.
class Lettering {
public:
    // `pattern` is a fontconfig pattern such as "Liberation Sans:bold"; fontconfig falls back to
    // the closest installed face when the named one is missing.
    Lettering(const std::string& pattern, int pixel_size);
    ~Lettering();
    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    const std::string& FilePath() const { return m_path; }

    // Advance width of the text in pixels, kerning included.
    int Measure(std::string_view text) const;
    // Height of capital letters above the baseline, in pixels.
    int CapHeight() const;

    // Draws the text with its left end at x and its baseline at y.
    void Draw(Drawing& target, std::string_view text, int x, int baseline, Rgb colour, float opacity = 1) const;
    // Draws the text centred on x.
    void DrawCentred(Drawing& target, std::string_view text, float centre_x, int baseline, Rgb colour,
        float opacity = 1) const;

private:
    FT_Library m_library { nullptr };
    FT_Face m_face { nullptr };
    std::string m_path;
};
