#pragma once

#include "Drawing.h"

#include <string>
#include <vector>

struct NamedPicture {
    std::string name; // the component that shows the picture
    Drawing drawing;
};

// Draws every picture of the window's layout, always in the same order and to the same pixels.
std::vector<NamedPicture> DrawLayoutPictures();
