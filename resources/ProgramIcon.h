#pragma once

#include <cstdint>
#include <span>

// The PNG file of the program's icon at 128 x 128 pixels, as the window shows it to the desktop
// (task bars, window switchers). The same drawing at the icon theme's sizes is installed under
// share/icons/hicolor. The bytes live in the program's read-only data for its whole run.
std::span<const std::uint8_t> ProgramIconPng();
