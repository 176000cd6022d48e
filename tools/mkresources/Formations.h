#pragma once

#include "Drawing.h"

// Crop-formation motifs, drawn as flat shapes inside a circle of radius r around (cx, cy):
// discs, rings, satellites, spirals, the figures one sees flattened into a field from the air.
constexpr int FormationKinds = 13;

// `kind` is taken modulo FormationKinds; `turn` rotates the figure (radians).
void DrawFormation(Drawing& drawing, int kind, float cx, float cy, float r, float turn, Rgb colour,
    float opacity = 1);
