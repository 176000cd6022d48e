#include "platform/WindowBackend.h"

#include "platform/DesktopScale.h"
#include "platform/PngCodec.h"
#include "platform/WindowScale.h"

#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

int VirtualKeyOf(SDL_Keycode key)
{
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    default:
        break;
    }
    if (key >= 'a' && key <= 'z')
        return int(key - 'a' + 'A'); // letters' virtual keys are the capitals
    if (key >= '0' && key <= '9')
        return int(key);
    return 0;
}

unsigned ShiftOf(Uint16 mod)
{
    unsigned shift = 0;
    if (mod & KMOD_SHIFT)
        shift |= 1;
    if (mod & KMOD_ALT)
        shift |= 2;
    if (mod & KMOD_CTRL)
        shift |= 4;
    return shift;
}

// Sets an environment variable for the life of the object (when `value` is not empty), then puts
// back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : m_name(name)
    {
        if (value.empty())
            return;
        if (const char* old = std::getenv(name))
            m_old = old;
        m_set = ::setenv(name, value.c_str(), 1) == 0;
    }
    ~ScopedEnvironment()
    {
        if (!m_set)
            return;
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
    bool m_set { false };
};

class SdlBackend : public WindowBackend {
public:
    explicit SdlBackend(const WindowIdentity& identity)
        : m_identity(identity)
    {
        // A desktop program needs a desktop: without an X or Wayland display SDL would fall back to
        // drivers that draw nowhere a user can see (unless a driver is asked for by name).
        const char* driver = SDL_getenv("SDL_VIDEODRIVER");
        if ((!driver || !*driver) && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
            throw std::runtime_error("cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
            throw std::runtime_error(std::string("cannot open a display: ") + SDL_GetError());
        m_wake_event = SDL_RegisterEvents(1);
    }

    ~SdlBackend() override
    {
        for (SDL_Cursor* cursor : m_cursors)
            if (cursor)
                SDL_FreeCursor(cursor);
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        if (m_renderer)
            SDL_DestroyRenderer(m_renderer);
        if (m_window)
            SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    void Create(int width, int height, const std::string& title_utf8) override
    {
        Size window { width, height };
        std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        DesktopScaleSettings settings = ReadDesktopScaleSettings(driver == "x11");
        SDL_Rect usable {};
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
            settings.usable = { usable.w, usable.h };
        ScaleChoice choice = ChooseWindowScale(settings, window);
        if (!choice.warning.empty())
            std::fprintf(stderr, "velmar: %s\n", choice.warning.c_str());
        m_scale = WindowScale(choice.factor, window);

        // Hidden until it has its final size, so that a compositor's own scale (below) does not
        // show as a jump.
        Size device = m_scale.Device();
        {
            // SDL takes the window class (X11) and the app id (Wayland) from the environment when it
            // makes the window; programs started later (the web browser) must not inherit them.
            ScopedEnvironment x11_class("SDL_VIDEO_X11_WMCLASS", m_identity.window_class);
            ScopedEnvironment app_id("SDL_VIDEO_WAYLAND_WMCLASS", m_identity.app_id);
            m_window = SDL_CreateWindow(title_utf8.c_str(), 0, 0, device.width, device.height,
                SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
        }
        if (!m_window)
            throw std::runtime_error(std::string("cannot create the window: ") + SDL_GetError());
        SetIcon();
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer)
            m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        if (!m_renderer)
            throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());

        // A compositor that scales windows itself (Wayland) counts the window in its own units and
        // gives the renderer more pixels than that: the window then takes the screen pixels the
        // scale asks for in fewer units, and its default scale is the compositor's.
        int units_w = 0, units_h = 0, pixels_w = 0, pixels_h = 0;
        SDL_GetWindowSize(m_window, &units_w, &units_h);
        SDL_GetRendererOutputSize(m_renderer, &pixels_w, &pixels_h);
        if (units_w > 0 && pixels_w > units_w) {
            double compositor = double(pixels_w) / units_w;
            if (!choice.chosen_by_user) {
                settings.display_scale = compositor;
                settings.usable = { int(settings.usable.width * compositor), int(settings.usable.height * compositor) };
                m_scale = WindowScale(ChooseWindowScale(settings, window).factor, window);
                device = m_scale.Device();
            }
            SDL_SetWindowSize(m_window, int(std::lround(device.width / compositor)),
                int(std::lround(device.height / compositor)));
            SDL_GetWindowSize(m_window, &units_w, &units_h);
        }
        m_units = { units_w > 0 ? units_w : device.width, units_h > 0 ? units_h : device.height };

        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, device.width,
            device.height);
        if (!m_texture)
            throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
        m_surface.Resize(width, height, 0xFF000000u);
        SDL_SetWindowHitTest(m_window, &SdlBackend::HitTest, this);
        SDL_ShowWindow(m_window);
    }

    PixelBuffer& Surface() override { return m_surface; }

    void Present(Rect dirty) override
    {
        // The window's picture is scaled once, straight into the texture, which the renderer then
        // shows pixel for pixel.
        Rect target = m_scale.ToDevice(dirty);
        if (!target.IsEmpty()) {
            SDL_Rect area { target.left, target.top, target.Width(), target.Height() };
            void* pixels = nullptr;
            int pitch = 0;
            if (SDL_LockTexture(m_texture, &area, &pixels, &pitch) == 0) {
                PixelBuffer locked = PixelBuffer::View(static_cast<Pixel*>(pixels), area.w, area.h, pitch / 4);
                m_scale.Scale(m_surface, dirty, locked, target.TopLeft());
                DrawOnScreen(locked, target);
                SDL_UnlockTexture(m_texture);
            }
        }
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        SDL_RenderPresent(m_renderer);
    }

    bool WaitEvent(WindowEvent& event, int timeout_ms) override
    {
        SDL_Event e;
        for (;;) {
            int got = timeout_ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout_ms);
            if (!got)
                return false;
            if (Translate(e, event))
                return true;
            timeout_ms = 0; // an event we ignore: look for another one without waiting again
        }
    }

