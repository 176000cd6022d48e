#include "Formation.h"

#include <algorithm>
#include <cmath>

float Shape::Distance(Vec2 p) const
{
    switch (kind) {
    case Kind::Disc:
        return Length(p - centre) - radius;
    case Kind::Ring: {
        float mid = (radius + inner) / 2, half = (radius - inner) / 2;
        return std::fabs(Length(p - centre) - mid) - half;
    }
    case Kind::Path: {
        float best = 1e9f;
        for (std::size_t i = 1; i < points.size(); ++i)
            best = std::min(best, SegmentDistance(p, points[i - 1], points[i]));
        return best - width / 2;
    }
    case Kind::Polygon: {
        float best = 1e9f;
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            Vec2 a = points[j], b = points[i];
            best = std::min(best, SegmentDistance(p, a, b));
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside ? -best : best;
    }
    }
    return 1e9f;
}

float Shape::LayAngle(Vec2 p) const
{
    switch (kind) {
    case Kind::Disc:
    case Kind::Ring: {
        Vec2 d = p - centre;
        float r = Length(d);
        // A spiral lay: tangential at the rim, turning inwards towards the centre.
        float twist = 0.9f * (1 - std::min(1.0f, r / std::max(radius, 0.01f)));
        return std::atan2(d.y, d.x) + swirl * (s_pi / 2 + twist);
    }
    case Kind::Path: {
        float best = 1e9f;
        Vec2 dir { 1, 0 };
        for (std::size_t i = 1; i < points.size(); ++i) {
            float d = SegmentDistance(p, points[i - 1], points[i]);
            if (d < best) {
                best = d;
                dir = points[i] - points[i - 1];
            }
        }
        return std::atan2(dir.y, dir.x);
    }
    case Kind::Polygon:
        return swirl * 0.7f;
    }
    return 0;
}

void Shape::Bounds(Vec2& low, Vec2& high) const
{
    if (kind == Kind::Disc || kind == Kind::Ring) {
        low = { centre.x - radius, centre.y - radius };
        high = { centre.x + radius, centre.y + radius };
        return;
    }
    low = { 1e9f, 1e9f };
    high = { -1e9f, -1e9f };
    for (Vec2 p : points) {
        low = { std::min(low.x, p.x), std::min(low.y, p.y) };
        high = { std::max(high.x, p.x), std::max(high.y, p.y) };
    }
    float pad = width / 2;
    low = low - Vec2 { pad, pad };
    high = high + Vec2 { pad, pad };
}

void Formation::AddDisc(Vec2 centre, float radius, float swirl)
{
    Shape s;
    s.kind = Shape::Kind::Disc;
    s.centre = centre;
    s.radius = radius;
    s.swirl = swirl;
    Add(std::move(s));
}

void Formation::AddRing(Vec2 centre, float outer, float inner, float swirl)
{
    Shape s;
    s.kind = Shape::Kind::Ring;
    s.centre = centre;
    s.radius = outer;
    s.inner = inner;
    s.swirl = swirl;
    Add(std::move(s));
}

void Formation::AddPath(std::vector<Vec2> points, float width)
{
    Shape s;
    s.kind = Shape::Kind::Path;
    s.points = std::move(points);
    s.width = width;
    Add(std::move(s));
}

void Formation::Finish()
{
    float extent = 1;
    for (const Shape& s : m_shapes) {
        Vec2 low, high;
        s.Bounds(low, high);
        for (Vec2 corner : { low, high, Vec2 { low.x, high.y }, Vec2 { high.x, low.y } })
            extent = std::max(extent, Length(corner));
    }
    m_extent = extent;
}

Formation Formation::Make(Random& random, int year)
{
    Formation f;
    // Designs grew more elaborate over the years; early years keep to circles and pictograms.
    int styles = year < 1991 ? 2 : year < 1995 ? 4 : 8;
    switch (random.Int(0, styles - 1)) {
    case 0: f.MakeCircles(random); break;
    case 1: f.MakeCeltic(random); break;
    case 2: f.MakePictogram(random); break;
    case 3: f.MakeRings(random); break;
    case 4: f.MakeSpiral(random); break;
    case 5: f.MakeTriangle(random); break;
    case 6: f.MakePetals(random); break;
    default: f.MakeStar(random); break;
    }
    f.Finish();
    return f;
}

void Formation::MakeCircles(Random& random)
{
    float r = random.Uniform(8, 18);
    AddDisc({ 0, 0 }, r, random.Chance(0.5) ? 1 : -1);
    int satellites = random.Int(0, 4);
    float base = random.Uniform(0, 2 * s_pi);
    for (int i = 0; i < satellites; ++i) {
        float a = base + i * 2 * s_pi / satellites;
        AddDisc(Polar(r * random.Uniform(1.6f, 2.3f), a), r * random.Uniform(0.18f, 0.35f));
    }
    if (random.Chance(0.4))
        AddRing({ 0, 0 }, r * 1.45f, r * 1.3f);
}

