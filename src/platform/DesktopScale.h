#pragma once

#include "platform/Geometry.h"

#include <optional>
#include <string>
#include <string_view>

// Where the window's scale comes from: the user's own choice for this program, then the desktop's
// settings. Each field is empty when the source does not say anything.
struct DesktopScaleSettings {
    std::optional<std::string> velmar_scale {}; // VELMAR_SCALE
    std::optional<std::string> gdk_scale {};    // GDK_SCALE: the desktop's whole window scale
    std::optional<double> xft_dpi {};           // the X resource Xft.dpi (96 is scale 1)
    std::optional<double> display_scale {};     // a compositor's own output scale (Wayland)
    Size usable {};                             // the screen area a window may take; 0 x 0 unknown
};

struct ScaleChoice {
    double factor { 1 };
    bool chosen_by_user { false }; // VELMAR_SCALE decided
    std::string warning;           // a setting that was ignored, for standard error
};

// VELMAR_SCALE wins when it names a supported factor (WindowScale::Supported; "2", "2.0" and "200%"
// alike). Otherwise GDK_SCALE, then Xft.dpi, then the compositor's scale give the largest
// supported factor not above what the desktop asks for, lowered until the window fits the usable
// screen area (a window larger than the screen would lose its close mark).
ScaleChoice ChooseWindowScale(const DesktopScaleSettings& settings, Size window);

// One of WindowScale::Supported, or empty.
std::optional<double> ParseScale(std::string_view text);

// The largest supported factor not above `wanted` (1 for anything below 1).
double SupportedScaleAtMost(double wanted);

// The settings of the running desktop: the environment, and Xft.dpi from the X server's resources
// when `read_x_resources` (the window system is X11).
DesktopScaleSettings ReadDesktopScaleSettings(bool read_x_resources);
