#include "SchemePainter.h"

#include "FormationMap.h"
#include "Random.h"

#include <algorithm>
#include <cmath>

namespace {

enum Ink : std::uint8_t { Clear = 0, Line = 1, Fill = 2, FillDark = 3, Guide = 4, Accent = 5, FillLight = 6, Grey = 7 };

void Plot(IndexedImage& image, int x, int y, std::uint8_t ink)
{
    if (x >= 0 && y >= 0 && x < image.width && y < image.height)
        image.At(x, y) = ink;
}

void DrawLine(IndexedImage& image, Vec2 a, Vec2 b, std::uint8_t ink, int dash = 0)
{
    int steps = std::max(1, int(std::ceil(std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y)))));
    for (int i = 0; i <= steps; ++i) {
        if (dash > 0 && (i / dash) % 2 == 1)
            continue;
        Vec2 p = a + (b - a) * (float(i) / steps);
        Plot(image, int(std::lround(p.x)), int(std::lround(p.y)), ink);
    }
}

void DrawCircle(IndexedImage& image, Vec2 c, float r, std::uint8_t ink, int dash = 0)
{
    int steps = std::max(16, int(2 * s_pi * r));
    for (int i = 0; i < steps; ++i) {
        if (dash > 0 && (i / dash) % 2 == 1)
            continue;
        Vec2 p = c + Polar(r, 2 * s_pi * i / steps);
        Plot(image, int(std::lround(p.x)), int(std::lround(p.y)), ink);
    }
}

} // namespace

std::vector<PaletteColor> SchemePainter::Palette()
{
    return {
        { 255, 255, 255 }, // transparent ground
        { 46, 34, 22 },    // outlines
        { 196, 154, 66 },  // laid crop
        { 160, 118, 44 },  // streaks in the laid crop
        { 62, 96, 168 },   // setting-out lines
        { 186, 42, 32 },   // north arrow, scale
        { 236, 216, 150 }, // pale fill
        { 118, 118, 118 }, // grey
    };
}

SchemePainter::SchemePainter(const Formation& formation, int size, std::uint64_t seed)
    : m_formation(formation)
    , m_size(size)
{
    Random random(seed);
    m_angle = float(random.Uniform(0, 2 * s_pi));
    m_scale = size * 0.45f / formation.Extent();
    const auto& shapes = formation.Shapes();
    const Shape& pick = shapes[std::size_t(random.Int(0, int(shapes.size()) - 1))];
    Vec2 low, high;
    pick.Bounds(low, high);
    m_detail_centre = (low + high) * 0.5f;
}

Vec2 SchemePainter::ToPixels(Vec2 world, float zoom) const
{
    Vec2 r = Rotated(world, m_angle) * (m_scale * zoom);
    return { m_size / 2.0f + r.x, m_size / 2.0f + r.y };
}

