#pragma once

#include "Drawing.h"

#include <vector>

// The program's icon: the round emblem of the title strip (a crop formation pressed into a wheat
// disc) on a transparent square, for the desktop's menus, task bars and the window itself.
struct ProgramIcon {
    int size { 0 };
    Drawing drawing;          // colours; meaningful where `alpha` is above 0
    std::vector<float> alpha; // coverage per pixel, 0..1, rows top-down
};

// The sizes the icon theme holds, in pixels (square).
inline constexpr int ProgramIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };

// Draws the icon at one size. Small sizes get fewer, bolder strokes so that the figure stays legible.
ProgramIcon DrawProgramIcon(int size);
