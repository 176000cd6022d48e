#pragma once

#include "platform/Geometry.h"
#include "platform/PixelBuffer.h"

#include <vector>

// How the window's picture meets the screen on a high-density display. The program lays out,
// paints and takes input in its own pixels (1024 x 738); the backend shows that picture Factor()
// times larger. Whole factors repeat every pixel exactly; fractional ones filter smoothly. A point
// of the screen maps back to the window pixel that was drawn there, so every control answers where
// it shows.
class WindowScale {
public:
    // The factors the window may be shown at.
    static constexpr double Supported[] = { 1, 1.25, 1.5, 2, 3 };

    WindowScale() = default;
    // `factor` is one of Supported.
    WindowScale(double factor, Size window);

    double Factor() const { return m_factor; }
    bool IsWhole() const { return m_whole > 0; }
    Size Window() const { return m_window; }
    // The screen pixels the window covers: the window's size times the factor, rounded.
    Size Device() const { return m_device; }

    // The window pixel shown at a screen pixel of the window; points outside the window map to
    // window points outside it.
    Point ToWindow(Point device) const;
    // The screen pixels whose colour depends on the window pixels of `window_rect`.
    Rect ToDevice(Rect window_rect) const;
    // The screen rectangle a window rectangle is shown on (its edges scaled and rounded): where a
    // picture drawn straight at the screen's resolution goes.
    Rect DeviceArea(Rect window_rect) const;

    // Draws the window pixels of `dirty` into the screen picture: writes exactly ToDevice(dirty),
    // reading `window` around `dirty` as the filter needs. `device` holds the screen pixels from
    // `origin` on (a whole Device()-sized picture, or just the part being updated) and must cover
    // ToDevice(dirty).
    void Scale(const PixelBuffer& window, Rect dirty, PixelBuffer& device, Point origin = {}) const;

private:
    struct Tap {
        int first;  // the window pixel on the left (above)
        int weight; // of the next pixel, 0..256
    };

    void ScaleWhole(const PixelBuffer& window, Rect dirty, PixelBuffer& device, Point origin) const;
    void ScaleFiltered(const PixelBuffer& window, Rect target, PixelBuffer& device, Point origin) const;

    double m_factor { 1 };
    int m_whole { 1 }; // the factor when it is whole, else 0
    Size m_window;
    Size m_device;
    std::vector<Tap> m_columns; // per screen column, for fractional factors
    std::vector<Tap> m_rows;    // per screen row
    mutable std::vector<Pixel> m_across[2]; // window rows filtered across, reused from paint to paint
};
