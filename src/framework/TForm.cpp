#include "framework/TForm.h"

#include "framework/TApplication.h"
#include "framework/TScreen.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <utility>

namespace {

CursorShape ShapeOf(TCursor cursor)
{
    switch (cursor) {
    case crHandPoint:
        return CursorShape::Hand;
    case crIBeam:
        return CursorShape::IBeam;
    case crHourGlass:
        return CursorShape::Wait;
    default:
        return CursorShape::Default;
    }
}

TMouseButton ButtonOf(int button)
{
    return button == 3 ? TMouseButton::mbRight : button == 2 ? TMouseButton::mbMiddle : TMouseButton::mbLeft;
}

Point Local(const TControl* control, Point window_point)
{
    Point origin = control->WindowOrigin();
    return { window_point.x - origin.x, window_point.y - origin.y };
}

} // namespace

TForm::TForm(TComponent* owner)
    : TWinControl(owner)
{
    SetColor(clBtnFace);
}

TForm::~TForm()
{
    // Controls go while the form is still a form, so that they can give up focus and capture.
    DestroyComponents();
}

void TForm::CreateWindow(WindowBackend& backend)
{
    backend.Create(Width(), Height(), Cp1251ToUtf8(m_caption));
    m_backend = &backend;
    if (Application)
        Application->FormWindowCreated(this);
    // The window system asks from inside its event handling, where an error must not pass.
    backend.SetHitTest([this](Point p) {
        try {
            return IsCaptionPoint(p);
        } catch (...) {
            Application->HandleException(std::current_exception());
            return false;
        }
    });
    InvalidateWindowRect(ClientRect());
    if (OnCreate)
        Application->Guard([&] { OnCreate(this); });
}

bool TForm::IsCaptionPoint(Point window_point) const
{
    if (m_error_box && m_error_box->BoundsRect().Contains(window_point))
        return false;
    // Only the window's own surface answers the hit test; child windows handle their own input.
    TWinControl* window = const_cast<TForm*>(this);
    for (;;) {
        TControl* child = window->ControlAtPos(Local(window, window_point), true);
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed)
            break;
        window = windowed;
    }
    return window == this && const_cast<TForm*>(this)->NCHitTest(window_point) == HTCAPTION;
}

void TForm::SetActiveControl(TWinControl* control)
{
    if (control == m_active_control)
        return;
    TWinControl* previous = m_active_control;
    m_active_control = control;
    if (previous) {
        previous->Invalidate();
        previous->DoExit();
    }
    if (control) {
        control->Invalidate();
        control->DoEnter();
    }
}

void TForm::SelectNext(TWinControl* current, bool forward, bool check_tab_stop)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return;
    auto start = std::find(list.begin(), list.end(), current);
    std::ptrdiff_t n = std::ptrdiff_t(list.size());
    std::ptrdiff_t index = start == list.end() ? (forward ? -1 : n) : start - list.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        std::ptrdiff_t i = ((index + (forward ? step : -step)) % n + n) % n;
        TWinControl* candidate = list[std::size_t(i)];
        if (candidate == current)
            break;
        if (candidate->CanFocus() && (!check_tab_stop || candidate->TabStop())) {
            SetActiveControl(candidate);
            return;
        }
    }
}

void TForm::ControlDestroying(TControl* control)
{
    auto within = [control](TControl* c) {
        for (; c; c = c->Parent())
            if (c == control)
                return true;
        return false;
    };
    if (within(m_active_control))
        m_active_control = nullptr;
    if (within(m_capture))
        m_capture = nullptr;
    if (within(m_hover)) {
        m_hover = nullptr;
        if (Application)
            Application->CancelHint();
    }
}

void TForm::InvalidateWindowRect(Rect rect)
{
    m_dirty = m_dirty.United(rect.Intersected(ClientRect()));
    if (m_backend && Application)
        Application->Backend().Wake();
}

