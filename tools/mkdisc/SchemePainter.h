#pragma once

#include "Formation.h"
#include "GifEncoder.h"
#include "IndexedImage.h"

#include <cstdint>
#include <vector>

// The drawings of a scheme: the formation as a plan on a transparent ground, so that the window's
// pattern shows through, in a few kinds of sheet.
class SchemePainter {
public:
    enum class Sheet {
        Plan,         // the flattened areas filled, with outlines
        Construction, // outlines with the circles and lines that set the design out
        Detail,       // a part of the plan at twice the scale
        Outline,      // outlines alone, with a scale bar
    };

    static constexpr int s_transparent = 0;
    static std::vector<PaletteColor> Palette();

    SchemePainter(const Formation& formation, int size, std::uint64_t seed);

    IndexedImage Paint(Sheet sheet, int shape_count = -1) const;
    // An animation that adds the formation's shapes a few at a time, as it was laid out; each
    // frame holds only the part that changed.
    std::vector<std::uint8_t> BuildUpGif() const;
    std::vector<std::uint8_t> SheetGif(Sheet sheet) const;

private:
    Vec2 ToPixels(Vec2 world, float zoom) const;

    const Formation& m_formation;
    int m_size;
    float m_angle;
    float m_scale; // pixels per metre
    Vec2 m_detail_centre;
};
