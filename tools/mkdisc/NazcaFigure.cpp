#include "NazcaFigure.h"

#include <cmath>

namespace {

Polyline Ellipse(Vec2 c, float rx, float ry, int n = 28, float rotation = 0)
{
    Polyline line;
    for (int i = 0; i <= n; ++i) {
        float a = 2 * s_pi * i / n;
        line.push_back(c + Rotated({ rx * std::cos(a), ry * std::sin(a) }, rotation));
    }
    return line;
}

Polyline Spiral(Vec2 c, float radius, float turns, float start = 0)
{
    Polyline line;
    int n = int(turns * 40);
    for (int i = 0; i <= n; ++i) {
        float t = float(i) / n;
        line.push_back(c + Polar(radius * (1 - t * 0.92f), start + t * turns * 2 * s_pi));
    }
    return line;
}

// A wing or a hand: a band from the root along dir with `fingers` prongs at its end.
Polyline Fan(Vec2 root, Vec2 dir, float length, float breadth, int fingers, float finger_length)
{
    Vec2 side { -dir.y, dir.x };
    Polyline line { root + side * (breadth / 2) };
    Vec2 tip = root + dir * length;
    for (int i = 0; i < fingers; ++i) {
        float t = fingers == 1 ? 0.0f : float(i) / (fingers - 1) - 0.5f;
        Vec2 base = tip + side * (-t * breadth);
        Vec2 spread = dir + side * (-t * 0.6f);
        line.push_back(base);
        line.push_back(base + spread * (finger_length / Length(spread)));
        line.push_back(base + side * (-breadth / (2.0f * fingers)));
    }
    line.push_back(root - side * (breadth / 2));
    return line;
}

struct BirdShape {
    float wing_span { 0.9f };
    float wing_breadth { 0.22f };
    int feathers { 4 };
    float neck { 0.25f };
    float beak { 0.15f };
    float tail { 0.3f };
    int tail_feathers { 3 };
    bool zigzag_neck { false };
};

std::vector<Polyline> Bird(const BirdShape& b)
{
    std::vector<Polyline> lines;
    lines.push_back(Ellipse({ 0, 0.05f }, 0.12f, 0.3f));
    lines.push_back(Fan({ -0.1f, -0.02f }, { -1, 0.15f }, b.wing_span * 0.7f, b.wing_breadth, b.feathers, 0.18f));
    lines.push_back(Fan({ 0.1f, -0.02f }, { 1, 0.15f }, b.wing_span * 0.7f, b.wing_breadth, b.feathers, 0.18f));
    Polyline neck { { 0, -0.25f } };
    if (b.zigzag_neck) {
        for (int i = 1; i <= 6; ++i)
            neck.push_back({ (i % 2 ? 0.08f : -0.08f), -0.25f - b.neck * i / 6 });
    } else {
        neck.push_back({ 0, -0.25f - b.neck });
    }
    lines.push_back(neck);
    Vec2 head = neck.back() + Vec2 { 0, -0.05f };
    lines.push_back(Ellipse(head, 0.06f, 0.06f, 16));
    lines.push_back({ head + Vec2 { 0, -0.06f }, head + Vec2 { 0.01f, -0.06f - b.beak } });
    lines.push_back(Fan({ 0, 0.33f }, { 0, 1 }, b.tail * 0.5f, 0.16f, b.tail_feathers, b.tail * 0.4f));
    return lines;
}

std::vector<Polyline> Fish(float length, float height, bool tall_fin)
{
    std::vector<Polyline> lines;
    Polyline body;
    for (int i = 0; i <= 30; ++i) {
        float t = float(i) / 30, x = -length / 2 + length * t;
        body.push_back({ x, -height * std::sin(s_pi * std::pow(t, 0.7f)) });
    }
    body.push_back({ length / 2 + 0.2f, -0.18f });
    body.push_back({ length / 2 + 0.2f, 0.18f });
    for (int i = 30; i >= 0; --i) {
        float t = float(i) / 30, x = -length / 2 + length * t;
        body.push_back({ x, height * 0.8f * std::sin(s_pi * std::pow(t, 0.7f)) });
    }
    lines.push_back(body);
    float fin = tall_fin ? 0.35f : 0.15f;
    lines.push_back({ { -0.05f, -height * 0.95f }, { 0.05f, -height - fin }, { 0.15f, -height * 0.9f } });
    lines.push_back({ { -length / 4, height * 0.6f }, { -length / 4 + 0.05f, height + 0.2f }, { -length / 4 + 0.2f, height * 0.6f } });
    lines.push_back(Ellipse({ -length / 2 + 0.12f, -height * 0.25f }, 0.03f, 0.03f, 10));
    return lines;
}

} // namespace