void TForm::PaintInvalid()
{
    if (!m_backend)
        return;
    Rect dirty = std::exchange(m_dirty, {});
    if (!dirty.IsEmpty()) {
        struct Painting {
            bool& flag;
            ~Painting() { flag = false; }
        } painting { m_painting };
        m_painting = true;
        m_failed_area = {};
        PaintTree(m_paint_canvas, dirty);
        // What a failing control left half drawn is painted again without it before anything is
        // shown. Every pass that finds a failure leaves out one more control, so a few suffice.
        for (int pass = 0; pass < 8 && !m_failed_area.IsEmpty(); ++pass) {
            Rect again = std::exchange(m_failed_area, {});
            dirty = dirty.United(again);
            PaintTree(m_paint_canvas, again);
        }
        m_failed_area = {};
        if (!m_hint_text.empty() && !m_hint_rect.Intersected(dirty).IsEmpty())
            Application->Guard([&] { PaintHintWindow(m_paint_canvas); });
    }
    Rect present = dirty.United(m_drawn);
    m_drawn = {};
    // The box lies over everything, also over what controls drew outside a paint.
    if (m_error_box && !present.Intersected(m_error_box->BoundsRect()).IsEmpty())
        PaintErrorBox(present);
    if (!present.IsEmpty())
        m_backend->Present(present);
}

void TForm::PaintWindow()
{
    InvalidateWindowRect(ClientRect());
    PaintInvalid();
}

void TForm::SurfaceDrawn(Rect window_rect)
{
    m_drawn = m_drawn.United(window_rect.Intersected(ClientRect()));
}

void TForm::Paint(TCanvas& canvas)
{
    canvas.Brush().Color = Color();
    canvas.FillRect(ClientRect());
}

PixelBuffer* TForm::Surface::Lock()
{
    return m_form.m_backend ? &m_form.m_backend->Surface() : nullptr;
}

void TForm::Surface::Unlock(bool modified, Rect drawn)
{
    // Drawing outside a paint (a control's Canvas()) shows at the next present; only what it
    // could have touched is presented.
    if (modified && !m_form.m_painting)
        m_form.SurfaceDrawn(drawn);
}

TControl* TForm::ControlAtWindowPoint(Point p) const
{
    const TControl* found = this;
    for (;;) {
        auto* window = dynamic_cast<const TWinControl*>(found);
        if (!window)
            break;
        TControl* child = window->ControlAtPos(Local(window, p));
        if (!child)
            break;
        found = child;
    }
    return const_cast<TControl*>(found);
}

TCursor TForm::CursorAtMouse() const
{
    if (m_error_box)
        return crDefault;
    if (Screen.Cursor() != crDefault)
        return Screen.Cursor();
    TControl* control = m_capture ? m_capture : ControlAtWindowPoint(m_mouse);
    if (control && control->Cursor() != crDefault)
        return control->Cursor();
    for (TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent())
        if (c->Cursor() != crDefault)
            return c->Cursor();
    return crDefault;
}

void TForm::UpdateCursor()
{
    CursorShape shape = ShapeOf(CursorAtMouse());
    if (m_backend && shape != m_shown_cursor) {
        m_shown_cursor = shape;
        m_backend->SetCursor(shape);
    }
}

void TForm::SetHover(TControl* control)
{
    if (control == m_hover)
        return;
    TControl* previous = m_hover;
    m_hover = control;
    if (previous)
        Application->Guard([&] { previous->MouseLeave(); });
    if (control && m_hover == control)
        Application->Guard([&] { control->MouseEnter(); });
}

void TForm::HandleEvent(const WindowEvent& event)
{
    using Type = WindowEvent::Type;
    if (m_error_box) {
        switch (event.type) {
        case Type::MouseMove:
        case Type::MouseDown:
        case Type::MouseUp:
        case Type::DoubleClick:
        case Type::Wheel:
        case Type::KeyDown:
        case Type::KeyUp:
        case Type::Char:
            DispatchToErrorBox(event);
            return;
        default:
            break;
        }
    }
    switch (event.type) {
    case Type::MouseMove:
    case Type::MouseDown:
    case Type::MouseUp:
    case Type::DoubleClick:
    case Type::Wheel:
        DispatchMouse(event);
        break;
    case Type::KeyDown:
    case Type::KeyUp:
    case Type::Char:
        DispatchKey(event);
        break;
    case Type::Activate:
        Activate();
        break;
    case Type::Deactivate:
        Deactivate();
        break;
    case Type::Expose:
        InvalidateWindowRect(ClientRect());
        break;
    default:
        break;
    }
}

