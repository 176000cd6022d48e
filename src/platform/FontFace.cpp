#include "platform/FontFace.h"

#include "platform/Cp1251.h"
#include "platform/Raster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

namespace {

std::mutex s_mutex; // guards the library, the face cache and the warnings

// A skin can name any font at any height: the cache of opened faces keeps the latest few.
constexpr std::size_t MaxCachedFaces = 64;
// The largest character height drawn, in pixels: more than the window shows.
constexpr double MaxEmPixels = 1000;

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        FT_Init_FreeType(&lib);
        return lib;
    }();
    return library;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The platform faces the program names, and the installed faces with the same metrics.
std::string StandIn(const std::string& family)
{
    static const std::map<std::string, std::string> stand_ins = {
        { "arial", "Liberation Sans" },
        { "ms sans serif", "Liberation Sans" },
        { "microsoft sans serif", "Liberation Sans" },
        { "tahoma", "DejaVu Sans" },
        { "verdana", "DejaVu Sans" },
        { "times new roman", "Liberation Serif" },
        { "courier new", "Liberation Mono" },
    };
    auto it = stand_ins.find(Lower(family));
    return it == stand_ins.end() ? family : it->second;
}

std::string MatchFile(const std::string& family, bool bold, bool italic, std::string& matched_family)
{
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    if (match) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
            file = reinterpret_cast<const char*>(value);
        if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
            matched_family = reinterpret_cast<const char*>(value);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

} // namespace

std::string ResolveFontFile(const std::string& family, bool bold, bool italic, std::string* resolved_family)
{
    static std::set<std::string> s_warned;
    std::string wanted = StandIn(family);
    std::string matched;
    std::string file = MatchFile(wanted, bold, italic, matched);
    if (Lower(matched) != Lower(wanted)) {
        std::string fallback_family;
        std::string fallback = MatchFile("DejaVu Sans", bold, italic, fallback_family);
        if (!fallback.empty()) {
            file = fallback;
            matched = fallback_family;
        }
        if (s_warned.insert(Lower(family)).second)
            std::fprintf(stderr, "warning: font \"%s\" is not installed; using \"%s\" instead\n", family.c_str(),
                matched.c_str());
    }
    if (resolved_family)
        *resolved_family = matched;
    return file;
}

struct FontFace::Impl {
    FT_Face face { nullptr };
    bool synthetic_bold { false };
};

std::shared_ptr<FontFace> FontFace::Get(const FontRequest& request)
{
    std::lock_guard lock(s_mutex);
    // The faces asked for lately, the latest last. Fonts keep the faces they use, so a face that
    // falls out of the cache lives on while a font holds it; the cache only saves opening it again.
    static std::vector<std::shared_ptr<FontFace>> s_cache;
    for (auto it = s_cache.begin(); it != s_cache.end(); ++it) {
        if ((*it)->m_request == request) {
            std::rotate(it, it + 1, s_cache.end());
            return s_cache.back();
        }
    }
    if (s_cache.size() >= MaxCachedFaces)
        s_cache.erase(s_cache.begin());

    std::shared_ptr<FontFace> font(new FontFace);
    font->m_request = request;
    font->m_impl = std::make_unique<Impl>();
    std::string file = ResolveFontFile(request.name, request.bold, request.italic, &font->m_family);
    FT_Face face = nullptr;
    if (file.empty() || FT_New_Face(Library(), file.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "warning: no font could be loaded for \"%s\"; text is not drawn\n", request.name.c_str());
        s_cache.push_back(font);
        return font;
    }
    font->m_impl->face = face;
    font->m_impl->synthetic_bold = request.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);

    // The platform measures the cell with the face's Windows ascent and descent.
    double units = face->units_per_EM;
    double ascent_units = face->ascender, descent_units = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
        ascent_units = os2->usWinAscent;
        descent_units = os2->usWinDescent;
    }
    double cell_units = ascent_units + descent_units;
    double em_pixels = request.height < 0 ? -double(request.height) : request.height * units / cell_units;
    if (request.height == 0)
        em_pixels = 16;
    // A height from a damaged skin may be anything an int holds; glyphs are never made larger than
    // any window shows.
    em_pixels = std::min(em_pixels, MaxEmPixels);
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(em_pixels * 64)), 72, 72);
    FontMetrics& m = font->m_metrics;
    double scale = em_pixels / units;
    m.ascent = int(std::lround(ascent_units * scale));
    m.descent = int(std::lround(descent_units * scale));
    m.height = m.ascent + m.descent;
    m.internal_leading = m.height - int(std::lround(em_pixels));
    s_cache.push_back(font);
    return font;
}

FontFace::~FontFace()
{
    if (m_impl && m_impl->face)
        FT_Done_Face(m_impl->face);
}

const FontFace::Glyph& FontFace::GlyphOf(unsigned char byte)
{
    Glyph& glyph = m_glyphs[byte];
    if (glyph.loaded)
        return glyph;
    std::lock_guard lock(s_mutex);
    glyph.loaded = true;
    FT_Face face = m_impl ? m_impl->face : nullptr;
    if (!face)
        return glyph;
    char32_t cp = Cp1251ToCodePoint(byte);
    if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
        return glyph;
    if (m_impl->synthetic_bold)
        FT_Outline_Embolden(&face->glyph->outline, 64);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_LIGHT) != 0)
        return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.advance = int((face->glyph->advance.x + 32) >> 6) + (m_impl->synthetic_bold ? 1 : 0);
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    glyph.coverage.resize(std::size_t(glyph.width) * std::size_t(glyph.height));
    for (int y = 0; y < glyph.height; ++y)
        std::copy_n(bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch, glyph.width,
            glyph.coverage.begin() + std::ptrdiff_t(y) * glyph.width);
    return glyph;
}

int FontFace::TextWidth(std::string_view text)
{
    long long width = 0;
    for (unsigned char c : text)
        width += GlyphOf(c).advance;
    return Saturated(width);
}

void FontFace::DrawText(PixelBuffer& dst, Point at, std::string_view text, Pixel color, Rect clip)
{
    // Text may be placed anywhere an int reaches: the pen saturates, and glyphs out there are clipped.
    int pen = at.x;
    int baseline = SatAdd(at.y, m_metrics.ascent);
    for (unsigned char c : text) {
        const Glyph& glyph = GlyphOf(c);
        if (!glyph.coverage.empty())
            BlendCoverage(dst, { SatAdd(pen, glyph.left), SatSub(baseline, glyph.top) }, glyph.coverage.data(),
                glyph.width, glyph.height, glyph.width, color, clip);
        pen = SatAdd(pen, glyph.advance);
    }
    if (m_request.underline) {
        int y = SatAdd(baseline, std::max(1, m_metrics.descent / 2));
        FillRect(dst, { at.x, y, pen, SatAdd(y, 1) }, color, clip);
    }
}