    void Wake() override
    {
        SDL_Event e {};
        e.type = m_wake_event;
        SDL_PushEvent(&e);
    }

    void SetCursor(CursorShape shape) override
    {
        auto index = std::size_t(shape);
        if (!m_cursors[index]) {
            SDL_SystemCursor system = shape == CursorShape::Hand ? SDL_SYSTEM_CURSOR_HAND
                : shape == CursorShape::IBeam                    ? SDL_SYSTEM_CURSOR_IBEAM
                : shape == CursorShape::Wait                     ? SDL_SYSTEM_CURSOR_WAIT
                : shape == CursorShape::SizeAll                  ? SDL_SYSTEM_CURSOR_SIZEALL
                                                                 : SDL_SYSTEM_CURSOR_ARROW;
            m_cursors[index] = SDL_CreateSystemCursor(system);
        }
        if (m_cursors[index])
            SDL_SetCursor(m_cursors[index]);
    }

    void Minimize() override { SDL_MinimizeWindow(m_window); }

    double ScaleFactor() const override { return m_scale.Factor(); }

    void SetScreenDrawing(Rect area, ScreenDraw draw) override
    {
        m_screen_area = area;
        m_screen_draw = std::move(draw);
    }

    void SetHitTest(std::function<bool(Point)> is_caption) override { m_is_caption = std::move(is_caption); }

    int ScreenPixelsPerInch() const override
    {
        float ddpi = 0, hdpi = 0, vdpi = 0;
        if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 && hdpi > 0)
            return int(hdpi + 0.5f);
        return 96;
    }

    Point ScreenPosition() const override
    {
        int x = 0, y = 0;
        SDL_GetWindowPosition(m_window, &x, &y);
        return { x, y };
    }