void TForm::DispatchMouse(const WindowEvent& event)
{
    using Type = WindowEvent::Type;
    Point p { event.x, event.y };
    m_mouse = p;
    if (event.type == Type::Wheel) {
        TControl* target = ControlAtWindowPoint(p);
        for (TControl* c = target; c; c = c->Parent()) {
            bool handled = false;
            Application->Guard([&] { handled = c->MouseWheel(event.wheel, event.shift, p); });
            if (handled)
                break;
        }
        return;
    }
    if (!m_capture && (event.type == Type::MouseDown || event.type == Type::DoubleClick) && IsCaptionPoint(p))
        return; // the window system drags the window from here

    TControl* under = ControlAtWindowPoint(p);
    TControl* target = m_capture ? m_capture : under;
    if (event.type == Type::MouseMove) {
        SetHover(under);
        UpdateCursor();
        Application->PointerMoved();
    }
    if (!target)
        return;
    Point local = Local(target, p);
    TMouseButton button = ButtonOf(event.button);
    unsigned shift = event.shift;
    switch (event.type) {
    case Type::MouseMove:
        Application->Guard([&] { target->MouseMove(shift, local.x, local.y); });
        break;
    case Type::MouseDown:
    case Type::DoubleClick: {
        Application->CancelHint();
        m_capture = target;
        if (auto* windowed = dynamic_cast<TWinControl*>(target); windowed && windowed != this && windowed->CanFocus())
            SetActiveControl(windowed);
        bool is_double = event.type == Type::DoubleClick;
        target->m_clicked = !is_double && button == TMouseButton::mbLeft;
        if (is_double)
            Application->Guard([&] { target->DblClick(); });
        if (m_capture == target)
            Application->Guard([&] { target->MouseDown(button, shift | (is_double ? unsigned(ssDouble) : 0u), local.x, local.y); });
        break;
    }
    case Type::MouseUp: {
        m_capture = nullptr;
        bool clicked = target->m_clicked;
        target->m_clicked = false;
        if (clicked && target->ClientRect().Contains(local) && target->Showing())
            Application->Guard([&] { target->Click(); });
        if (ControlAtWindowPoint(p) == target || target->Showing())
            Application->Guard([&] { target->MouseUp(button, shift, local.x, local.y); });
        SetHover(ControlAtWindowPoint(p));
        UpdateCursor();
        break;
    }
    default:
        break;
    }
}

void TForm::DispatchKey(const WindowEvent& event)
{
    using Type = WindowEvent::Type;
    if (event.type == Type::KeyUp && m_swallowed_key_up && event.key == m_swallowed_key_up) {
        m_swallowed_key_up = 0;
        return;
    }
    if (event.type == Type::KeyDown)
        m_swallowed_key_up = 0;
    TWinControl* target = m_active_control ? m_active_control : this;
    if (event.type == Type::KeyDown) {
        int key = event.key;
        Application->Guard([&] { target->KeyDown(key, event.shift); });
        if (key == VK_TAB && (event.shift & (ssCtrl | ssAlt)) == 0)
            SelectNext(m_active_control, (event.shift & ssShift) == 0, true);
        if (event.ch && key != 0) {
            char ch = char(event.ch);
            Application->Guard([&] { target->KeyPress(ch); });
        }
    } else if (event.type == Type::KeyUp) {
        int key = event.key;
        Application->Guard([&] { target->KeyUp(key, event.shift); });
    } else if (event.type == Type::Char) {
        char ch = char(event.ch);
        Application->Guard([&] { target->KeyPress(ch); });
    }
}

void TForm::ShowHintWindow(const std::string& text, Point at)
{
    HideHintWindow();
    if (text.empty())
        return;
    m_hint_text = text;
    TFont font;
    FontFace& face = font.Face();
    int width = face.TextWidth(text) + 8, height = face.Metrics().height + 4;
    int left = std::clamp(at.x, 0, std::max(0, Width() - width));
    int top = at.y + height + 4 <= Height() ? at.y : at.y - height - 24;
    m_hint_rect = Rect::FromSize(left, std::max(0, top), width, height);
    InvalidateWindowRect(m_hint_rect);
}

void TForm::HideHintWindow()
{
    if (m_hint_text.empty())
        return;
    m_hint_text.clear();
    InvalidateWindowRect(m_hint_rect);
}

