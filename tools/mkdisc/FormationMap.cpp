#include "FormationMap.h"

#include <algorithm>
#include <cmath>

FormationMap::FormationMap(const Formation& formation, float cell_size, int shape_count, float sun_angle)
    : m_cell(cell_size)
{
    m_half = formation.Extent() * 1.05f + 2 * cell_size;
    m_size = int(std::ceil(2 * m_half / cell_size)) + 1;
    m_coverage.assign(std::size_t(m_size) * m_size, 0);
    m_shade.assign(m_coverage.size(), 128);
    m_shape.assign(m_coverage.size(), -1);
    const auto& shapes = formation.Shapes();
    int count = shape_count < 0 ? int(shapes.size()) : std::min<int>(shape_count, int(shapes.size()));
    for (int index = 0; index < count; ++index) {
        const Shape& shape = shapes[index];
        Vec2 low, high;
        shape.Bounds(low, high);
        int x0 = std::max(0, int((low.x + m_half) / m_cell) - 1);
        int y0 = std::max(0, int((low.y + m_half) / m_cell) - 1);
        int x1 = std::min(m_size - 1, int((high.x + m_half) / m_cell) + 2);
        int y1 = std::min(m_size - 1, int((high.y + m_half) / m_cell) + 2);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                Vec2 p { x * m_cell - m_half, y * m_cell - m_half };
                float d = shape.Distance(p);
                float coverage = std::clamp(0.5f - d / m_cell, 0.0f, 1.0f);
                if (coverage <= 0)
                    continue;
                std::size_t i = std::size_t(y) * m_size + x;
                auto value = std::uint8_t(coverage * 255 + 0.5f);
                if (value < m_coverage[i])
                    continue;
                m_coverage[i] = value;
                m_shape[i] = std::int16_t(index);
                // Crop laid towards the sun looks bright, laid away from it dark; fine
                // streaks follow the lay.
                float lay = shape.LayAngle(p);
                float light = 0.5f + 0.32f * std::cos(lay - sun_angle);
                float r = Length(p - shape.centre);
                light += 0.06f * std::sin(r * 2.3f + lay * 3.0f);
                m_shade[i] = std::uint8_t(std::clamp(light, 0.0f, 1.0f) * 255);
            }
        }
    }
}

bool FormationMap::Cell(Vec2 p, int& x, int& y) const
{
    float fx = (p.x + m_half) / m_cell, fy = (p.y + m_half) / m_cell;
    if (fx < 0 || fy < 0 || fx >= m_size - 1 || fy >= m_size - 1)
        return false;
    x = int(fx);
    y = int(fy);
    return true;
}

float FormationMap::Coverage(Vec2 p) const
{
    float fx = (p.x + m_half) / m_cell, fy = (p.y + m_half) / m_cell;
    if (fx < 0 || fy < 0 || fx >= m_size - 1 || fy >= m_size - 1)
        return 0;
    int x = int(fx), y = int(fy);
    float tx = fx - x, ty = fy - y;
    const std::uint8_t* row = m_coverage.data() + std::size_t(y) * m_size + x;
    float top = row[0] + (row[1] - row[0]) * tx;
    float bottom = row[m_size] + (row[m_size + 1] - row[m_size]) * tx;
    return (top + (bottom - top) * ty) * (1.0f / 255);
}

float FormationMap::Shade(Vec2 p) const
{
    int x, y;
    if (!Cell(p, x, y))
        return 0.5f;
    return m_shade[std::size_t(y) * m_size + x] * (1.0f / 255);
}

int FormationMap::ShapeAt(Vec2 p) const
{
    int x, y;
    if (!Cell(p, x, y))
        return -1;
    return m_shape[std::size_t(y) * m_size + x];
}