void Formation::MakeCeltic(Random& random)
{
    float r = random.Uniform(9, 16);
    float ring = r * random.Uniform(2.0f, 2.6f);
    AddDisc({ 0, 0 }, r);
    AddRing({ 0, 0 }, ring + 1.5f, ring - 1.5f);
    float base = random.Uniform(0, s_pi / 2);
    for (int i = 0; i < 4; ++i)
        AddDisc(Polar(ring, base + i * s_pi / 2), r * random.Uniform(0.3f, 0.45f), -1);
}

void Formation::MakePictogram(Random& random)
{
    int circles = random.Int(2, 4);
    float length = random.Uniform(60, 110);
    float width = random.Uniform(2.5f, 4.0f);
    float angle = random.Uniform(0, s_pi);
    Vec2 dir = Polar(1, angle), normal = Polar(1, angle + s_pi / 2);
    AddPath({ dir * (-length / 2), dir * (length / 2) }, width);
    for (int i = 0; i < circles; ++i) {
        float t = -length / 2 + length * i / (circles - 1);
        float r = random.Uniform(5, 12);
        if (random.Chance(0.4))
            AddRing(dir * t, r + 2.5f, r);
        else
            AddDisc(dir * t, r);
        if (random.Chance(0.5)) {
            // Short "claws" across the axis, as on the early pictograms.
            Vec2 at = dir * (t + r + 6);
            AddPath({ at - normal * 9, at + normal * 9 }, width * 0.8f);
        }
    }
}

void Formation::MakeSpiral(Random& random)
{
    int count = random.Int(60, 110);
    float grow = random.Uniform(1.02f, 1.035f);
    float swirl = random.Chance(0.5) ? 1 : -1;
    float r = random.Uniform(14, 22);
    AddDisc({ 0, 0 }, r);
    float radius = r + 3, size = 3.5f;
    for (int i = 0; i < count; ++i) {
        float a = swirl * i * 0.35f;
        AddDisc(Polar(radius, a), size);
        radius += size * 0.42f;
        size = std::min(size * grow, 9.0f);
        if (radius > 150)
            break;
    }
}

void Formation::MakeTriangle(Random& random)
{
    float side = random.Uniform(55, 90);
    float rc = side / std::sqrt(3.0f);
    float base = random.Uniform(0, 2 * s_pi);
    std::vector<Vec2> corners;
    for (int i = 0; i < 3; ++i)
        corners.push_back(Polar(rc, base + i * 2 * s_pi / 3));
    AddPath({ corners[0], corners[1], corners[2], corners[0] }, 2.5f);
    AddRing({ 0, 0 }, rc * 0.55f + 1.5f, rc * 0.55f - 1.5f);
    AddDisc({ 0, 0 }, rc * 0.28f);
    for (int i = 0; i < 3; ++i) {
        float r = random.Uniform(5, 10);
        if (i == 0 || random.Chance(0.5))
            AddRing(corners[i], r + 2, r, 1);
        else
            AddDisc(corners[i], r);
    }
}

void Formation::MakeRings(Random& random)
{
    int rings = random.Int(3, 6);
    float r = random.Uniform(5, 9);
    AddDisc({ 0, 0 }, r);
    float at = r + 4;
    for (int i = 0; i < rings; ++i) {
        float w = random.Uniform(1.5f, 4.0f);
        AddRing({ 0, 0 }, at + w, at, i % 2 ? 1 : -1);
        at += w + random.Uniform(3, 7);
    }
}

void Formation::MakePetals(Random& random)
{
    int petals = random.Int(6, 14);
    float r = random.Uniform(8, 14);
    AddDisc({ 0, 0 }, r);
    float ring = r * random.Uniform(1.8f, 2.6f);
    float base = random.Uniform(0, s_pi);
    for (int layer = 0; layer < 2; ++layer) {
        float size = r * (layer ? 0.35f : 0.6f);
        float dist = ring * (layer ? 1.7f : 1.0f);
        for (int i = 0; i < petals; ++i)
            AddDisc(Polar(dist, base + (i + layer * 0.5f) * 2 * s_pi / petals), size, layer ? 1 : -1);
    }
    AddRing({ 0, 0 }, ring * 2.05f + 1.2f, ring * 2.05f - 1.2f);
}

void Formation::MakeStar(Random& random)
{
    int points = random.Int(5, 8);
    float outer = random.Uniform(30, 55), inner = outer * random.Uniform(0.4f, 0.55f);
    float base = random.Uniform(0, s_pi);
    Shape star;
    star.kind = Shape::Kind::Polygon;
    for (int i = 0; i < points * 2; ++i)
        star.points.push_back(Polar(i % 2 ? inner : outer, base + i * s_pi / points));
    star.swirl = random.Chance(0.5) ? 1 : -1;
    Add(std::move(star));
    // Standing crop inside the star: a ring and a centre disc on top of it.
    AddRing({ 0, 0 }, inner * 0.8f, inner * 0.65f, -1);
    AddDisc({ 0, 0 }, inner * 0.35f);
    AddRing({ 0, 0 }, outer + 6, outer + 3);
}
