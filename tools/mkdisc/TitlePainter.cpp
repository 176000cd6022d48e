#include "TitlePainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

namespace {

// Fonts that the project's setup installs; the first that loads is used.
constexpr const char* s_fonts[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf",
};

std::u32string Decode(const std::string& utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        int length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
        char32_t cp = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < length && i + std::size_t(k) < utf8.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i + std::size_t(k)]) & 0x3F);
        out += cp;
        i += std::size_t(length);
    }
    return out;
}

} // namespace

struct TitlePainter::Font {
    FT_Library library { nullptr };
    FT_Face face { nullptr };
};

TitlePainter::TitlePainter()
    : m_font(std::make_unique<Font>())
{
    if (FT_Init_FreeType(&m_font->library) != 0) {
        m_font->library = nullptr;
        return;
    }
    for (const char* path : s_fonts)
        if (FT_New_Face(m_font->library, path, 0, &m_font->face) == 0)
            return;
    m_font->face = nullptr;
}

TitlePainter::~TitlePainter()
{
    if (m_font->face)
        FT_Done_Face(m_font->face);
    if (m_font->library)
        FT_Done_FreeType(m_font->library);
}

bool TitlePainter::HasFont() const { return m_font->face != nullptr; }

void TitlePainter::DrawBand(RgbImage& image, const std::string& title, int pixel_size, Rgb band, Rgb ink) const
{
    FT_Face face = m_font->face;
    const int margin = pixel_size;
    const int line_height = pixel_size * 5 / 4;
    const int max_width = image.Width() - 2 * margin;

    // Break the title into lines at spaces, measuring with the glyphs' advances.
    std::vector<std::u32string> lines;
    if (face) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixel_size));
        auto advance = [&](char32_t c) {
            return FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0 ? int(face->glyph->advance.x >> 6) : 0;
        };
        std::u32string text = Decode(title), line, word;
        int line_width = 0, word_width = 0, space = advance(U' ');
        auto flush_word = [&] {
            if (!line.empty() && line_width + space + word_width > max_width) {
                lines.push_back(line);
                line.clear();
                line_width = 0;
            }
            if (!line.empty()) {
                line += U' ';
                line_width += space;
            }
            line += word;
            line_width += word_width;
            word.clear();
            word_width = 0;
        };
        for (char32_t c : text) {
            if (c == U' ') {
                flush_word();
            } else {
                word += c;
                word_width += advance(c);
            }
        }
        flush_word();
        if (!line.empty())
            lines.push_back(line);
    }

    int band_height = std::max(1, int(lines.size())) * line_height + margin;
    for (int y = 0; y < std::min(band_height, image.Height()); ++y)
        for (int x = 0; x < image.Width(); ++x)
            image.Blend(x, y, band, 0.78f);
    for (int x = 0; x < image.Width(); ++x)
        image.Blend(x, std::min(band_height, image.Height() - 1), ink, 0.6f);
    if (!face)
        return;

    int baseline = margin / 2 + pixel_size;
    for (const std::u32string& line : lines) {
        int pen = margin;
        for (char32_t c : line) {
            if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot glyph = face->glyph;
            const FT_Bitmap& bitmap = glyph->bitmap;
            for (unsigned row = 0; row < bitmap.rows; ++row)
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    unsigned char coverage = bitmap.buffer[int(row) * bitmap.pitch + int(col)];
                    if (coverage)
                        image.Blend(pen + glyph->bitmap_left + int(col), baseline - glyph->bitmap_top + int(row), ink,
                            coverage / 255.0f);
                }
            pen += int(glyph->advance.x >> 6);
        }
        baseline += line_height;
    }
}
