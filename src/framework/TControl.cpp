#include "framework/TControl.h"

#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "framework/TScreen.h"

#include <utility>

TScreen Screen;

void TScreen::SetCursor(TCursor cursor)
{
    m_cursor = cursor;
    if (Application && Application->MainForm())
        Application->MainForm()->UpdateCursor();
}

int TScreen::PixelsPerInch() const
{
    return Application ? Application->ScreenPixelsPerInch() : DesignPixelsPerInch;
}

TControl::TControl(TComponent* owner)
    : TComponent(owner)
{
    m_font.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl()
{
    if (TForm* form = ParentForm())
        form->ControlDestroying(this);
    if (m_parent)
        m_parent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent)
        return;
    Invalidate();
    if (m_parent)
        m_parent->RemoveControl(this);
    m_parent = parent;
    if (m_parent)
        m_parent->InsertControl(this);
    Invalidate();
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    Invalidate();
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Invalidate();
    BoundsChanged();
}

void TControl::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    if (!visible) {
        Invalidate();
        if (TForm* form = ParentForm())
            form->ControlDestroying(this); // gives up focus, capture and hover
    }
    m_visible = visible;
    Invalidate();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_visible)
            return false;
    return true;
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

void TControl::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Invalidate();
}

void TControl::BringToFront()
{
    if (m_parent)
        m_parent->MoveControl(this, true);
}

void TControl::SendToBack()
{
    if (m_parent)
        m_parent->MoveControl(this, false);
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

Point TControl::WindowOrigin() const
{
    Point origin;
    for (const TControl* c = this; c && c->m_parent; c = c->m_parent) {
        origin.x = SatAdd(origin.x, c->m_left);
        origin.y = SatAdd(origin.y, c->m_top);
    }
    return origin;
}

Rect TControl::VisibleWindowRect() const
{
    Point origin = WindowOrigin();
    Rect visible = Rect::FromSize(origin.x, origin.y, m_width, m_height);
    for (const TControl* p = m_parent; p; p = p->m_parent) {
        Point o = p->WindowOrigin();
        visible = visible.Intersected(Rect::FromSize(o.x, o.y, p->m_width, p->m_height));
    }
    return visible;
}

void TControl::Invalidate()
{
    if (!m_visible && !Destroying())
        return;
    if (TForm* form = ParentForm(); form && form != this)
        form->InvalidateWindowRect(VisibleWindowRect());
    else if (form)
        form->InvalidateWindowRect(ClientRect());
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::Update()
{
    if (TForm* form = ParentForm(); form && form->WindowCreated())
        form->PaintInvalid();
}

TCanvas& TControl::Canvas()
{
    TForm* form = ParentForm();
    m_canvas.SetSurface(form && form->WindowCreated() ? &form->WindowSurface() : nullptr);
    m_canvas.SetOrigin(WindowOrigin());
    m_canvas.SetClip(Showing() ? VisibleWindowRect() : Rect {});
    return m_canvas;
}

void TControl::Paint(TCanvas&)
{
}

bool TControl::TryPaint(TCanvas& canvas)
{
    try {
        Paint(canvas);
        return true;
    } catch (...) {
        if (!Application)
            throw; // drawn off-screen with no application to report to: the caller hears of it
        m_paint_failed = true;
        Application->HandleException(std::current_exception());
        return false;
    }
}

void TControl::ContentChanged()
{
    if (std::exchange(m_paint_failed, false))
        Invalidate();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

bool TControl::MouseWheel(int, TShiftState, Point)
{
    return false;
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}
