#include "Formations.h"
#include "LayoutParts.h"

#include <iterator>
#include <numbers>

namespace {

// Ground colours of the fields in the thumbnails: ripe wheat, barley, still-green oats.
constexpr Rgb FieldColours[] = {
    { 176, 152, 84 }, { 152, 148, 82 }, { 186, 160, 94 }, { 142, 142, 78 }, { 172, 158, 100 }, { 162, 140, 76 },
};

constexpr int ThumbCount = 13;
constexpr int ThumbLeft = 14;
constexpr int ThumbStep = 70;
constexpr int ThumbWidth = 62;
constexpr int ThumbHeight = 46;
constexpr int ThumbTop = 8;

// An aerial view of a field with one formation flattened into it.
Drawing DrawThumbnail(int index)
{
    Rgb field = FieldColours[index % std::size(FieldColours)];
    Drawing thumb(ThumbWidth, ThumbHeight, field);
    float angle = 0.35f + index * 0.9f;
    float ca = std::cos(angle);
    float sa = std::sin(angle);
    for (int y = 0; y < ThumbHeight; ++y) {
        for (int x = 0; x < ThumbWidth; ++x) {
            // Tramlines: the tractor's parallel tracks, a darker line every 11 pixels.
            float t = std::fmod(std::fabs((x + index * 7) * ca + (y + index * 3) * sa), 11.0f);
            float track = std::max(0.0f, 1 - std::fabs(t - 5.5f) / 0.9f);
            float mottle = (SmoothNoise(x + index * 97.0f, y, 7, 11) - 0.5f) * 16;
            float grain = (HashNoise(x + index * 131, y, 12) - 0.5f) * 6;
            // The low sun: lighter towards the upper left.
            float light = (1 - (x / float(ThumbWidth) + y / float(ThumbHeight)) / 2) * 14 - 7;
            thumb.At(x, y) = Shade(field, mottle + grain + light - track * 20);
        }
    }
    float cx = ThumbWidth / 2.0f + (HashNoise(index, 1, 13) - 0.5f) * 10;
    float cy = ThumbHeight / 2.0f + (HashNoise(index, 2, 13) - 0.5f) * 4;
    float r = 17 + HashNoise(index, 3, 13) * 3;
    float turn = index * 0.7f;
    // Laid crop is lighter than standing crop; a faint shade along the edge gives the height.
    DrawFormation(thumb, index, cx + 0.8f, cy + 0.8f, r, turn, Shade(field, -30), 0.45f);
    DrawFormation(thumb, index, cx, cy, r, turn, Rgb { 236, 222, 178 });
    return thumb;
}

void DrawMarkBox(Drawing& header, Box box)
{
    FillRoundBoxGradient(header, box, 3, Shade(Palette::EarthDark, 14), Shade(Palette::EarthDark, -8));
    OutlineRoundBox(header, box, 3, 1, Palette::Wheat, 0.85f);
}

} // namespace

void DrawEmblem(Drawing& d, float cx, float cy, float r)
{
    Box around { cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2 };
    d.Fill(around, [&](float x, float y) { return Sdf::Circle(x, y, cx, cy, r); },
        VerticalGradient(Palette::Straw, Palette::Wheat, cy - r, cy + r));
    d.FillSolid(around, [&](float x, float y) { return Sdf::Ring(x, y, cx, cy, r - 0.75f, 1.5f); }, Palette::Earth);
    DrawFormation(d, 1, cx, cy, r * 0.78f, std::numbers::pi_v<float> / 6, Palette::EarthDark);
}

Drawing DrawHeader()
{
    using namespace Layout;
    Drawing header(WindowWidth, HeaderHeight);
    Rgb top { 96, 68, 42 };
    Rgb bottom { 62, 43, 26 };
    for (int y = 0; y < HeaderHeight; ++y) {
        for (int x = 0; x < WindowWidth; ++x) {
            float mottle = (SmoothNoise(x, y, 24, 21) - 0.5f) * 8;
            float grain = (HashNoise(x, y, 22) - 0.5f) * 3;
            header.At(x, y) = Shade(Mix(top, bottom, y / float(HeaderHeight - 1)), mottle + grain);
        }
    }
    // A light edge along the top and a wheat line above the dark rail that the tabs hang from.
    FillBand(header, 0, 1, Palette::Clay, 0.5f);
    FillBand(header, 62, 63, Palette::Wheat, 0.75f);
    FillBand(header, 63, HeaderHeight, Palette::EarthDark);

    for (int i = 0; i < ThumbCount; ++i) {
        Box frame { float(ThumbLeft + i * ThumbStep), float(ThumbTop), float(ThumbLeft + i * ThumbStep + ThumbWidth),
            float(ThumbTop + ThumbHeight) };
        DropShadow(header, frame, 4, 1, 2, 2.5f, 0.45f);
        Drawing thumb = DrawThumbnail(i);
        header.Fill(frame, [&](float x, float y) { return Sdf::RoundBox(x, y, frame, 4); },
            [&](int x, int y) { return thumb.At(x - static_cast<int>(frame.x0), y - static_cast<int>(frame.y0)); });
        OutlineRoundBox(header, frame, 4, 1, Palette::Wheat, 0.9f);
    }

    // The minimise and close marks, where their click areas lie (17 x 17 at 0,2 and 18,2 of the
    // panel that holds them).
    Box hide { MarksLeft + 1.0f, MarksTop + 3.0f, MarksLeft + 16.0f, MarksTop + 18.0f };
    Box close { MarksLeft + 19.0f, MarksTop + 3.0f, MarksLeft + 34.0f, MarksTop + 18.0f };
    DrawMarkBox(header, hide);
    DrawMarkBox(header, close);
    float bar_y = hide.y1 - 4.5f;
    header.FillSolid(hide, [&](float x, float y) { return Sdf::Segment(x, y, hide.x0 + 4, bar_y, hide.x1 - 4, bar_y, 2); },
        Palette::Straw);
    float m = 4.5f;
    header.FillSolid(close,
        [&](float x, float y) {
            return Sdf::Union(Sdf::Segment(x, y, close.x0 + m, close.y0 + m, close.x1 - m, close.y1 - m, 1.8f),
                Sdf::Segment(x, y, close.x1 - m, close.y0 + m, close.x0 + m, close.y1 - m, 1.8f));
        },
        Palette::Straw);
    return header;
}