private:
    static SDL_HitTestResult HitTest(SDL_Window*, const SDL_Point* area, void* data)
    {
        auto* self = static_cast<SdlBackend*>(data);
        if (self->m_is_caption && self->m_is_caption(self->ToWindow(area->x, area->y)))
            return SDL_HITTEST_DRAGGABLE;
        return SDL_HITTEST_NORMAL;
    }

    // The part drawn at the screen's resolution, over the window's scaled pixels of `target`.
    void DrawOnScreen(PixelBuffer& locked, Rect target)
    {
        if (!m_screen_draw || m_scale.Factor() == 1)
            return;
        Rect clip = m_scale.DeviceArea(m_screen_area).Intersected(target);
        if (!clip.IsEmpty())
            m_screen_draw(locked, target.TopLeft(), m_scale, clip);
    }

    // A point in the window system's units to the window pixel drawn there.
    Point ToWindow(int x, int y) const
    {
        Size device = m_scale.Device();
        if (m_units.width > 0 && m_units.width != device.width)
            x = int(std::int64_t(x) * device.width / m_units.width);
        if (m_units.height > 0 && m_units.height != device.height)
            y = int(std::int64_t(y) * device.height / m_units.height);
        return m_scale.ToWindow({ x, y });
    }

    void SetIcon()
    {
        if (m_identity.icon_png.empty())
            return;
        try {
            m_icon = DecodePng(m_identity.icon_png);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "velmar: the window's icon: %s\n", error.what());
            return;
        }
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(m_icon.Row(0), m_icon.Width(), m_icon.Height(), 32,
            m_icon.Stride() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (icon) {
            SDL_SetWindowIcon(m_window, icon);
            SDL_FreeSurface(icon);
        }
    }

    bool Translate(const SDL_Event& e, WindowEvent& out)
    {
        using Type = WindowEvent::Type;
        out = {};
        if (e.type == m_wake_event) {
            out.type = Type::Wake;
            return true;
        }
        switch (e.type) {
        case SDL_QUIT:
            out.type = Type::Close;
            return true;
        case SDL_MOUSEMOTION: {
            out.type = Type::MouseMove;
            Point p = ToWindow(e.motion.x, e.motion.y);
            out.x = p.x;
            out.y = p.y;
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            out.type = e.type == SDL_MOUSEBUTTONUP ? Type::MouseUp
                : e.button.clicks >= 2 && e.button.clicks % 2 == 0 ? Type::DoubleClick
                                                                    : Type::MouseDown;
            Point p = ToWindow(e.button.x, e.button.y);
            out.x = p.x;
            out.y = p.y;
            out.button = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_MIDDLE ? 2 : 3;
            return true;
        }
        case SDL_MOUSEWHEEL: {
            out.type = Type::Wheel;
            out.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            Point p = ToWindow(x, y);
            out.x = p.x;
            out.y = p.y;
            return out.wheel != 0;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.type = e.type == SDL_KEYDOWN ? Type::KeyDown : Type::KeyUp;
            out.key = VirtualKeyOf(e.key.keysym.sym);
            out.shift = ShiftOf(e.key.keysym.mod);
            if (out.type == Type::KeyDown && e.key.keysym.sym >= 32 && e.key.keysym.sym < 127)
                out.ch = static_cast<unsigned char>(e.key.keysym.sym);
            return out.key != 0 || out.ch != 0;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                out.type = Type::Activate;
                return true;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                out.type = Type::Deactivate;
                return true;
            case SDL_WINDOWEVENT_MINIMIZED:
                out.type = Type::Minimize;
                return true;
            case SDL_WINDOWEVENT_RESTORED:
                out.type = Type::Restore;
                return true;
            case SDL_WINDOWEVENT_EXPOSED:
                out.type = Type::Expose;
                return true;
            case SDL_WINDOWEVENT_CLOSE:
                out.type = Type::Close;
                return true;
            default:
                return false;
            }
        default:
            return false;
        }
    }

    SDL_Window* m_window { nullptr };
    SDL_Renderer* m_renderer { nullptr };
    SDL_Texture* m_texture { nullptr };
    PixelBuffer m_surface; // the window's picture in window pixels
    WindowScale m_scale;
    Size m_units;          // the window's size in the window system's units
    WindowIdentity m_identity;
    PixelBuffer m_icon;
    Rect m_screen_area;       // window pixels drawn at the screen's resolution by m_screen_draw
    ScreenDraw m_screen_draw;
    Uint32 m_wake_event { 0 };
    std::function<bool(Point)> m_is_caption;
    SDL_Cursor* m_cursors[6] {};
};

} // namespace

std::unique_ptr<WindowBackend> CreateSdlBackend(const WindowIdentity& identity)
{
    return std::make_unique<SdlBackend>(identity);
}
