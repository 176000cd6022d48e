#include "DesertPainter.h"

#include "Noise.h"
#include "Random.h"

#include <algorithm>
#include <cmath>

namespace {

// Maximum coverage of antialiased strokes, so crossings do not double up.
void StrokeInto(std::vector<float>& mask, int width, int height, Vec2 a, Vec2 b, float half_width)
{
    int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - half_width - 1)));
    int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - half_width - 1)));
    int x1 = std::min(width - 1, int(std::ceil(std::max(a.x, b.x) + half_width + 1)));
    int y1 = std::min(height - 1, int(std::ceil(std::max(a.y, b.y) + half_width + 1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float d = SegmentDistance({ x + 0.5f, y + 0.5f }, a, b);
            float c = std::clamp(half_width - d + 0.5f, 0.0f, 1.0f);
            float& m = mask[std::size_t(y) * width + x];
            m = std::max(m, c);
        }
    }
}

} // namespace

void PaintDesert(RgbImage& out, const std::vector<Polyline>& figure, const DesertView& view, std::uint32_t seed)
{
    const int width = out.Width(), height = out.Height();
    const Noise ground(seed), stones(seed ^ 0xABCDEFu), wobble(seed ^ 0x777u);
    Random random(seed);
    const Rgb sand { 168, 118, 84 }, dark { 118, 78, 58 }, cleared { 226, 204, 172 };

    // Ground: broad colour drift, darker stony patches and single pebbles.
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x) {
            float n = ground.Fractal(x / 90.0f, y / 90.0f);
            float s = stones.At(x / 9.0f, y / 9.0f);
            Rgb c = Mix(sand, dark, std::clamp(0.35f + 0.35f * n + 0.25f * s, 0.0f, 1.0f));
            float pebble = Noise::Hash(x, y, seed);
            if (pebble > 0.985f)
                c = Scaled(c, 0.6f);
            float grain = Noise::Hash(x, y, seed + 1) * 6;
            row[x * 3 + 0] = RgbImage::ToByte(c.r + grain);
            row[x * 3 + 1] = RgbImage::ToByte(c.g + grain);
            row[x * 3 + 2] = RgbImage::ToByte(c.b + grain);
        }
    }

    std::vector<float> mask(std::size_t(width) * height, 0.0f);
    // Old straight lines running far across the plateau, fainter than the figure.
    int lines = random.Int(2, 5);
    for (int i = 0; i < lines; ++i) {
        Vec2 a { float(random.Uniform(-0.2, 1.2) * width), -10.0f };
        Vec2 b { float(random.Uniform(-0.2, 1.2) * width), float(height + 10) };
        if (random.Chance(0.5))
            std::swap(a.y, b.x), std::swap(a.x, b.y);
        StrokeInto(mask, width, height, a, b, float(random.Uniform(1.0, 3.0)));
    }
    for (float& m : mask)
        m *= 0.45f;

    const float cs = std::cos(view.angle), sn = std::sin(view.angle);
    auto to_pixels = [&](Vec2 p) {
        Vec2 d = p - view.centre;
        return Vec2 { width / 2.0f + (d.x * cs - d.y * sn) * view.pixels_per_unit,
            height / 2.0f + (d.x * sn + d.y * cs) * view.pixels_per_unit };
    };
    float half_width = std::max(1.2f, view.pixels_per_unit * 0.012f);
    for (const Polyline& line : figure) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            // Split long segments so that the track can wander a little, as if walked by hand.
            Vec2 a = line[i - 1], b = line[i];
            int pieces = std::max(1, int(Length(b - a) * 12));
            for (int k = 0; k < pieces; ++k) {
                Vec2 p = a + (b - a) * (float(k) / pieces), q = a + (b - a) * (float(k + 1) / pieces);
                auto jitter = [&](Vec2 v) {
                    return v + Vec2 { wobble.At(v.x * 9, v.y * 9), wobble.At(v.y * 9 + 40, v.x * 9) } * 0.006f;
                };
                StrokeInto(mask, width, height, to_pixels(jitter(p)), to_pixels(jitter(q)), half_width);
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float m = mask[std::size_t(y) * width + x];
            if (m > 0) {
                float n = 0.9f + 0.1f * stones.At(x / 3.0f, y / 3.0f);
                out.Set(x, y, Mix(out.Get(x, y), Scaled(cleared, n), m));
            }
        }
    }
}
