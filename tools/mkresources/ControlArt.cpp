#include "Formations.h"
#include "LayoutParts.h"

#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

} // namespace

Drawing DrawTransportStrip(const Drawing& body)
{
    using namespace Layout;
    const Place& strip = TransportStrip;
    Drawing picture = body.Crop(strip.left, strip.top, strip.width, TransportStripPictureHeight);
    // The control is one row shorter than its picture; the strip ends inside the control.
    Box bar { 0, 0, float(strip.width), float(strip.height) };
    FillRoundBoxGradient(picture, bar, 5, Rgb { 98, 70, 44 }, Rgb { 58, 40, 24 });
    OutlineRoundBox(picture, bar.Inset(1), 4, 1, Palette::Clay, 0.35f);
    OutlineRoundBox(picture, bar, 5, 1, Palette::Ink);
    return picture;
}

void DrawTransportGlyph(Drawing& mark, Layout::Transport kind, bool active)
{
    using Layout::Transport;
    Rgb colour = active ? Palette::LeafLight : Rgb { 150, 134, 110 };
    Box all { 0, 0, float(mark.Width()), float(mark.Height()) };
    float c = mark.Width() / 2.0f;
    auto paint = [&](auto&& shape) {
        // A dark edge under the mark keeps it readable on the strip's lighter top.
        mark.FillSolid(all, [&](float x, float y) { return shape(x, y - 1); }, Palette::Ink, 0.45f);
        mark.FillSolid(all, shape, colour);
    };
    auto triangle = [](float tip_x, float back_x, float cy, float half) {
        return std::vector<float> { back_x, cy - half, tip_x, cy, back_x, cy + half };
    };
    switch (kind) {
    case Transport::Play: {
        auto t = triangle(c + 4.5f, c - 3.5f, c, 5);
        paint([&](float x, float y) { return Sdf::Polygon(x, y, t); });
        break;
    }
    case Transport::Pause:
        paint([&](float x, float y) {
            return Sdf::Union(Sdf::RoundBox(x, y, { c - 4.5f, c - 5, c - 1.5f, c + 5 }, 0.6f),
                Sdf::RoundBox(x, y, { c + 1.5f, c - 5, c + 4.5f, c + 5 }, 0.6f));
        });
        break;
    case Transport::Stop:
        paint([&](float x, float y) { return Sdf::RoundBox(x, y, { c - 4.5f, c - 4.5f, c + 4.5f, c + 4.5f }, 1); });
        break;
    case Transport::Backward:
    case Transport::Forward: {
        float s = kind == Transport::Forward ? 1.0f : -1.0f;
        auto first = triangle(c + 0.5f * s, c - 5.5f * s, c, 4.5f);
        auto second = triangle(c + 6 * s, c, c, 4.5f);
        paint([&](float x, float y) { return Sdf::Union(Sdf::Polygon(x, y, first), Sdf::Polygon(x, y, second)); });
        break;
    }
    }
}

Drawing DrawSchemeButton(const Drawing& body, const Typefaces& faces)
{
    using namespace Layout;
    Drawing button = body.Crop(SchemeButton.left, SchemeButton.top, SchemePictureWidth, SchemePictureHeight);
    // Only the control's 123 x 40 show; the button is drawn inside them.
    Box face { 0, 0, float(SchemeButton.width), float(SchemeButton.height) };
    FillRoundBoxGradient(button, face, 6, Mix(Palette::LeafLight, Palette::Leaf, 0.55f), Palette::LeafDeep);
    OutlineRoundBox(button, face.Inset(1), 5, 1, Palette::LeafLight, 0.45f);
    OutlineRoundBox(button, face, 6, 1, Palette::LeafLine);
    float icon_r = 12;
    float icon_x = 8 + icon_r;
    float cy = face.CentreY();
    button.FillSolid(face, [&](float x, float y) { return Sdf::Ring(x, y, icon_x, cy, icon_r, 1.4f); }, Palette::Cream);
    DrawFormation(button, 1, icon_x, cy, icon_r * 0.78f, Pi / 6, Palette::Cream);
    const char* caption = "Схема";
    float text_left = icon_x + icon_r + 6;
    float text_centre = (text_left + face.x1 - 6) / 2;
    int baseline = static_cast<int>(std::lround(cy + faces.button.CapHeight() / 2.0f));
    int x = static_cast<int>(std::lround(text_centre - faces.button.Measure(caption) / 2.0f));
    faces.button.Draw(button, caption, x, baseline + 1, Palette::LeafLine, 0.7f);
    faces.button.Draw(button, caption, x, baseline, Palette::Cream);
    return button;
}

