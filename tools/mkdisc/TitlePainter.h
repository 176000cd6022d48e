#pragma once

#include "RgbImage.h"

#include <memory>
#include <string>

// Sets a heading in a picture with FreeType: the article previews carry their article's title on
// a band across the top, as the page itself begins. Without a usable font the band stays empty.
class TitlePainter {
public:
    TitlePainter();
    ~TitlePainter();
    TitlePainter(const TitlePainter&) = delete;
    TitlePainter& operator=(const TitlePainter&) = delete;

    bool HasFont() const;
    // Draws a darkened band at the top of the picture and the UTF-8 title in it, wrapped onto as
    // many lines as it needs.
    void DrawBand(RgbImage& image, const std::string& title, int pixel_size, Rgb band, Rgb ink) const;

private:
    struct Font;
    std::unique_ptr<Font> m_font;
};
