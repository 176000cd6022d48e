#pragma once

#include "framework/TCanvas.h"
#include "framework/TComponent.h"
#include "framework/TFont.h"

#include <functional>
#include <string>

class TWinControl;
class TForm;

// Cursor identifiers as the program names them.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// A control: a rectangle on its parent with a look and mouse handling. Windowless controls are
// painted on their parent; windowed ones (TWinControl) always lie above their windowless siblings.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    virtual bool IsWindowed() const { return false; }

    TWinControl* Parent() const { return m_parent; }
    void SetParent(TWinControl* parent);

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rect BoundsRect() const { return Rect::FromSize(m_left, m_top, m_width, m_height); }
    Rect ClientRect() const { return { 0, 0, m_width, m_height }; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, m_top, m_width, m_height); }
    void SetTop(int top) { SetBounds(m_left, top, m_width, m_height); }
    void SetWidth(int width) { SetBounds(m_left, m_top, width, m_height); }
    void SetHeight(int height) { SetBounds(m_left, m_top, m_width, height); }

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form too.
    bool Showing() const;
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor) { m_cursor = cursor; }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    bool ShowHint() const { return m_show_hint; }
    void SetShowHint(bool show) { m_show_hint = show; }

    TFont& Font() { return m_font; }
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    // Stacking among the siblings: to the top, or to the bottom (below the background picture).
    void BringToFront();
    void SendToBack();

    // The window this control is on, and its position in window coordinates.
    TForm* ParentForm() const;
    Point WindowOrigin() const;
    Point ClientToWindow(Point p) const { return { p.x + WindowOrigin().x, p.y + WindowOrigin().y }; }
    // The part of the control that the window shows, in window coordinates (clipped by parents).
    Rect VisibleWindowRect() const;

    void Invalidate();
    // Paints the invalid part of the window now.
    void Repaint();
    void Update();

    // A canvas on the window for drawing on this control outside a paint (clipped to the control).
    TCanvas& Canvas();

    // Painting in the control's own coordinates; the canvas is clipped to the control.
    virtual void Paint(TCanvas& canvas);
    // Runs Paint. An error that leaves it is reported (in the error box) and marks the painting
    // failed: from then on the control paints nothing of its own, and reports nothing more, until
    // its content changes. False when Paint raised an error.
    bool TryPaint(TCanvas& canvas);
    bool PaintFailed() const { return m_paint_failed; }
    // Whether painting covers `rect` (own coordinates) with opaque pixels, so that nothing below
    // the control needs painting there.
    virtual bool Covers(Rect) const { return false; }

    // Input, in the control's own coordinates.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    // Wheel steps (positive away from the user); true when handled. Lists and trees scroll
    // WheelScrollLines rows per step.
    virtual bool MouseWheel(int steps, TShiftState shift, Point window_point);
    static constexpr int WheelScrollLines = 3; // the platform's default
    virtual void MouseEnter();
    virtual void MouseLeave();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Set between a press and its release on this control; a release inside it then clicks.
    bool m_clicked { false };

protected:
    // The control has something new to show (a picture, items, a caption): a painting that failed
    // is tried again. Callers invalidate what changed as before.
    void ContentChanged();
    virtual void FontChanged() { Invalidate(); }
    virtual void BoundsChanged() { }

private:
    TWinControl* m_parent { nullptr };
    int m_left { 0 };
    int m_top { 0 };
    int m_width { 0 };
    int m_height { 0 };
    bool m_visible { true };
    bool m_enabled { true };
    TCursor m_cursor { crDefault };
    std::string m_hint;
    bool m_show_hint { false };
    bool m_paint_failed { false };
    TFont m_font;
    TColor m_color { clBtnFace };
    TCanvas m_canvas;
};