std::vector<Polyline> NazcaFigureLines(NazcaShape shape)
{
    switch (shape) {
    case NazcaShape::Alcatraz:
        return Bird({ 0.8f, 0.18f, 3, 0.45f, 0.35f, 0.25f, 2, true });
    case NazcaShape::CondorChick:
        return Bird({ 0.5f, 0.2f, 3, 0.1f, 0.08f, 0.2f, 3, false });
    case NazcaShape::LittleBird:
        return Bird({ 0.6f, 0.16f, 3, 0.12f, 0.1f, 0.35f, 2, false });
    case NazcaShape::Condor:
        return Bird({ 1.25f, 0.3f, 5, 0.18f, 0.1f, 0.45f, 5, false });
    case NazcaShape::Vulture:
        return Bird({ 1.1f, 0.26f, 4, 0.3f, 0.12f, 0.3f, 4, false });
    case NazcaShape::Parrot: {
        auto lines = Bird({ 0.75f, 0.2f, 4, 0.12f, 0.05f, 0.6f, 3, false });
        lines.push_back({ { 0.0f, -0.5f }, { 0.12f, -0.52f }, { 0.1f, -0.4f } });
        return lines;
    }
    case NazcaShape::Hummingbird: {
        // The long beak, the wings spread straight out and the forked tail.
        auto lines = Bird({ 1.2f, 0.14f, 4, 0.1f, 0.55f, 0.35f, 2, false });
        return lines;
    }
    case NazcaShape::Astronaut: {
        std::vector<Polyline> lines;
        lines.push_back(Ellipse({ 0, -0.45f }, 0.28f, 0.28f));
        lines.push_back(Ellipse({ -0.1f, -0.5f }, 0.06f, 0.06f, 12));
        lines.push_back(Ellipse({ 0.1f, -0.5f }, 0.06f, 0.06f, 12));
        lines.push_back({ { -0.18f, -0.17f }, { -0.22f, 0.6f }, { -0.08f, 0.6f }, { 0, 0.3f }, { 0.08f, 0.6f }, { 0.22f, 0.6f }, { 0.18f, -0.17f } });
        lines.push_back({ { -0.2f, 0.0f }, { -0.55f, -0.2f }, { -0.6f, -0.45f } });
        lines.push_back({ { 0.2f, 0.0f }, { 0.55f, 0.2f }, { 0.6f, 0.4f } });
        return lines;
    }
    case NazcaShape::Dog: {
        std::vector<Polyline> lines;
        lines.push_back({ { -0.6f, -0.1f }, { 0.4f, -0.1f }, { 0.55f, -0.35f }, { 0.75f, -0.3f }, { 0.7f, -0.12f },
            { 0.5f, 0.05f }, { 0.45f, 0.15f }, { -0.6f, 0.15f }, { -0.6f, -0.1f } });
        for (float x : { -0.5f, -0.35f, 0.25f, 0.4f })
            lines.push_back({ { x, 0.15f }, { x - 0.03f, 0.45f }, { x + 0.05f, 0.45f } });
        lines.push_back({ { -0.6f, -0.05f }, { -0.8f, -0.3f }, { -0.9f, -0.25f } });
        lines.push_back({ { 0.62f, -0.32f }, { 0.6f, -0.48f } });
        return lines;
    }
    case NazcaShape::Flower: {
        std::vector<Polyline> lines;
        lines.push_back({ { 0, 0.9f }, { 0, -0.2f } });
        for (int i = 0; i < 8; ++i)
            lines.push_back(Ellipse(Vec2 { 0, -0.45f } + Polar(0.2f, i * s_pi / 4), 0.15f, 0.07f, 18, i * s_pi / 4));
        lines.push_back({ { 0, 0.5f }, { 0.3f, 0.3f }, { 0.45f, 0.35f } });
        lines.push_back({ { 0, 0.3f }, { -0.3f, 0.1f }, { -0.45f, 0.15f } });
        return lines;
    }
    case NazcaShape::Hands: {
        std::vector<Polyline> lines;
        lines.push_back(Fan({ -0.25f, 0.5f }, { 0, -1 }, 0.5f, 0.3f, 4, 0.3f));
        lines.push_back(Fan({ 0.25f, 0.5f }, { 0, -1 }, 0.5f, 0.3f, 5, 0.3f));
        lines.push_back({ { -0.4f, 0.5f }, { -0.4f, 0.8f }, { 0.4f, 0.8f }, { 0.4f, 0.5f } });
        return lines;
    }
    case NazcaShape::Orca:
        return Fish(1.3f, 0.3f, true);
    case NazcaShape::Whale:
        return Fish(1.5f, 0.38f, false);
    case NazcaShape::Monkey: {
        std::vector<Polyline> lines;
        lines.push_back(Ellipse({ 0, 0 }, 0.3f, 0.22f));
        lines.push_back(Ellipse({ -0.42f, -0.12f }, 0.12f, 0.1f, 18));
        lines.push_back(Fan({ -0.2f, -0.2f }, { -0.3f, -1 }, 0.35f, 0.12f, 4, 0.14f));
        lines.push_back(Fan({ 0.0f, -0.22f }, { 0.4f, -1 }, 0.35f, 0.12f, 5, 0.14f));
        lines.push_back({ { -0.15f, 0.2f }, { -0.2f, 0.55f }, { -0.32f, 0.6f } });
        lines.push_back({ { 0.12f, 0.2f }, { 0.1f, 0.55f }, { 0.0f, 0.62f } });
        // The famous tail, rolled up into a spiral.
        Polyline tail { { 0.3f, 0.0f }, { 0.5f, 0.05f } };
        Polyline roll = Spiral({ 0.62f, 0.2f }, 0.17f, 2.5f, -s_pi / 2 - 0.4f);
        tail.insert(tail.end(), roll.begin(), roll.end());
        lines.push_back(tail);
        return lines;
    }
    case NazcaShape::Spider: {
        std::vector<Polyline> lines;
        lines.push_back(Ellipse({ 0, 0.15f }, 0.17f, 0.25f));
        lines.push_back(Ellipse({ 0, -0.2f }, 0.1f, 0.1f, 18));
        for (int side : { -1, 1 }) {
            for (int i = 0; i < 4; ++i) {
                float y = -0.12f + i * 0.12f;
                float up = (i - 1.5f) * 0.25f;
                lines.push_back({ { side * 0.12f, y }, { side * 0.45f, y + up - 0.2f }, { side * 0.7f, y + up * 1.6f + 0.1f } });
            }
        }
        lines.push_back({ { 0, 0.4f }, { 0, 0.62f }, { 0.08f, 0.7f } });
        return lines;
    }
    case NazcaShape::Tree: {
        std::vector<Polyline> lines;
        lines.push_back({ { 0, 0.8f }, { 0, -0.1f } });
        for (int i = 0; i < 4; ++i) {
            float y = 0.3f - i * 0.2f, len = 0.55f - i * 0.1f;
            lines.push_back({ { 0, y }, { -len, y - 0.25f } });
            lines.push_back({ { 0, y }, { len, y - 0.25f } });
        }
        lines.push_back(Ellipse({ 0, -0.3f }, 0.15f, 0.25f, 20));
        for (float x : { -0.3f, 0.0f, 0.3f })
            lines.push_back({ { 0, 0.8f }, { x, 0.95f } });
        return lines;
    }
    case NazcaShape::Trapezoids:
        return { { { -0.9f, -0.7f }, { -0.3f, -0.7f }, { -0.5f, 0.8f }, { -0.7f, 0.8f }, { -0.9f, -0.7f } },
            { { 0.1f, -0.9f }, { 0.8f, -0.6f }, { 0.6f, 0.9f }, { 0.45f, 0.85f }, { 0.1f, -0.9f } },
            { { -0.2f, -0.95f }, { 0.0f, 0.95f } } };
    case NazcaShape::Triangles:
        return { { { -0.8f, 0.7f }, { -0.2f, -0.8f }, { 0.2f, 0.7f }, { -0.8f, 0.7f } },
            { { 0.1f, -0.6f }, { 0.9f, -0.4f }, { 0.3f, 0.2f }, { 0.1f, -0.6f } },
            { { -0.9f, -0.9f }, { 0.9f, 0.9f } } };
    case NazcaShape::Maps: {
        std::vector<Polyline> lines;
        for (int i = 0; i < 9; ++i)
            lines.push_back({ { -0.1f, 0.1f }, Polar(0.95f, i * 2 * s_pi / 9 + 0.2f) });
        lines.push_back({ { -0.9f, 0.6f }, { -0.7f, 0.4f }, { -0.5f, 0.6f }, { -0.3f, 0.4f }, { -0.1f, 0.6f }, { 0.1f, 0.4f } });
        return lines;
    }
    case NazcaShape::Others:
        return { Spiral({ -0.35f, 0 }, 0.45f, 3),
            { { 0.1f, 0.6f }, { 0.25f, -0.6f }, { 0.4f, 0.6f }, { 0.55f, -0.6f }, { 0.7f, 0.6f }, { 0.85f, -0.6f } } };
    }
    return {};
}
