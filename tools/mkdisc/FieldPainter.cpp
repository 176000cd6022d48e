#include "FieldPainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

FieldLook FieldLook::Make(Random& random)
{
    FieldLook look;
    // Ripe wheat, green wheat, pale barley or dark green oats.
    static constexpr Rgb crops[] = {
        { 196, 164, 92 }, { 150, 160, 80 }, { 206, 186, 122 }, { 112, 140, 70 }, { 182, 150, 86 },
    };
    look.crop = crops[random.Int(0, 4)];
    Rgb pale { 238, 226, 180 };
    look.laid = Mix(look.crop, pale, 0.55f);
    look.neighbour = crops[random.Int(0, 4)];
    look.neighbour = Mix(look.neighbour, Rgb { 120, 110, 70 }, 0.25f);
    look.tram_angle = random.Uniform(0, s_pi);
    look.tram_spacing = random.Uniform(18, 26);
    look.hedge_angle = random.Uniform(0, 2 * s_pi);
    look.hedge_distance = random.Uniform(110, 260);
    look.sun_angle = random.Uniform(0, 2 * s_pi);
    look.seed = std::uint32_t(random.Next());
    return look;
}

namespace {

// Share of a pixel footprint (width px metres) covered by a line of width w centred at 0,
// for a signed offset d from the line's centre.
float LineCover(float d, float w, float px)
{
    return std::clamp((w / 2 - std::fabs(d)) / px + 0.5f, 0.0f, 1.0f);
}

} // namespace

void PaintField(RgbImage& out, const FormationMap& map, const FieldLook& look, const Camera& camera,
    float reveal)
{
    const int width = out.Width(), height = out.Height();
    const Noise coarse(look.seed), fine(look.seed ^ 0x5A5A5A5Au), hedge_noise(look.seed ^ 0x1234567u);
    const float cs = std::cos(camera.angle), sn = std::sin(camera.angle);
    const Vec2 tram_normal = Polar(1, look.tram_angle + s_pi / 2);
    const Vec2 hedge_normal = Polar(1, look.hedge_angle);
    const Vec2 sun_step = Polar(0.9f, look.sun_angle);
    const Rgb soil { 128, 104, 72 };
    const Rgb hedge { 58, 76, 38 };
    const float half_w = width / 2.0f, half_h = height / 2.0f;
    // The broad colour drift changes over tens of pixels: it is sampled every few pixels of a row
    // and blended between (a row maps linearly onto the ground, so this loses nothing).
    constexpr int coarse_step = 8, fine_step = 4;
    std::vector<float> coarse_row(std::size_t(width / coarse_step + 2));
    std::vector<float> fine_row(std::size_t(width / fine_step + 2));
    for (int v = 0; v < height; ++v) {
        std::uint8_t* row = out.Row(v);
        float ny = (v - half_h) / half_w;
        float depth = 1.0f / std::max(0.3f, 1 + camera.tilt * ny);
        float px = camera.metres_per_pixel * depth; // ground size of one pixel on this row
        auto ground = [&](float u) {
            // Picture to ground: perspective for tilt, then the camera's rotation and centre.
            float gx = (u - half_w) * px;
            float gy = ny * half_w * px * (1 + camera.tilt * 0.6f);
            return Vec2 { camera.centre.x + gx * cs - gy * sn, camera.centre.y + gx * sn + gy * cs };
        };
        for (std::size_t i = 0; i < coarse_row.size(); ++i) {
            Vec2 g = ground(float(i * coarse_step));
            coarse_row[i] = coarse.Fractal(g.x / 30, g.y / 30);
        }
        for (std::size_t i = 0; i < fine_row.size(); ++i) {
            Vec2 g = ground(float(i * fine_step));
            fine_row[i] = fine.At(g.x / 4, g.y / 4);
        }
        for (int u = 0; u < width; ++u) {
            float nx = (u - half_w) / half_w;
            Vec2 w = ground(float(u));
            int ci = u / coarse_step, fi = u / fine_step;
            float ct = float(u % coarse_step) / coarse_step, ft = float(u % fine_step) / fine_step;
            float n1 = coarse_row[std::size_t(ci)] + (coarse_row[std::size_t(ci) + 1] - coarse_row[std::size_t(ci)]) * ct;
            float n2 = fine_row[std::size_t(fi)] + (fine_row[std::size_t(fi) + 1] - fine_row[std::size_t(fi)]) * ft;
            Rgb base = Scaled(look.crop, 0.9f + 0.14f * n1 + 0.05f * n2);
            // Drill passes: faint stripes every 4 m along the tramlines (a triangle wave).
            float across = Dot(w, tram_normal);
            float phase = across * 0.25f - std::floor(across * 0.25f);
            base = Scaled(base, 0.975f + 0.1f * std::fabs(phase - 0.5f));
            // Tramlines: two wheel tracks 1.8 m apart every tram_spacing metres.
            float m = across - look.tram_spacing * std::floor(across / look.tram_spacing);
            float track = std::max(LineCover(m - 0.3f, 0.35f, px), LineCover(m - 2.1f, 0.35f, px));
            base = Mix(base, soil, 0.55f * track);

            // The formation (ground coordinates are centred on it).
            float cover = map.Coverage(w);
            if (reveal < 1e8f)
                cover *= std::clamp((reveal - Length(w)) / 2 + 0.5f, 0.0f, 1.0f);
            Rgb color = base;
            if (cover > 0) {
                float shade = map.Shade(w);
                Rgb flat = Scaled(look.laid, 0.7f + 0.55f * shade);
                flat = Scaled(flat, 1 + 0.04f * n2);
                // Standing crop on the sun's side casts a short shadow onto the laid crop.
                float toward_sun = map.Coverage(w + sun_step);
                if (reveal < 1e8f)
                    toward_sun *= std::clamp((reveal - Length(w + sun_step)) / 2 + 0.5f, 0.0f, 1.0f);
                flat = Scaled(flat, 1 - 0.3f * (1 - toward_sun));
                color = Mix(base, flat, cover);
            }

            // Beyond the hedge: a darker, bumpy band of bushes, then the neighbour's crop.
            float beyond = Dot(w, hedge_normal) - look.hedge_distance;
            if (beyond > -4 - px)
                beyond += 3 * hedge_noise.At(w.x / 20, w.y / 20);
            if (beyond > -px) {
                float bush = 0.8f + 0.35f * hedge_noise.Fractal(w.x / 1.5f, w.y / 1.5f);
                Rgb far = Scaled(look.neighbour, 0.92f + 0.12f * n1);
                Rgb edge = beyond < 5 ? Scaled(hedge, bush) : far;
                color = Mix(color, edge, std::clamp(beyond / px + 0.5f, 0.0f, 1.0f));
            }

            // A slightly darker rim and a touch of haze in the distance.
            float r2 = nx * nx + ny * ny;
            color = Scaled(color, 1 - 0.16f * r2);
            if (camera.tilt > 0)
                color = Mix(color, Rgb { 196, 204, 214 }, std::clamp(-ny * camera.tilt * 0.5f, 0.0f, 0.3f));
            float grain = Noise::Hash(u, v, look.seed) * 5;
            row[u * 3 + 0] = RgbImage::ToByte(color.r + grain);
            row[u * 3 + 1] = RgbImage::ToByte(color.g + grain);
            row[u * 3 + 2] = RgbImage::ToByte(color.b + grain);
        }
    }
}
