#pragma once

#include "platform/PixelBuffer.h"
#include "platform/WindowScale.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

// Windows' virtual-key codes, which the program's key handlers compare against.
enum VirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_ESCAPE = 27, VK_SPACE = 32,
    VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
    VK_DELETE = 46,
};

enum class CursorShape { Default, Arrow, Hand, IBeam, Wait, SizeAll };

struct WindowEvent {
    enum class Type {
        MouseMove, MouseDown, MouseUp, DoubleClick, Wheel, KeyDown, KeyUp, Char,
        Activate, Deactivate, Minimize, Restore, Close, Expose, Wake,
    };
    Type type { Type::Wake };
    int x { 0 };
    int y { 0 };
    int button { 1 };  // 1 left, 2 middle, 3 right
    int wheel { 0 };   // steps, positive away from the user
    int key { 0 };     // virtual-key code
    unsigned char ch { 0 }; // Windows-1251 character of a Char event
    unsigned shift { 0 };   // TShiftState bits
};

// The narrow window interface the framework stands on: one top-level window with a 32-bit back
// buffer, input events and a cursor. Implemented over SDL2 and headless.
class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Creates the borderless window at the screen's top-left. Throws std::runtime_error when no
    // window can be made (no display). Sizes, points and the surface are in these window pixels
    // even where the backend shows the window scaled for a high-density screen.
    virtual void Create(int width, int height, const std::string& title_utf8) = 0;
    virtual PixelBuffer& Surface() = 0;
    virtual void Present(Rect dirty) = 0;
    // Waits up to `timeout_ms` (negative: forever) for an event. False on time-out.
    virtual bool WaitEvent(WindowEvent& event, int timeout_ms) = 0;
    // Wakes a waiting WaitEvent from any thread.
    virtual void Wake() = 0;
    virtual void SetCursor(CursorShape cursor) = 0;
    virtual void Minimize() = 0;
    // `is_caption` tells, for a point of the client area, whether the window system should treat
    // it as the title bar (pressing there drags the window).
    virtual void SetHitTest(std::function<bool(Point)> is_caption) = 0;
    // The framework draws its error box itself; it tells the backend of every message it reports
    // that way (the headless backend records them for the harness and the tests). Texts in UTF-8.
    virtual void ErrorReported(const std::string&, const std::string&) { }
    virtual int ScreenPixelsPerInch() const = 0;

    // How the window is shown on the screen (WindowScale.h); 1 where it is shown pixel for pixel.
    virtual double ScaleFactor() const { return 1; }
    // One part of the window drawn straight at the screen's resolution, for a picture that should
    // be scaled only once (video). Each Present that touches `area` (window pixels) scales the
    // window's own pixels there as always, then calls `draw` with the screen's pixels (`screen`,
    // whose top-left is the screen point `origin`), the scale, and the screen pixels to draw
    // (`clip`). `draw` may leave them alone, and the window's own pixels show. Where the window is
    // shown pixel for pixel nothing is ever called. An empty `draw` ends it.
    using ScreenDraw = std::function<void(PixelBuffer& screen, Point origin, const WindowScale& scale, Rect clip)>;
    virtual void SetScreenDrawing(Rect area, ScreenDraw draw) { (void)area, (void)draw; }
    virtual Point ScreenPosition() const = 0;
};

// How the desktop tells the program's window from others: the X11 window class its desktop entry
// names (StartupWMClass; task bars group by it), the Wayland app id (the desktop entry's ID) and
// the icon, a PNG file's bytes.
struct WindowIdentity {
    std::string window_class;
    std::string app_id;
    std::span<const std::uint8_t> icon_png;
};

// The SDL2 backend; throws std::runtime_error naming the reason when there is no display. It
// shows the window at the scale the desktop or VELMAR_SCALE asks for (see DesktopScale.h).
std::unique_ptr<WindowBackend> CreateSdlBackend(const WindowIdentity& identity = {});
