#include "Formations.h"
#include "LayoutParts.h"

namespace {

using Layout::ToBox;

// The deck that carries the viewer, the arrows, the schemes button and the information bar.
constexpr Box Deck { 216, 55, 999, 654 };
constexpr Box ListFrame { 18, 51, 202, 511 };
constexpr float FrameRadius = 7;

void DrawParchment(Drawing& body)
{
    for (int y = 0; y < body.Height(); ++y) {
        Rgb row = Mix(Palette::Parchment, Palette::ParchmentDeep, 0.65f * y / float(body.Height() - 1));
        for (int x = 0; x < body.Width(); ++x) {
            float cloud = (SmoothNoise(x, y, 56, 31) - 0.5f) * 7;
            float fibre = (SmoothNoise(x, y * 3.0f, 6, 32) - 0.5f) * 3;
            float grain = (HashNoise(x, y, 33) - 0.5f) * 2;
            body.At(x, y) = Shade(row, cloud + fibre + grain);
        }
    }
}

// A sunken opening: a dark line inside a light one, then the opening's own ground.
template<typename Paint>
void DrawOpening(Drawing& body, Box hole, Paint&& ground)
{
    Box lip = hole.Inset(-1);
    Box light { lip.x0 + 1, lip.y0 + 1, lip.x1 + 1, lip.y1 + 1 };
    FillRoundBox(body, light, 2, Palette::Cream, 0.7f);
    FillRoundBox(body, lip, 2, Palette::EarthDark, 0.6f);
    body.Fill(hole, [&](float x, float y) { return Sdf::RoundBox(x, y, hole, 1); }, ground);
}

void DrawFrameSlab(Drawing& body, Box outer)
{
    DropShadow(body, outer, FrameRadius, 1.5f, 2.5f, 3, 0.22f);
    FillRoundBoxGradient(body, outer, FrameRadius, Palette::Straw, Palette::Wheat);
    OutlineRoundBox(body, outer.Inset(1), FrameRadius - 1, 1, Palette::Cream, 0.45f);
    OutlineRoundBox(body, outer, FrameRadius, 1, Palette::Clay);
}

auto Flat(Rgb colour)
{
    return [colour](int, int) { return colour; };
}

// The empty viewer: a light mat, a little darker towards its edges, with a faint formation in
// the middle; photographs are shown centred over it.
void DrawViewerMat(Drawing& body, Box viewer)
{
    float cx = viewer.CentreX();
    float cy = viewer.CentreY();
    DrawOpening(body, viewer, [&](int x, int y) {
        float dx = (x + 0.5f - cx) / (viewer.Width() / 2);
        float dy = (y + 0.5f - cy) / (viewer.Height() / 2);
        float edge = std::clamp((dx * dx + dy * dy - 0.3f) / 1.7f, 0.0f, 1.0f);
        float cloud = (SmoothNoise(x, y, 40, 41) - 0.5f) * 4;
        return Shade(Mix(Rgb { 248, 242, 227 }, Palette::ParchmentDeep, edge), cloud);
    });
    DrawFormation(body, 1, cx, cy, 170, 0, Mix(Palette::ParchmentDeep, Palette::Wheat, 0.4f), 0.18f);
}

} // namespace

Drawing DrawBodyGround(const Typefaces& faces)
{
    using namespace Layout;
    Drawing body(WindowWidth, BodyHeight);
    DrawParchment(body);

    // The dark rail under the title strip that the tabs hang from.
    FillBand(body, 0, 2, Palette::EarthDark);
    FillBand(body, 2, 3, Palette::Ink, 0.25f);
    FillBand(body, 3, 4, Palette::Ink, 0.08f);

    // Title lettering.
    DrawEmblem(body, 38, 26, 17);
    const char* title = "Круги на полях";
    const char* subtitle = "и рисунки Наска";
    int title_x = 62;
    int baseline = 37;
    EmbossedText(body, faces.title, title, title_x, baseline, Palette::Ink);
    int subtitle_x = title_x + faces.title.Measure(title) + 8;
    EmbossedText(body, faces.subtitle, subtitle, subtitle_x, baseline, Palette::Earth);

    // The frame of the lists and trees.
    DrawFrameSlab(body, ListFrame);
    DrawOpening(body, ToBox(ListWell), Flat(Palette::TreeGrey));

    // The deck: viewer, schemes button slot, information bar.
    DrawFrameSlab(body, Deck);
    DrawViewerMat(body, ToBox(Viewer));
    DrawOpening(body, ToBox(SchemeButton), Flat(Palette::ParchmentDeep));
    DrawOpening(body, ToBox(InfoBar), Flat(Palette::Paper));

    // The publisher's brand lettering, under its click area.
    Box brand = ToBox(Brand);
    float emblem_r = 15;
    DrawEmblem(body, brand.x0 + 2 + emblem_r, brand.CentreY(), emblem_r);
    int brand_baseline = static_cast<int>(brand.CentreY()) + faces.brand.CapHeight() / 2;
    EmbossedText(body, faces.brand, "Велмар", static_cast<int>(brand.x0 + 2 * emblem_r + 12), brand_baseline,
        Palette::Earth);
    return body;
}

