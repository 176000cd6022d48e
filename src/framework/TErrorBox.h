#pragma once

#include "framework/TCanvas.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The error box: a modal dialog the framework draws itself over the main window, so that it shows
// wherever the window shows. A title strip, the error icon, the message wrapped to lines and one OK
// button. Geometry is computed once, in window coordinates, and serves painting and input alike.
// Texts are Windows-1251.
class TErrorBox {
public:
    // Lays the box out centred in a window of `window` size. Measuring needs the fonts: throws
    // when they cannot be loaded.
    TErrorBox(std::string title, std::string message, Size window);

    const std::string& Title() const { return m_title; }
    const std::string& Message() const { return m_message; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    Rect BoundsRect() const { return m_bounds; }
    Rect CaptionRect() const;
    Rect IconRect() const { return m_icon; }
    Rect TextRect() const { return m_text; }
    Rect OkButtonRect() const { return m_ok; }
    bool OkPressed() const { return m_pressed; }

    // Draws the box; the canvas's origin is the window's top-left.
    void Paint(TCanvas& canvas) const;

    // The OK button's press and release. MouseUp is true when the release completes a click on OK.
    void MouseDown(Point window_point);
    void MouseMove(Point window_point);
    bool MouseUp(Point window_point);
    // Enter, Escape and Space close the box.
    static bool ClosesOnKey(int virtual_key);

    // Breaks `text` into lines no wider than `max_width`: at spaces where it can, inside a word that
    // is wider than a line, and at every line feed. More than `max_lines` lines end in an ellipsis
    // on the last one kept.
    static std::vector<std::string> WrapText(std::string_view text, int max_width, int max_lines,
        const std::function<int(std::string_view)>& measure);

private:
    std::string m_title;
    std::string m_message;
    std::vector<std::string> m_lines;
    int m_line_height { 0 };
    Rect m_bounds;
    Rect m_icon;
    Rect m_text;
    Rect m_ok;
    bool m_tracking { false };
    bool m_pressed { false };
};
