#pragma once

#include "Vec2.h"

#include <vector>

using Polyline = std::vector<Vec2>;

// The desert figures as line drawings in a unit square (about -1..1, y down): birds, the monkey,
// the spider, the hands and the rest, drawn from a few parametric parts.
enum class NazcaShape {
    Alcatraz, Astronaut, CondorChick, LittleBird, Condor, Dog, Flower, Hands, Hummingbird, Orca,
    Maps, Monkey, Others, Parrot, Spider, Trapezoids, Tree, Triangles, Vulture, Whale,
};

std::vector<Polyline> NazcaFigureLines(NazcaShape shape);