IndexedImage SchemePainter::Paint(Sheet sheet, int shape_count) const
{
    float zoom = sheet == Sheet::Detail ? 2.0f : 1.0f;
    Vec2 offset = sheet == Sheet::Detail ? m_detail_centre * 0.5f : Vec2 {};
    float cell = 1.0f / (m_scale * zoom);
    FormationMap map(m_formation, cell, shape_count);
    IndexedImage image(m_size, m_size, Clear);
    std::vector<std::uint8_t> inside(std::size_t(m_size) * m_size, 0);
    const float cs = std::cos(-m_angle), sn = std::sin(-m_angle);
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            float px = (x + 0.5f - m_size / 2.0f) / (m_scale * zoom), py = (y + 0.5f - m_size / 2.0f) / (m_scale * zoom);
            Vec2 w { px * cs - py * sn, px * sn + py * cs };
            w = w + offset;
            inside[std::size_t(y) * m_size + x] = map.Coverage(w) > 0.5f;
            if (!inside[std::size_t(y) * m_size + x])
                continue;
            std::uint8_t ink = Clear;
            if (sheet == Sheet::Plan)
                ink = Fill;
            else if (sheet == Sheet::Detail)
                ink = map.Shade(w) < 0.4f ? Fill : FillLight; // the lay of the crop, in two tones
            image.At(x, y) = ink;
        }
    }
    // Outlines: inside pixels with an outside neighbour, one or two pixels wide.
    int thick = m_size >= 400 ? 2 : 1;
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            if (!inside[std::size_t(y) * m_size + x])
                continue;
            bool edge = false;
            for (int d = 1; d <= thick && !edge; ++d) {
                auto out = [&](int xx, int yy) {
                    return xx < 0 || yy < 0 || xx >= m_size || yy >= m_size || !inside[std::size_t(yy) * m_size + xx];
                };
                edge = out(x - d, y) || out(x + d, y) || out(x, y - d) || out(x, y + d);
            }
            if (edge)
                image.At(x, y) = Line;
        }
    }
    if (sheet == Sheet::Construction) {
        // Guide circles through the centres (one per distinct distance) and a spoke to each of
        // the first centres; a spiral of a hundred circles would otherwise drown in lines.
        std::vector<int> radii;
        int spokes = 0;
        for (const Shape& s : m_formation.Shapes()) {
            if (s.kind == Shape::Kind::Disc || s.kind == Shape::Kind::Ring) {
                Vec2 c = ToPixels(s.centre, 1);
                int radius = int(std::lround(Length(s.centre) * m_scale));
                if (radius >= 24 && spokes++ < 12)
                    DrawLine(image, ToPixels({ 0, 0 }, 1), c, Guide, 3);
                if (radius >= 24 && radii.size() < 8 && std::find(radii.begin(), radii.end(), radius) == radii.end()) {
                    radii.push_back(radius);
                    DrawCircle(image, ToPixels({ 0, 0 }, 1), float(radius), Guide, 4);
                }
                DrawLine(image, c - Vec2 { 4, 0 }, c + Vec2 { 4, 0 }, Accent);
                DrawLine(image, c - Vec2 { 0, 4 }, c + Vec2 { 0, 4 }, Accent);
            }
        }
        DrawCircle(image, ToPixels({ 0, 0 }, 1), m_formation.Extent() * m_scale, Guide, 6);
    }
    if (sheet == Sheet::Outline || sheet == Sheet::Construction) {
        // North arrow in the corner and a 10 m scale bar.
        Vec2 base { m_size - 24.0f, 40.0f };
        Vec2 north = Polar(22, -s_pi / 2 + m_angle);
        DrawLine(image, base, base + north, Accent);
        DrawLine(image, base + north, base + north * 0.6f + Vec2 { -north.y, north.x } * 0.2f, Accent);
        DrawLine(image, base + north, base + north * 0.6f - Vec2 { -north.y, north.x } * 0.2f, Accent);
        float bar = 10 * m_scale;
        Vec2 at { 16, m_size - 16.0f };
        DrawLine(image, at, at + Vec2 { bar, 0 }, Grey);
        DrawLine(image, at + Vec2 { 0, -4 }, at + Vec2 { 0, 4 }, Grey);
        DrawLine(image, at + Vec2 { bar, -4 }, at + Vec2 { bar, 4 }, Grey);
    }
    return image;
}

std::vector<std::uint8_t> SchemePainter::SheetGif(Sheet sheet) const
{
    GifEncoder gif(m_size, m_size, Palette(), { s_transparent, -1 });
    // The detail sheets are stored interlaced, as pictures meant for slow lines used to be.
    gif.AddFrame(Paint(sheet), 0, 0, 0, GifEncoder::Disposal::None,
        sheet == Sheet::Detail ? GifEncoder::RowOrder::Interlaced : GifEncoder::RowOrder::Sequential);
    return gif.Finish();
}

std::vector<std::uint8_t> SchemePainter::BuildUpGif() const
{
    const int shapes = int(m_formation.Shapes().size());
    const int steps = std::min(shapes, 10);
    GifEncoder gif(m_size, m_size, Palette(), { s_transparent, 0 });
    IndexedImage previous;
    for (int step = 1; step <= steps; ++step) {
        int count = shapes * step / steps;
        IndexedImage frame = Paint(Sheet::Plan, count);
        int delay = step == steps ? 250 : 60;
        if (step == 1) {
            gif.AddFrame(frame, 0, 0, delay, GifEncoder::Disposal::Keep);
        } else {
            // Only the rectangle that changed, with unchanged pixels left transparent.
            int x0 = m_size, y0 = m_size, x1 = -1, y1 = -1;
            for (int y = 0; y < m_size; ++y)
                for (int x = 0; x < m_size; ++x)
                    if (frame.At(x, y) != previous.At(x, y)) {
                        x0 = std::min(x0, x);
                        y0 = std::min(y0, y);
                        x1 = std::max(x1, x);
                        y1 = std::max(y1, y);
                    }
            if (x1 < 0)
                x0 = y0 = x1 = y1 = 0;
            IndexedImage part(x1 - x0 + 1, y1 - y0 + 1, Clear);
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    if (frame.At(x, y) != previous.At(x, y))
                        part.At(x - x0, y - y0) = frame.At(x, y);
            gif.AddFrame(part, x0, y0, delay, GifEncoder::Disposal::Keep);
        }
        previous = std::move(frame);
    }
    return gif.Finish();
}
