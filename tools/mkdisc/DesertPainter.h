#pragma once

#include "NazcaFigure.h"
#include "RgbImage.h"

#include <cstdint>

// A view of a desert figure from above: where the picture's centre lies in figure units, the
// rotation, and how many pixels one figure unit spans.
struct DesertView {
    Vec2 centre;
    float angle { 0 };
    float pixels_per_unit { 200 };
};

// Reddish-brown stony ground with faint old lines across it, and the figure drawn as a light,
// slightly uneven track of cleared ground.
void PaintDesert(RgbImage& out, const std::vector<Polyline>& figure, const DesertView& view, std::uint32_t seed);
