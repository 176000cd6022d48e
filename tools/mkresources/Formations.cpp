#include "Formations.h"

#include <numbers>

namespace {

struct Motif {
    Drawing& drawing;
    float cx;
    float cy;
    float r;
    float turn;
    Rgb colour;
    float opacity;

    // Position at distance `d` (in units of r) and angle `a` from the centre.
    float X(float d, float a) const { return cx + std::cos(a + turn) * d * r; }
    float Y(float d, float a) const { return cy + std::sin(a + turn) * d * r; }

    Box Around(float x, float y, float extent) const { return { x - extent, y - extent, x + extent, y + extent }; }

    void Disc(float x, float y, float radius) const
    {
        float rad = radius * r;
        drawing.FillSolid(Around(x, y, rad + 1), [&](float px, float py) { return Sdf::Circle(px, py, x, y, rad); },
            colour, opacity);
    }

    void Ring(float x, float y, float radius, float width) const
    {
        float rad = radius * r;
        float w = std::max(width * r, 1.2f);
        drawing.FillSolid(Around(x, y, rad + w + 1),
            [&](float px, float py) { return Sdf::Ring(px, py, x, y, rad, w); }, colour, opacity);
    }

    void Line(float ax, float ay, float bx, float by, float width) const
    {
        float w = std::max(width * r, 1.0f);
        Box box { std::min(ax, bx) - w - 1, std::min(ay, by) - w - 1, std::max(ax, bx) + w + 1, std::max(ay, by) + w + 1 };
        drawing.FillSolid(box, [&](float px, float py) { return Sdf::Segment(px, py, ax, ay, bx, by, w); }, colour,
            opacity);
    }

    void Crescent(float x, float y, float radius, float bite_x, float bite_y, float bite) const
    {
        float rad = radius * r;
        float bite_rad = bite * r;
        drawing.FillSolid(Around(x, y, rad + 1),
            [&](float px, float py) {
                return Sdf::Subtract(Sdf::Circle(px, py, x, y, rad), Sdf::Circle(px, py, bite_x, bite_y, bite_rad));
            },
            colour, opacity);
    }
};

constexpr float Pi = std::numbers::pi_v<float>;

} // namespace

