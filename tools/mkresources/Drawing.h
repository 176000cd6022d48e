#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A colour with channels 0..255 kept as floats, so that layered translucent painting does not
// round at every step; pictures are rounded to bytes once, when they are written.
struct Rgb {
    float r { 0 };
    float g { 0 };
    float b { 0 };
};

constexpr Rgb Mix(Rgb a, Rgb b, float t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

constexpr Rgb Shade(Rgb c, float delta) { return { c.r + delta, c.g + delta, c.b + delta }; }

// An area in pixel units; x1 and y1 are exclusive.
struct Box {
    float x0 { 0 };
    float y0 { 0 };
    float x1 { 0 };
    float y1 { 0 };

    Box Inset(float d) const { return { x0 + d, y0 + d, x1 - d, y1 - d }; }
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
    float CentreX() const { return (x0 + x1) / 2; }
    float CentreY() const { return (y0 + y1) / 2; }
};

// Signed distances in pixels (negative inside) of the shapes the pictures are built from.
// Painting turns a distance into coverage over one pixel, which gives anti-aliased edges.
namespace Sdf {

inline float Circle(float x, float y, float cx, float cy, float r)
{
    return std::hypot(x - cx, y - cy) - r;
}

// A ring of the given width centred on radius r.
inline float Ring(float x, float y, float cx, float cy, float r, float width)
{
    return std::fabs(Circle(x, y, cx, cy, r)) - width / 2;
}

inline float Ellipse(float x, float y, float cx, float cy, float rx, float ry)
{
    // Scaled circle distance: close enough near the edge for one pixel of anti-aliasing.
    float k = std::min(rx, ry);
    return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1) * k;
}

// A line from (ax, ay) to (bx, by) with round ends, `width` wide.
float Segment(float x, float y, float ax, float ay, float bx, float by, float width);

float RoundBox(float x, float y, Box box, float radius);

// A convex polygon given clockwise or anticlockwise; inside distances are exact, outside ones
// are slightly short near corners, which only sharpens the corners a little.
float Polygon(float x, float y, const std::vector<float>& xy);

inline float Union(float a, float b) { return std::min(a, b); }
inline float Subtract(float a, float b) { return std::max(a, -b); }

} // namespace Sdf

// A picture in the making: rows of float colours with painting operations over it.
class Drawing {
public:
    Drawing(int width, int height, Rgb fill = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgb& At(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    const Rgb& At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }

    // Blends `paint(x, y)` over every pixel of `area` by the coverage of the shape `sdf(cx, cy)`
    // (sampled at the pixel centre) times `opacity`.
    template<typename Shape, typename Paint>
    void Fill(Box area, Shape&& sdf, Paint&& paint, float opacity = 1)
    {
        int x0 = std::max(0, static_cast<int>(std::floor(area.x0)) - 1);
        int y0 = std::max(0, static_cast<int>(std::floor(area.y0)) - 1);
        int x1 = std::min(m_width, static_cast<int>(std::ceil(area.x1)) + 1);
        int y1 = std::min(m_height, static_cast<int>(std::ceil(area.y1)) + 1);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                float d = sdf(x + 0.5f, y + 0.5f);
                float coverage = std::clamp(0.5f - d, 0.0f, 1.0f) * opacity;
                if (coverage <= 0)
                    continue;
                Rgb& pixel = At(x, y);
                pixel = Mix(pixel, paint(x, y), coverage);
            }
        }
    }

    template<typename Shape>
    void FillSolid(Box area, Shape&& sdf, Rgb colour, float opacity = 1)
    {
        Fill(area, sdf, [colour](int, int) { return colour; }, opacity);
    }

    // Blends `colour` over one pixel with the given weight; ignores pixels outside.
    void Blend(int x, int y, Rgb colour, float weight);

    // The part at (x, y) of the given size; rows and columns outside repeat the nearest edge.
    Drawing Crop(int x, int y, int width, int height) const;

    // Copies `source` with its top-left corner at (x, y), clipped to this picture.
    void Paste(const Drawing& source, int x, int y);

    // 8-bit red, green, blue rows, rounded and clamped.
    std::vector<std::uint8_t> ToRgb8() const;

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// Deterministic value noise in 0..1: the same arguments give the same value on every machine.
float HashNoise(int x, int y, int seed);

// Smooth noise over a lattice of `cell` pixels; with `period_x`/`period_y` > 0 (in lattice cells)
// it repeats, so that a tile made with it joins seamlessly.
float SmoothNoise(float x, float y, float cell, int seed, int period_x = 0, int period_y = 0);
