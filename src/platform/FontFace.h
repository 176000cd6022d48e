#pragma once

#include "platform/PixelBuffer.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A font as the program asks for it. `height` follows the platform's sign rule: negative gives the
// character height (the em size) in pixels, positive the cell height (ascent plus descent).
struct FontRequest {
    std::string name;
    int height { -11 };
    bool bold { false };
    bool italic { false };
    bool underline { false };
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct FontMetrics {
    int ascent { 0 };
    int descent { 0 };
    int height { 0 }; // cell height: ascent + descent
    int internal_leading { 0 };
};

// A rasterised face at one size, with a glyph cache for the 256 Windows-1251 characters. Faces are
// shared: FontFace::Get returns the same object for equal requests.
class FontFace {
public:
    static std::shared_ptr<FontFace> Get(const FontRequest& request);
    ~FontFace();

    const FontMetrics& Metrics() const { return m_metrics; }
    // Width in pixels of Windows-1251 text (advances, with kerning left out as the platform does).
    int TextWidth(std::string_view text);
    // Draws text with the top of its cell at `at`.y, the first glyph's origin at `at`.x.
    void DrawText(PixelBuffer& dst, Point at, std::string_view text, Pixel color, Rect clip);
    const std::string& FamilyName() const { return m_family; }

    struct Glyph {
        bool loaded { false };
        int advance { 0 };
        int left { 0 }; // bitmap offset from the pen position
        int top { 0 };  // bitmap top above the baseline
        int width { 0 };
        int height { 0 };
        std::vector<std::uint8_t> coverage;
    };

private:
    FontFace() = default;
    const Glyph& GlyphOf(unsigned char byte);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    FontRequest m_request;
    std::string m_family;
    FontMetrics m_metrics;
    std::array<Glyph, 256> m_glyphs;
};

// The file of the installed face that stands in for `family` (Arial and MS Sans Serif map to a
// metric-compatible sans face). Prints one warning on standard error when it falls back to another
// face. Exposed for tests.
std::string ResolveFontFile(const std::string& family, bool bold, bool italic, std::string* resolved_family = nullptr);
