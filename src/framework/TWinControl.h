#pragma once

#include "framework/TControl.h"

#include <vector>

// A windowed control: it has children, can take the focus and receives keys. Its windowed children
// always lie above its windowless ones.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }

    // Children in stacking order, lowest first.
    const std::vector<TControl*>& Controls() const { return m_controls; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void MoveControl(TControl* control, bool to_front);
    // The child (windowed first, then windowless, topmost first) at a point of the client area.
    TControl* ControlAtPos(Point p, bool allow_disabled = false) const;

    bool TabStop() const { return m_tab_stop; }
    void SetTabStop(bool tab_stop) { m_tab_stop = tab_stop; }
    int TabOrder() const { return m_tab_order; }
    void SetTabOrder(int order) { m_tab_order = order; }
    bool Focused() const;
    virtual bool CanFocus() const;
    void SetFocus();
    // Windowed descendants in tab order: each child by TabOrder, followed by its own list.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;

    bool DoubleBuffered() const { return m_double_buffered; }
    void SetDoubleBuffered(bool on) { m_double_buffered = on; }

    // Painting of the whole subtree: own Paint, windowless children, then windowed children.
    void PaintTree(TCanvas& canvas, Rect window_dirty);

    void Paint(TCanvas& canvas) override;
    // A windowed control paints its whole client area.
    bool Covers(Rect rect) const override { return ClientRect().Intersected(rect) == rect; }

    // Keys reach the focused control. KeyDown's key may be set to 0 to stop the default handling.
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    // A window message sent to the control (skin notices and the like); the default ignores it.
    virtual void HandleMessage(int message, long wparam, long lparam);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

private:
    std::vector<TControl*> m_controls;
    bool m_tab_stop { false };
    int m_tab_order { -1 };
    bool m_double_buffered { false };
};
