#pragma once

#include "LayoutArt.h"

#include <string>

// Puts the pictures together the way the window shows them (title strip above the content
// panel, the panel's pictures at their places, clipped to the panel) in three states: the
// start (Photo tab), the Schemes tab with the pattern and active arrows, and the Video tab with
// the transport strip and the schemes button. Writes start.png, schemes.png and video.png.
void WritePreviews(const std::vector<NamedPicture>& pictures, const std::string& folder);
