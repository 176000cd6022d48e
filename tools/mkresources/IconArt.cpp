#include "IconArt.h"

#include "Formations.h"
#include "Palette.h"

#include <numbers>

namespace {

// Coverage of a shape over one pixel from its signed distance at the pixel's centre, as the
// drawing's own fills compute it.
float Coverage(float distance)
{
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

} // namespace

ProgramIcon DrawProgramIcon(int size)
{
    const float s = float(size);
    const float cx = s / 2;
    const float cy = s / 2;
    // The icon theme's guidelines leave a little air around a round icon.
    const float r = s * (size <= 24 ? 0.47f : 0.45f);
    // The rim is at least a pixel and a half wide, so that the disc holds on dark and light panels.
    const float rim = std::max(1.5f, s / 26);

    // Edge pixels keep the rim's colour; only their coverage fades.
    ProgramIcon icon { size, Drawing(size, size, Palette::EarthDark), std::vector<float>(std::size_t(size) * size) };
    Drawing& d = icon.drawing;
    Box around { cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1 };
    d.Fill(around, [&](float x, float y) { return Sdf::Circle(x, y, cx, cy, r - rim); },
        [&](int, int y) {
            float t = std::clamp((y + 0.5f - (cy - r)) / (2 * r), 0.0f, 1.0f);
            return Mix(Palette::Straw, Palette::WheatDeep, t);
        });
    if (size >= 48) {
        // Tramlines across the field, as the thumbnails of the title strip show them.
        float step = s / 9;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float along = std::fmod(std::fabs((x + 0.5f) * 0.8f + (y + 0.5f) * 0.6f), step);
                float track = std::max(0.0f, 1 - std::fabs(along - step / 2) / (s / 160 + 0.6f));
                float inside = Coverage(Sdf::Circle(x + 0.5f, y + 0.5f, cx, cy, r - rim));
                d.Blend(x, y, Palette::Clay, 0.35f * track * inside);
            }
    }
    d.FillSolid(around, [&](float x, float y) { return Sdf::Ring(x, y, cx, cy, r - rim / 2, rim); }, Palette::EarthDark);

    // The figure: the emblem's three satellites on a ring, with its shade where the crop stands.
    float figure = (r - rim) * 0.8f;
    float turn = std::numbers::pi_v<float> / 6;
    int kind = size <= 24 ? 0 : 1; // at the smallest sizes the satellites would be specks
    if (size >= 32)
        DrawFormation(d, kind, cx + s / 128, cy + s / 128, figure, turn, Palette::Ink, 0.35f);
    DrawFormation(d, kind, cx, cy, figure, turn, size <= 24 ? Palette::Ink : Palette::EarthDark);

    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            icon.alpha[std::size_t(y) * size + x] = Coverage(Sdf::Circle(x + 0.5f, y + 0.5f, cx, cy, r));
    return icon;
}
