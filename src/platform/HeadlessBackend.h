#pragma once

#include "platform/WindowBackend.h"
#include "platform/WindowScale.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// The window as a pixel buffer: nothing is shown, input is injected. The harness and the tests use
// it; the messages of the error boxes the framework draws are recorded too.
class HeadlessBackend : public WindowBackend {
public:
    void Create(int width, int height, const std::string& title_utf8) override;
    PixelBuffer& Surface() override { return m_surface; }
    void Present(Rect dirty) override;
    bool WaitEvent(WindowEvent& event, int timeout_ms) override;
    void Wake() override;
    void SetCursor(CursorShape cursor) override { m_cursor = cursor; }
    void Minimize() override;
    void SetHitTest(std::function<bool(Point)>) override { } // nothing drags a window without a screen
    void ErrorReported(const std::string& title_utf8, const std::string& message_utf8) override;
    int ScreenPixelsPerInch() const override { return m_pixels_per_inch; }
    Point ScreenPosition() const override { return { 0, 0 }; }

    // Test and harness side.
    void Inject(const WindowEvent& event);
    void SetPixelsPerInch(int ppi) { m_pixels_per_inch = ppi; }
    // Presents into a screen picture at the given scale, as a window on a screen would (before
    // Create). Without it, presenting leaves the pixels in Surface() only.
    void SetPresentScale(double factor) { m_present_factor = factor; }
    double ScaleFactor() const override { return m_presented.IsEmpty() ? 1 : m_scale.Factor(); }
    void SetScreenDrawing(Rect area, ScreenDraw draw) override
    {
        m_screen_area = area;
        m_screen_draw = std::move(draw);
    }
    const PixelBuffer& Presented() const { return m_presented; }
    const WindowScale& Scale() const { return m_scale; }
    CursorShape Cursor() const { return m_cursor; }
    bool Minimized() const { return m_minimized; }
    bool Created() const { return m_created; }
    struct ErrorBox {
        std::string title;
        std::string message;
    };
    // The error boxes reported since the last call.
    std::vector<ErrorBox> TakeErrorBoxes();

private:
    PixelBuffer m_surface;
    double m_present_factor { 0 }; // 0: no screen picture
    WindowScale m_scale;
    PixelBuffer m_presented;
    Rect m_screen_area;
    ScreenDraw m_screen_draw;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<WindowEvent> m_events;
    bool m_woken { false };
    std::vector<ErrorBox> m_error_boxes;
    CursorShape m_cursor { CursorShape::Default };
    int m_pixels_per_inch { 96 };
    bool m_minimized { false };
    bool m_created { false };
};