void TForm::PaintHintWindow(TCanvas& canvas)
{
    canvas.SetOrigin({ 0, 0 });
    canvas.SetClip(m_hint_rect);
    canvas.Font() = TFont();
    canvas.Font().SetColor(clInfoText);
    canvas.Brush() = TBrush { clInfoBk, TBrushStyle::bsSolid };
    canvas.FillRect(m_hint_rect);
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(m_hint_rect);
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(m_hint_rect.left + 4, m_hint_rect.top + 2, m_hint_text);
}

void TForm::ShowErrorBox(std::unique_ptr<TErrorBox> box)
{
    if (m_error_box)
        InvalidateWindowRect(m_error_box->BoundsRect());
    m_error_box = std::move(box);
    if (!m_error_box)
        return;
    // What the pointer was doing is cancelled: no hint, and a press under way will click nothing.
    if (m_capture)
        m_capture->m_clicked = false;
    if (Application)
        Application->CancelHint();
    InvalidateWindowRect(m_error_box->BoundsRect());
    UpdateCursor();
}

void TForm::CloseErrorBox()
{
    if (!m_error_box)
        return;
    InvalidateWindowRect(m_error_box->BoundsRect());
    m_error_box.reset();
    UpdateCursor();
    if (Application)
        Application->ErrorBoxClosed();
}

void TForm::DispatchToErrorBox(const WindowEvent& event)
{
    using Type = WindowEvent::Type;
    Point p { event.x, event.y };
    auto repaint_button = [&](bool was_pressed) {
        if (m_error_box->OkPressed() != was_pressed)
            InvalidateWindowRect(m_error_box->OkButtonRect());
    };
    switch (event.type) {
    case Type::MouseMove: {
        m_mouse = p;
        bool was_pressed = m_error_box->OkPressed();
        m_error_box->MouseMove(p);
        repaint_button(was_pressed);
        UpdateCursor();
        break;
    }
    case Type::MouseDown:
    case Type::DoubleClick:
        m_mouse = p;
        if (event.button == 1) {
            bool was_pressed = m_error_box->OkPressed();
            m_error_box->MouseDown(p);
            repaint_button(was_pressed);
        }
        break;
    case Type::MouseUp: {
        m_mouse = p;
        if (TControl* pressed = std::exchange(m_capture, nullptr)) {
            // The press began before the box: it ends where it began (a scroll bar stops
            // repeating), without a click.
            pressed->m_clicked = false;
            Point local = Local(pressed, p);
            TMouseButton button = ButtonOf(event.button);
            Application->Guard([&] { pressed->MouseUp(button, event.shift, local.x, local.y); });
            if (!m_error_box)
                return;
        }
        if (event.button != 1)
            break;
        bool was_pressed = m_error_box->OkPressed();
        if (m_error_box->MouseUp(p)) {
            CloseErrorBox();
            return;
        }
        repaint_button(was_pressed);
        break;
    }
    case Type::KeyDown:
        if (TErrorBox::ClosesOnKey(event.key)) {
            m_swallowed_key_up = event.key;
            CloseErrorBox();
        }
        break;
    default:
        break; // the wheel, other keys, releases and characters go nowhere while the box shows
    }
}

void TForm::PaintErrorBox(Rect area)
{
    struct Painting {
        bool& flag;
        ~Painting() { flag = false; }
    } painting { m_painting };
    m_painting = true;
    m_paint_canvas.SetOrigin({ 0, 0 });
    m_paint_canvas.SetClip(area.Intersected(m_error_box->BoundsRect()));
    try {
        m_error_box->Paint(m_paint_canvas);
    } catch (...) {
        // The box cannot be drawn (its fonts are gone): its message, and later ones, go to
        // standard error instead.
        if (Application)
            Application->ErrorBoxFailed();
        else
            m_error_box.reset();
    }
}

void TForm::Activate()
{
    m_active = true;
    if (!m_active_control)
        SelectNext(nullptr, true, true); // a window that gets the focus gives it to its first tab stop
    if (OnActivate)
        Application->Guard([&] { OnActivate(this); });
}

void TForm::Deactivate()
{
    m_active = false;
    Application->CancelHint();
    if (OnDeactivate)
        Application->Guard([&] { OnDeactivate(this); });
}