void DrawTab(Drawing& body, const Layout::Tab& tab, TabLook look, const Typefaces& faces)
{
    bool selected = look == TabLook::Selected;
    float bottom = selected ? Layout::SelectedTabBottom : Layout::TabBottom;
    // The top runs above the picture so that only the lower corners are rounded.
    Box shape { tab.caption_left, -12, tab.caption_right, bottom };
    float radius = 8;
    if (selected) {
        DropShadow(body, shape, radius, 0, 0.5f, 1, 0.35f);
        FillRoundBoxGradient(body, shape, radius, Rgb { 140, 102, 62 }, Palette::EarthDark);
        OutlineRoundBox(body, shape.Inset(1), radius - 1, 1, Palette::Clay, 0.55f);
        OutlineRoundBox(body, shape, radius, 1, Palette::Ink);
    } else {
        DropShadow(body, shape, radius, 0, 1, 1.5f, 0.22f);
        FillRoundBoxGradient(body, shape, radius, Palette::Straw, Palette::Wheat);
        OutlineRoundBox(body, shape.Inset(1), radius - 1, 1, Palette::Cream, 0.5f);
        OutlineRoundBox(body, shape, radius, 1, Palette::Clay);
    }
    int text_width = faces.tab.Measure(tab.caption);
    int x = static_cast<int>(std::lround(shape.CentreX() - text_width / 2.0f));
    int baseline = static_cast<int>(std::lround((2 + bottom) / 2 + faces.tab.CapHeight() / 2.0f));
    if (selected) {
        faces.tab.Draw(body, tab.caption, x, baseline + 1, Palette::Ink, 0.6f);
        faces.tab.Draw(body, tab.caption, x, baseline, Palette::Cream);
    } else {
        EmbossedText(body, faces.tab, tab.caption, x, baseline, Palette::EarthDark);
    }
}

void DrawArrow(Drawing& d, Layout::Place place, ArrowWay way, ArrowLook look)
{
    float cx = place.left + place.width / 2.0f;
    float cy = place.top + place.height / 2.0f;
    float r = place.width / 2.0f - 1;
    Box area = Layout::ToBox(place);
    auto disc = [&](float x, float y) { return Sdf::Circle(x, y, cx, cy, r); };
    auto rim = [&](float x, float y) { return std::fabs(Sdf::Circle(x, y, cx, cy, r - 0.5f)) - 0.5f; };
    float s = way == ArrowWay::Right ? 1.0f : -1.0f;
    std::vector<float> triangle { cx - 2.5f * s, cy - 4.5f, cx + 4.5f * s, cy, cx - 2.5f * s, cy + 4.5f };
    auto arrow = [&](float x, float y) { return Sdf::Polygon(x, y, triangle); };
    if (look == ArrowLook::Active) {
        d.Fill(area, disc, VerticalGradient(Mix(Palette::LeafLight, Palette::Leaf, 0.45f), Palette::LeafDeep, cy - r, cy + r));
        d.FillSolid(area, rim, Palette::LeafLine);
        d.FillSolid(area, arrow, Palette::Cream);
    } else {
        d.FillSolid(area, disc, Shade(Palette::Wheat, -4));
        d.FillSolid(area, rim, Palette::Clay, 0.45f);
        d.FillSolid(area, arrow, Mix(Palette::Straw, Palette::Cream, 0.4f), 0.9f);
    }
}
