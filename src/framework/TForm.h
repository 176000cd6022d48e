#pragma once

#include "framework/TErrorBox.h"
#include "framework/TWinControl.h"
#include "platform/WindowBackend.h"

#include <functional>
#include <memory>
#include <string>

// Answers of the non-client hit test.
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;

// A top-level window. It owns the window's back buffer through the backend, paints its invalid
// region, and routes input to its controls: mouse to the control under the pointer (or the one that
// captured it), keys to the focused control, Tab through the tab order.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }

    // Makes the window on the backend, then runs OnCreate (errors go to the error box; the window
    // stays).
    void CreateWindow(WindowBackend& backend);
    WindowBackend* Backend() const { return m_backend; }
    bool WindowCreated() const { return m_backend != nullptr; }

    // The non-client hit test of a point of the window that no child window covers.
    virtual int NCHitTest(Point) { return HTCLIENT; }
    bool IsCaptionPoint(Point window_point) const;

    TWinControl* ActiveControl() const { return m_active_control; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) control of the tab order after `current`.
    void SelectNext(TWinControl* current, bool forward, bool check_tab_stop);
    // A control that is going away gives up focus, capture and hover.
    void ControlDestroying(TControl* control);

    void InvalidateWindowRect(Rect rect);
    // Paints the invalid region into the back buffer and presents it. A control whose painting
    // fails is left out, so the others still paint and nothing half drawn is shown.
    void PaintInvalid();
    // A control failed while painting this area (window coordinates): it is painted again at once.
    void PaintFailedIn(Rect window_rect) { m_failed_area = m_failed_area.United(window_rect); }
    // Paints the whole window into the back buffer (the repaint benchmark measures this).
    void PaintWindow();
    CanvasSurface& WindowSurface() { return m_surface; }
    void SurfaceDrawn(Rect window_rect);

    void HandleEvent(const WindowEvent& event);
    TControl* Capture() const { return m_capture; }
    void SetCapture(TControl* control) { m_capture = control; }
    TControl* HoverControl() const { return m_hover; }
    Point MousePosition() const { return m_mouse; }
    // The deepest visible, enabled control at a window point.
    TControl* ControlAtWindowPoint(Point p) const;
    // The cursor shown at the mouse position: the screen cursor when it is not the default, else
    // the control's own.
    TCursor CursorAtMouse() const;
    void UpdateCursor();

    // The hint window, drawn over everything at `at` (window coordinates).
    void ShowHintWindow(const std::string& text, Point at);
    void HideHintWindow();
    const std::string& HintWindowText() const { return m_hint_text; }

    // The error box drawn over the window (the application shows one at a time). While it shows,
    // input goes to it alone: clicks elsewhere do nothing; Enter, Escape, Space or a click on OK
    // close it. A press that began before it still ends where it began, but clicks nothing. The
    // title strip still drags the window.
    void ShowErrorBox(std::unique_ptr<TErrorBox> box);
    const TErrorBox* ErrorBox() const { return m_error_box.get(); }
    // Closes the box as its OK button does; the application then shows the next one, if any.
    void CloseErrorBox();

    void Activate();
    void Deactivate();
    bool Active() const { return m_active; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;

protected:
    void Paint(TCanvas& canvas) override;

private:
    class Surface : public CanvasSurface {
    public:
        explicit Surface(TForm& form)
            : m_form(form)
        {
        }
        PixelBuffer* Lock() override;
        void Unlock(bool modified, Rect drawn) override;

    private:
        TForm& m_form;
    };

    void DispatchMouse(const WindowEvent& event);
    void DispatchKey(const WindowEvent& event);
    void DispatchToErrorBox(const WindowEvent& event);
    void PaintErrorBox(Rect area);
    void SetHover(TControl* control);
    void PaintHintWindow(TCanvas& canvas);

    std::string m_caption;
    WindowBackend* m_backend { nullptr };
    Surface m_surface { *this };
    TCanvas m_paint_canvas { &m_surface };
    Rect m_dirty;
    Rect m_drawn; // drawn outside a paint, to present
    Rect m_failed_area; // where a control failed to paint in this pass
    std::unique_ptr<TErrorBox> m_error_box;
    int m_swallowed_key_up { 0 }; // the key that closed the box: its release goes nowhere
    TWinControl* m_active_control { nullptr };
    TControl* m_capture { nullptr };
    TControl* m_hover { nullptr };
    Point m_mouse { -1, -1 };
    std::string m_hint_text;
    Rect m_hint_rect;
    CursorShape m_shown_cursor { CursorShape::Default };
    bool m_active { false };
    bool m_painting { false };
};