Drawing DrawBanner(const Drawing& body, const Typefaces& faces)
{
    using namespace Layout;
    const int w = Banner.width;
    const int h = Banner.height;
    const int horizon = 56;

    // The scene: an evening sky over a field, a saucer lighting a fresh formation.
    Drawing scene(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (y < horizon) {
                float t = y / float(horizon);
                Rgb sky = Mix(Rgb { 52, 38, 30 }, Rgb { 128, 90, 56 }, t * t);
                scene.At(x, y) = Shade(sky, (SmoothNoise(x, y, 14, 51) - 0.5f) * 6);
            } else {
                float t = (y - horizon) / float(h - horizon);
                Rgb field = Mix(Rgb { 196, 168, 102 }, Palette::Straw, t);
                float rows = std::max(0.0f, 1 - std::fabs(std::fmod(x + (y - horizon) * 1.6f, 9.0f) - 4.5f) / 0.8f);
                scene.At(x, y) = Shade(field, (HashNoise(x, y, 52) - 0.5f) * 6 - rows * 12);
            }
        }
    }
    Box all { 0, 0, float(w), float(h) };
    for (int i = 0; i < 14; ++i) {
        float sx = HashNoise(i, 0, 53) * w;
        float sy = 3 + HashNoise(i, 1, 53) * (horizon - 20);
        scene.FillSolid(all, [&](float x, float y) { return Sdf::Circle(x, y, sx, sy, 0.6f); }, Palette::Cream,
            0.35f + HashNoise(i, 2, 53) * 0.4f);
    }
    float ux = 40;
    float uy = 24;
    float circle_y = horizon + 12;
    // The beam, fading towards the ground.
    std::vector<float> beam { ux - 7, uy + 4, ux + 7, uy + 4, ux + 24, circle_y + 4, ux - 24, circle_y + 4 };
    scene.Fill(all, [&](float x, float y) { return Sdf::Polygon(x, y, beam); },
        VerticalGradient(Palette::Cream, Palette::Straw, uy, circle_y + 4), 0.22f);
    scene.FillSolid(all, [&](float x, float y) { return Sdf::Ellipse(x, y, ux, circle_y, 22, 7); }, Palette::Cream, 0.25f);
    scene.FillSolid(all, [&](float x, float y) { return std::fabs(Sdf::Ellipse(x, y, ux, circle_y, 16, 4.6f)) - 0.9f; },
        Palette::Cream, 0.95f);
    scene.FillSolid(all, [&](float x, float y) { return Sdf::Ellipse(x, y, ux, circle_y, 7, 2.2f); }, Palette::Cream);
    // The saucer: a dome on a flat disc with three lights.
    scene.Fill(all, [&](float x, float y) { return std::max(Sdf::Ellipse(x, y, ux, uy - 1, 8, 7), y - (uy - 1)); },
        VerticalGradient(Rgb { 236, 230, 214 }, Rgb { 170, 160, 140 }, uy - 8, uy));
    scene.Fill(all, [&](float x, float y) { return Sdf::Ellipse(x, y, ux, uy + 1, 21, 5); },
        VerticalGradient(Rgb { 232, 224, 204 }, Rgb { 128, 118, 100 }, uy - 4, uy + 6));
    for (int k = -1; k <= 1; ++k)
        scene.FillSolid(all, [&](float x, float y) { return Sdf::Circle(x, y, ux + k * 9.0f, uy + 2, 1.3f); },
            Palette::LeafLight);

    // The text of the banner.
    int text_x = 86;
    faces.banner_large.Draw(scene, "НЛО", text_x, 31, Palette::Ink, 0.6f);
    faces.banner_large.Draw(scene, "НЛО", text_x, 30, Palette::Cream);
    faces.banner_small.Draw(scene, "новый диск", text_x + 1, 47, Palette::Wheat);
    faces.banner_small.Draw(scene, "в магазине »", text_x + 1, 73, Palette::EarthDark);

    Drawing banner = body.Crop(Banner.left, Banner.top, w, h);
    Box frame = all;
    banner.Fill(frame, [&](float x, float y) { return Sdf::RoundBox(x, y, frame, 7); },
        [&](int x, int y) { return scene.At(x, y); });
    OutlineRoundBox(banner, frame.Inset(1), 6, 1, Palette::Wheat, 0.35f);
    OutlineRoundBox(banner, frame, 7, 1, Palette::EarthDark);
    return banner;
}

Drawing DrawPattern()
{
    using namespace Layout;
    // The schemes' drawings lie over this tile stretched to the whole viewer, about five times
    // wider and three and a half times higher, pixel by pixel; so it varies only gently from one
    // pixel to the next, and every wave repeats across the tile's edges.
    Drawing pattern(PatternWidth, PatternHeight);
    Rgb ground = Mix(Palette::Paper, Palette::Straw, 0.3f);
    for (int y = 0; y < PatternHeight; ++y) {
        for (int x = 0; x < PatternWidth; ++x) {
            float u = x / float(PatternWidth);
            float v = y / float(PatternHeight);
            float cloud = (SmoothNoise(x, y, 10, 61, PatternWidth / 10, PatternHeight / 10) - 0.5f) * 7;
            float rows = std::cos(2 * Pi * (4 * u + 3 * v)) * 1.8f;
            float swell = std::cos(2 * Pi * u) * std::cos(2 * Pi * v) * 2.5f;
            pattern.At(x, y) = Shade(ground, cloud + rows + swell);
        }
    }
    return pattern;
}