void DrawFormation(Drawing& drawing, int kind, float cx, float cy, float r, float turn, Rgb colour, float opacity)
{
    Motif m { drawing, cx, cy, r, turn, colour, opacity };
    switch (((kind % FormationKinds) + FormationKinds) % FormationKinds) {
    case 0: // disc in a ring
        m.Disc(cx, cy, 0.36f);
        m.Ring(cx, cy, 0.78f, 0.12f);
        break;
    case 1: // three satellites on a thin ring
        m.Disc(cx, cy, 0.3f);
        m.Ring(cx, cy, 0.62f, 0.06f);
        for (int k = 0; k < 3; ++k) {
            float a = -Pi / 2 + k * 2 * Pi / 3;
            m.Disc(m.X(0.82f, a), m.Y(0.82f, a), 0.16f);
        }
        break;
    case 2: // triple spiral of growing circles
        for (int arm = 0; arm < 3; ++arm) {
            for (int i = 0; i <= 6; ++i) {
                float t = i / 6.0f;
                float a = arm * 2 * Pi / 3 + t * 2.4f;
                m.Disc(m.X(0.14f + t * 0.74f, a), m.Y(0.14f + t * 0.74f, a), 0.04f + t * 0.1f);
            }
        }
        break;
    case 3: // one spiral arm of shrinking circles around a large disc
        m.Disc(cx, cy, 0.26f);
        for (int i = 0; i < 16; ++i) {
            float t = i / 15.0f;
            float a = t * 4.2f;
            m.Disc(m.X(0.38f + t * 0.56f, a), m.Y(0.38f + t * 0.56f, a), 0.11f - t * 0.075f);
        }
        break;
    case 4: // concentric rings
        m.Disc(cx, cy, 0.13f);
        for (int i = 1; i <= 4; ++i)
            m.Ring(cx, cy, 0.12f + i * 0.2f, 0.09f);
        break;
    case 5: // six petals in a ring
        m.Disc(cx, cy, 0.2f);
        for (int k = 0; k < 6; ++k)
            m.Disc(m.X(0.47f, k * Pi / 3), m.Y(0.47f, k * Pi / 3), 0.21f);
        m.Ring(cx, cy, 0.9f, 0.05f);
        break;
    case 6: { // pictogram: two discs joined by a path, with bars
        float ax = m.X(0.55f, Pi);
        float ay = m.Y(0.55f, Pi);
        float bx = m.X(0.62f, 0);
        float by = m.Y(0.62f, 0);
        m.Disc(ax, ay, 0.25f);
        m.Ring(ax, ay, 0.38f, 0.05f);
        m.Line(ax, ay, bx, by, 0.08f);
        m.Disc(bx, by, 0.16f);
        for (float d : { 0.05f, 0.3f }) {
            float px = m.X(d, 0);
            float py = m.Y(d, 0);
            m.Line(px + std::cos(turn + Pi / 2) * 0.22f * r, py + std::sin(turn + Pi / 2) * 0.22f * r,
                px - std::cos(turn + Pi / 2) * 0.22f * r, py - std::sin(turn + Pi / 2) * 0.22f * r, 0.06f);
        }
        break;
    }
    case 7: // ring with four crescents
        m.Ring(cx, cy, 0.52f, 0.08f);
        m.Disc(cx, cy, 0.16f);
        for (int k = 0; k < 4; ++k) {
            float a = k * Pi / 2 + Pi / 4;
            m.Crescent(m.X(0.82f, a), m.Y(0.82f, a), 0.2f, m.X(0.92f, a), m.Y(0.92f, a), 0.17f);
        }
        break;
    case 8: // cross of paths to four satellites
        m.Ring(cx, cy, 0.6f, 0.07f);
        for (int k = 0; k < 4; ++k) {
            float a = k * Pi / 2;
            m.Line(cx, cy, m.X(0.85f, a), m.Y(0.85f, a), 0.06f);
            m.Disc(m.X(0.85f, a), m.Y(0.85f, a), 0.13f);
        }
        m.Disc(cx, cy, 0.22f);
        break;
    case 9: // a chain of circles along a gentle arc
        for (int i = 0; i < 7; ++i) {
            float t = i / 6.0f;
            float a = Pi + t * Pi * 0.9f;
            float rad = 0.22f - t * 0.14f;
            m.Disc(cx + std::cos(a + turn) * 0.7f * r, cy + std::sin(a + turn) * 0.7f * r + 0.35f * r, rad);
        }
        break;
    case 10: // dots laid in a grid inside a ring
        m.Ring(cx, cy, 0.92f, 0.06f);
        for (int gy = -3; gy <= 3; ++gy) {
            for (int gx = -3; gx <= 3; ++gx) {
                float dx = gx * 0.22f;
                float dy = gy * 0.22f;
                if (dx * dx + dy * dy < 0.7f * 0.7f)
                    m.Disc(cx + (dx * std::cos(turn) - dy * std::sin(turn)) * r,
                        cy + (dx * std::sin(turn) + dy * std::cos(turn)) * r, 0.07f);
            }
        }
        break;
    case 11: // two triangles of paths inside a ring
        m.Ring(cx, cy, 0.9f, 0.06f);
        for (int tri = 0; tri < 2; ++tri) {
            for (int k = 0; k < 3; ++k) {
                float a = -Pi / 2 + tri * Pi + k * 2 * Pi / 3;
                float b = a + 2 * Pi / 3;
                m.Line(m.X(0.86f, a), m.Y(0.86f, a), m.X(0.86f, b), m.Y(0.86f, b), 0.06f);
            }
        }
        m.Disc(cx, cy, 0.2f);
        break;
    default: // twelve circles around a disc
        m.Disc(cx, cy, 0.3f);
        for (int k = 0; k < 12; ++k)
            m.Disc(m.X(0.78f, k * Pi / 6), m.Y(0.78f, k * Pi / 6), 0.1f);
        break;
    }
}
