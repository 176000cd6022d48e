#include "framework/TWinControl.h"

#include "framework/TForm.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner)
{
}

TWinControl::~TWinControl()
{
    // Children owned elsewhere outlive their parent's window only as orphans.
    for (TControl* child : std::vector<TControl*>(m_controls))
        child->SetParent(nullptr);
}

void TWinControl::InsertControl(TControl* control)
{
    m_controls.push_back(control);
}

void TWinControl::RemoveControl(TControl* control)
{
    std::erase(m_controls, control);
}

void TWinControl::MoveControl(TControl* control, bool to_front)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), control);
    if (it == m_controls.end())
        return;
    m_controls.erase(it);
    if (to_front)
        m_controls.push_back(control);
    else
        m_controls.insert(m_controls.begin(), control);
    control->Invalidate();
}

TControl* TWinControl::ControlAtPos(Point p, bool allow_disabled) const
{
    auto hit = [&](bool windowed) -> TControl* {
        for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
            TControl* c = *it;
            if (c->IsWindowed() == windowed && c->Visible() && (allow_disabled || c->Enabled())
                && c->BoundsRect().Contains(p))
                return c;
        }
        return nullptr;
    };
    if (TControl* windowed = hit(true))
        return windowed;
    return hit(false);
}

bool TWinControl::Focused() const
{
    TForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (TForm* form = ParentForm())
        form->SetActiveControl(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const
{
    std::vector<TWinControl*> children;
    for (TControl* c : m_controls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            children.push_back(w);
    std::stable_sort(children.begin(), children.end(),
        [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* child : children) {
        list.push_back(child);
        child->GetTabOrderList(list);
    }
}

void TWinControl::PaintTree(TCanvas& canvas, Rect window_dirty)
{
    Rect visible = VisibleWindowRect().Intersected(window_dirty);
    if (visible.IsEmpty())
        return;
    Point origin = WindowOrigin();
    auto paint_one = [&](TControl* control, Point at, Rect clip) {
        canvas.SetOrigin(at);
        canvas.SetClip(clip);
        canvas.Font() = control->Font();
        canvas.Brush() = TBrush { control->Color(), TBrushStyle::bsSolid };
        canvas.Pen() = TPen {};
        canvas.CopyMode = TCopyMode::cmSrcCopy;
        canvas.SetBkMode(OPAQUE);
        if (control->PaintFailed()) {
            // Nothing of its own until its content changes; a windowed control still hides what
            // lies below it.
            if (control->IsWindowed())
                canvas.FillRect(control->ClientRect());
            return;
        }
        // A failure may have left the area half drawn: the form paints it again without the control.
        if (!control->TryPaint(canvas))
            if (TForm* form = ParentForm())
                form->PaintFailedIn(clip);
    };
    // Painting starts at the topmost control that hides everything below it in the dirty area:
    // a windowed child covering it all leaves nothing else to paint; an opaque windowless child
    // covering it all hides this control's own painting and the windowless children below it.
    Rect local = visible.Translated(-origin.x, -origin.y);
    auto covers = [&](TControl* child) {
        return child->Visible() && (child->IsWindowed() || !child->PaintFailed())
            && child->Covers(local.Translated(-child->Left(), -child->Top()));
    };
    // Children by position, read afresh at each step: a control's own painting may add or remove
    // children (a skinned list box's bars come and go as it paints).
    bool hidden_by_window = false;
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        if ((*it)->IsWindowed() && covers(*it)) {
            hidden_by_window = true;
            break;
        }
    }
    if (!hidden_by_window) {
        std::size_t first_windowless = m_controls.size();
        for (std::size_t i = m_controls.size(); i-- > 0;) {
            if (!m_controls[i]->IsWindowed() && covers(m_controls[i])) {
                first_windowless = i;
                break;
            }
        }
        if (first_windowless == m_controls.size()) {
            paint_one(this, origin, visible);
            first_windowless = 0;
        }
        for (std::size_t i = first_windowless; i < m_controls.size(); ++i) {
            TControl* child = m_controls[i];
            if (child->IsWindowed() || !child->Visible())
                continue;
            Rect clip = child->BoundsRect().Translated(origin.x, origin.y).Intersected(visible);
            if (!clip.IsEmpty())
                paint_one(child, { origin.x + child->Left(), origin.y + child->Top() }, clip);
        }
    }
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->IsWindowed() && m_controls[i]->Visible())
            static_cast<TWinControl*>(m_controls[i])->PaintTree(canvas, visible);
}

void TWinControl::Paint(TCanvas& canvas)
{
    canvas.Brush().Color = Color();
    canvas.FillRect(ClientRect());
}

void TWinControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::HandleMessage(int, long, long)
{
}
