#pragma once

#include "framework/TBitmap.h"
#include "platform/PixelBuffer.h"

#include <cstdint>
#include <vector>

// The skin's colours: wheat, straw and earth, as the rest of the window.
struct Rgb {
    int r, g, b;
};

namespace Skin {
constexpr Rgb Ink { 60, 42, 26 };
constexpr Rgb EarthDark { 84, 58, 35 };
constexpr Rgb Earth { 122, 86, 50 };
constexpr Rgb Clay { 160, 120, 72 };
constexpr Rgb WheatDeep { 197, 162, 96 };
constexpr Rgb Wheat { 218, 191, 128 };
constexpr Rgb Straw { 233, 215, 166 };
constexpr Rgb ParchmentDeep { 233, 220, 188 };
constexpr Rgb Parchment { 243, 235, 214 };
constexpr Rgb Paper { 251, 247, 236 };
constexpr Rgb Cream { 252, 245, 224 };
constexpr Rgb Leaf { 112, 140, 66 };
} // namespace Skin

Rgb Mix(Rgb a, Rgb b, double t);

// A 32-bit drawing surface with the few shapes the skin's pictures need.
class SkinCanvas {
public:
    SkinCanvas(int width, int height, Rgb background);

    int Width() const { return m_pixels.Width(); }
    int Height() const { return m_pixels.Height(); }
    void Set(int x, int y, Rgb c);
    Rgb Get(int x, int y) const;
    void Fill(Rect r, Rgb c);
    void Frame(Rect r, Rgb c);
    // A frame with its four corner pixels in `corner` (a rounded look).
    void RoundFrame(Rect r, Rgb line, Rgb corner);
    // Rows from `top` colour to `bottom` colour.
    void VerticalGradient(Rect r, Rgb top, Rgb bottom);
    void HorizontalGradient(Rect r, Rgb left, Rgb right);
    // A fine, fixed grain: each pixel moved by up to `amount` by a hash of its place in a
    // `period_x` x `period_y` tile, so that the grain tiles seamlessly.
    void Grain(Rect r, int amount, int period_x, int period_y);
    // A solid triangle with its tip toward `direction` (0 left, 1 up, 2 right, 3 down), lines of
    // 1, 3, 5 ... pixels, centred on (cx, cy).
    void Arrow(int cx, int cy, int direction, int lines, Rgb c);
    // A raised plate: fill, light top-left and dark bottom-right edges, a frame.
    void Plate(Rect r, Rgb fill, Rgb light, Rgb dark, Rgb frame);

    // The picture at the given depth: 24 bits, or 8 bits on `palette`, or 1 bit black and white.
    std::unique_ptr<TBitmap> ToBitmap(TPixelFormat format, const std::vector<TColor>& palette = {}) const;

private:
    PixelBuffer m_pixels;
};

// A palette of `count` colours along the ramp of the given stops.
std::vector<TColor> RampPalette(const std::vector<Rgb>& stops, int count);
