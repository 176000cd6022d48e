#include "Lettering.h"

#include "framework/Exception.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

namespace {

// Decodes UTF-8; a malformed byte becomes U+FFFD so that bad text shows instead of stopping.
std::vector<char32_t> DecodeUtf8(std::string_view text)
{
    std::vector<char32_t> code_points;
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t extra = byte < 0x80 ? 0 : (byte >> 5) == 6 ? 1 : (byte >> 4) == 14 ? 2 : (byte >> 3) == 30 ? 3 : 4;
        bool valid = extra < 4 && i + extra < text.size();
        char32_t cp = byte & (0x7F >> extra);
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = cp << 6 | (next & 0x3F);
        }
        code_points.push_back(valid ? cp : char32_t { 0xFFFD });
        i += valid ? 1 + extra : 1;
    }
    return code_points;
}

std::string FindFontFile(const std::string& pattern_text)
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        throw Exception("fontconfig could not be initialised");
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(pattern_text.c_str()));
    if (!pattern) {
        FcConfigDestroy(config);
        throw Exception("Bad font pattern \"" + pattern_text + "\"");
    }
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    if (path.empty())
        throw Exception("No font found for \"" + pattern_text + "\"");
    return path;
}

} // namespace

Lettering::Lettering(const std::string& pattern, int pixel_size)
    : m_path(FindFontFile(pattern))
{
    if (FT_Init_FreeType(&m_library) != 0)
        throw Exception("FreeType could not be initialised");
    if (FT_New_Face(m_library, m_path.c_str(), 0, &m_face) != 0) {
        FT_Done_FreeType(m_library);
        throw Exception("Cannot load the font " + m_path);
    }
    if (FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(pixel_size)) != 0) {
        FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
        throw Exception("Cannot size the font " + m_path);
    }
}

Lettering::~Lettering()
{
    FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
}

int Lettering::Measure(std::string_view text) const
{
    long width = 0;
    FT_UInt previous = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        FT_UInt index = FT_Get_Char_Index(m_face, cp);
        if (previous && index && FT_HAS_KERNING(m_face)) {
            FT_Vector kern;
            FT_Get_Kerning(m_face, previous, index, FT_KERNING_DEFAULT, &kern);
            width += kern.x;
        }
        if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) == 0)
            width += m_face->glyph->advance.x;
        previous = index;
    }
    return static_cast<int>((width + 32) >> 6);
}

int Lettering::CapHeight() const
{
    FT_UInt index = FT_Get_Char_Index(m_face, U'H');
    if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
        return 0;
    return static_cast<int>((m_face->glyph->metrics.horiBearingY + 32) >> 6);
}

void Lettering::Draw(Drawing& target, std::string_view text, int x, int baseline, Rgb colour, float opacity) const
{
    long pen = static_cast<long>(x) << 6;
    FT_UInt previous = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        FT_UInt index = FT_Get_Char_Index(m_face, cp);
        if (previous && index && FT_HAS_KERNING(m_face)) {
            FT_Vector kern;
            FT_Get_Kerning(m_face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += kern.x;
        }
        previous = index;
        if (FT_Load_Glyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        FT_GlyphSlot glyph = m_face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        int left = static_cast<int>((pen + 32) >> 6) + glyph->bitmap_left;
        int top = baseline - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                if (line[col])
                    target.Blend(left + static_cast<int>(col), top + static_cast<int>(row), colour,
                        line[col] / 255.0f * opacity);
            }
        }
        pen += glyph->advance.x;
    }
}

void Lettering::DrawCentred(Drawing& target, std::string_view text, float centre_x, int baseline, Rgb colour,
    float opacity) const
{
    Draw(target, text, static_cast<int>(std::lround(centre_x - Measure(text) / 2.0f)), baseline, colour, opacity);
}
