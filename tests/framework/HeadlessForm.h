#pragma once

// A real form on the headless backend for control tests: make one, put controls on Form(), send
// input in window coordinates and read the pixels the window shows. Every input helper runs the
// message loop afterwards, so events have fired and the window is painted when it returns.
//
//     HeadlessForm ui(320, 240);
//     auto* tree = ui.Add<TTreeView>(10, 10, 150, 200);
//     ui.Click(20, 15);
//     EXPECT_EQ(ui.ColorAt(20, 15), clWhite);

#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "platform/HeadlessBackend.h"

#include <memory>
#include <string>

class HeadlessForm {
public:
    // `present_scale`: the window is presented on a screen at that scale (0: not presented).
    HeadlessForm(int width, int height, double present_scale = 0)
    {
        auto backend = std::make_unique<HeadlessBackend>();
        m_backend = backend.get();
        if (present_scale > 0)
            m_backend->SetPresentScale(present_scale);
        m_application = std::make_unique<TApplication>(std::move(backend), "test.exe");
        m_form = m_application->CreateForm<SizedForm>(width, height);
        Pump();
    }
    ~HeadlessForm() { m_application.reset(); }
    HeadlessForm(const HeadlessForm&) = delete;
    HeadlessForm& operator=(const HeadlessForm&) = delete;

    TApplication& Application() { return *m_application; }
    HeadlessBackend& Backend() { return *m_backend; }
    TForm& Form() { return *m_form; }

    // A control owned by the form and placed on it.
    template<typename T>
    T* Add(int left, int top, int width, int height, const std::string& name = "")
    {
        T* control = m_form->Create<T>(name);
        control->SetParent(m_form);
        control->SetBounds(left, top, width, height);
        Pump();
        return control;
    }

    // Runs the message loop: pending input, posted work, due timers, painting.
    void Pump() { m_application->ProcessMessages(); }

    void Send(WindowEvent event)
    {
        m_backend->Inject(event);
        Pump();
    }
    void Move(int x, int y) { Send({ .type = WindowEvent::Type::MouseMove, .x = x, .y = y }); }
    void Press(int x, int y, unsigned shift = 0)
    {
        Send({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y, .button = 1, .shift = shift });
    }
    void Release(int x, int y, unsigned shift = 0)
    {
        Send({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y, .button = 1, .shift = shift });
    }
    void Click(int x, int y)
    {
        Move(x, y);
        Press(x, y);
        Release(x, y);
    }
    // What the window system sends for a double click: a click, then the double-click press and
    // its release.
    void DoubleClick(int x, int y)
    {
        Click(x, y);
        Send({ .type = WindowEvent::Type::DoubleClick, .x = x, .y = y, .button = 1 });
        Release(x, y);
    }
    void RightClick(int x, int y)
    {
        Move(x, y);
        Send({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y, .button = 3 });
        Send({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y, .button = 3 });
    }
    // Wheel steps at a point, positive away from the user.
    void Wheel(int steps, int x, int y)
    {
        Move(x, y);
        Send({ .type = WindowEvent::Type::Wheel, .x = x, .y = y, .wheel = steps });
    }
    // A key press and release to the focused control; `ch` is the character it types, if any.
    void Key(int virtual_key, unsigned shift = 0, unsigned char ch = 0)
    {
        Send({ .type = WindowEvent::Type::KeyDown, .key = virtual_key, .ch = ch, .shift = shift });
        Send({ .type = WindowEvent::Type::KeyUp, .key = virtual_key, .shift = shift });
    }

    // The window's pixel at a point, as a colour (red in the low byte).
    TColor ColorAt(int x, int y) { return PixelToColor(m_backend->Surface().At(x, y)) & 0xFFFFFF; }
    // How many pixels of a window rectangle have this colour.
    int CountColor(Rect area, TColor color)
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += ColorAt(x, y) == (ColorToRGB(color) & 0xFFFFFF);
        return count;
    }

private:
    class SizedForm : public TForm {
    public:
        SizedForm(TComponent* owner, int width, int height)
            : TForm(owner)
        {
            SetBounds(0, 0, width, height);
        }
    };

    HeadlessBackend* m_backend { nullptr };
    std::unique_ptr<TApplication> m_application;
    TForm* m_form { nullptr };
};
