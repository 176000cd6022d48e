#pragma once

#include "Formation.h"

#include <cstdint>
#include <vector>

// A formation rasterised once on a square grid in metres: how much of each cell is flattened,
// and how bright the laid crop looks there under the sun. Photographs and drawings sample it
// instead of measuring every shape at every pixel.
class FormationMap {
public:
    // Rasterises the first shape_count shapes (all when negative) at cells of cell_size metres.
    FormationMap(const Formation& formation, float cell_size, int shape_count = -1,
        float sun_angle = 0.6f);

    float Half() const { return m_half; }
    // Flattened share at a point in metres (bilinear), 0 outside the grid.
    float Coverage(Vec2 p) const;
    // Brightness of the laid crop at p, 0..1 (nearest cell).
    float Shade(Vec2 p) const;
    // Index of the shape that covers p most, or -1.
    int ShapeAt(Vec2 p) const;

private:
    bool Cell(Vec2 p, int& x, int& y) const;

    int m_size { 0 };
    float m_cell { 1 };
    float m_half { 0 };
    std::vector<std::uint8_t> m_coverage;
    std::vector<std::uint8_t> m_shade;
    std::vector<std::int16_t> m_shape;
};
