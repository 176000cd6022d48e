#pragma once

#include "Drawing.h"

#include <string>

// Writes a drawing as an 8-bit RGB PNG. The file carries no time stamp or other varying chunk,
// so the same drawing always gives the same bytes.
void WritePng(const std::string& path, const Drawing& drawing);

// The same as RGBA, with `alpha` (0..1 per pixel, rows top-down) as the opacity.
void WritePng(const std::string& path, const Drawing& drawing, const std::vector<float>& alpha);
