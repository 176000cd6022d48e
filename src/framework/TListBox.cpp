#include "framework/TListBox.h"

#include "framework/TForm.h"
#include "platform/Cp1251.h"

#include <algorithm>

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner)
{
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() = default;

void TListBox::ItemsChanged()
{
    ContentChanged();
    m_known_count = Count();
    if (m_item_index >= Count())
        m_item_index = -1;
    m_top_index = std::clamp(m_top_index, 0, MaxTopIndex());
    Invalidate();
}

void TListBox::SetItemHeight(int pixels)
{
    // The platform's list box refuses item heights above 255 pixels (and keeps the old one).
    if (pixels > MaxItemHeight)
        return;
    pixels = std::max(pixels, 1);
    if (pixels == m_item_height)
        return;
    m_item_height = pixels;
    Invalidate();
}

int TListBox::ItemIndex() const
{
    return m_item_index < Count() ? m_item_index : -1;
}

void TListBox::SetItemIndex(int index)
{
    if (index < -1 || index >= Count())
        index = -1;
    if (index != ItemIndex())
        Invalidate();
    m_item_index = index;
    ScrollIntoView(index);
}

int TListBox::VisibleRows() const
{
    return std::max(0, Height() / m_item_height);
}

int TListBox::MaxTopIndex() const
{
    return std::max(0, Count() - std::max(1, VisibleRows()));
}

int TListBox::TopIndex() const
{
    return std::clamp(m_top_index, 0, MaxTopIndex());
}

void TListBox::SetTopIndex(int index)
{
    index = std::clamp(index, 0, MaxTopIndex());
    if (index == TopIndex())
        return;
    m_top_index = index;
    Invalidate();
}

void TListBox::ScrollIntoView(int index)
{
    if (index < 0)
        return;
    int top = TopIndex();
    int rows = std::max(1, VisibleRows());
    if (index < top)
        SetTopIndex(index);
    else if (index >= top + rows)
        SetTopIndex(index - rows + 1);
}

Rect TListBox::ItemRect(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    int top = (index - TopIndex()) * m_item_height;
    return { 0, top, Width(), top + m_item_height };
}

int TListBox::ItemAtPos(Point p, bool existing) const
{
    if (!ClientRect().Contains(p))
        return -1;
    int index = TopIndex() + p.y / m_item_height;
    if (index < Count())
        return index;
    return existing ? -1 : Count();
}

TScrollInfo TListBox::VertScrollInfo() const
{
    int rows = VisibleRows();
    return { 0, Count() > rows ? Count() - 1 : 0, rows, TopIndex() };
}

TCanvas& TListBox::Canvas()
{
    return m_paint_canvas ? *m_paint_canvas : TControl::Canvas();
}

// ---- Painting -----------------------------------------------------------------------------------

TOwnerDrawState TListBox::StateOf(int index) const
{
    if (index != ItemIndex())
        return 0;
    return odSelected | (Focused() ? odFocused : 0u);
}

void TListBox::Paint(TCanvas& canvas)
{
    if (m_known_count != Count())
        ItemsChanged();
    struct Scope {
        TCanvas*& slot;
        ~Scope() { slot = nullptr; }
    } scope { m_paint_canvas };
    m_paint_canvas = &canvas;

    canvas.Brush() = TBrush { Color(), TBrushStyle::bsSolid };
    canvas.FillRect(ClientRect());
    Rect clip = canvas.ClipRect().Intersected(ClientRect());
    if (clip.IsEmpty())
        return;
    int top = TopIndex();
    int first = top + std::max(0, clip.top) / m_item_height;
    int last = std::min(Count() - 1, top + (clip.bottom - 1) / m_item_height);
    for (int index = first; index <= last && index < Count(); ++index) {
        TOwnerDrawState state = StateOf(index);
        Rect rect = ItemRect(index);
        canvas.Font() = Font();
        canvas.Brush() = TBrush { Color(), TBrushStyle::bsSolid };
        canvas.Pen() = TPen {};
        canvas.SetBkMode(OPAQUE);
        if (state & odSelected) {
            canvas.Brush().Color = clHighlight;
            canvas.Font().SetColor(clHighlightText);
        }
        DrawItem(index, rect, state);
        if (state & odFocused)
            canvas.DrawFocusRect(rect);
    }
}

void TListBox::DrawItem(int index, Rect rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    if (index < 0 || index >= Count())
        return;
    const std::string& text = m_items[index];
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(rect.left + 2, rect.top + (rect.Height() - canvas.TextHeight(text)) / 2, text);
    canvas.SetBkMode(OPAQUE);
}

// ---- Input --------------------------------------------------------------------------------------

bool TListBox::SelectByUser(int index)
{
    if (index < 0 || index >= Count() || index == ItemIndex())
        return false;
    SetItemIndex(index);
    return true;
}

Point TListBox::MouseInClient() const
{
    TForm* form = ParentForm();
    if (!form)
        return { -1, -1 };
    Point mouse = form->MousePosition();
    Point origin = WindowOrigin();
    return { mouse.x - origin.x, mouse.y - origin.y };
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft && !(shift & ssDouble)) {
        int index = ItemAtPos({ x, y }, true);
        m_press_on_item = index >= 0;
        m_tracking = true;
        SelectByUser(index);
    }
    TControl::MouseDown(button, shift, x, y);
}

void TListBox::MouseMove(TShiftState shift, int x, int y)
{
    // Dragging with the button held moves the selection along.
    if (m_tracking) {
        int index = ItemAtPos({ x, std::clamp(y, 0, std::max(0, Height() - 1)) }, true);
        if (index >= 0) {
            m_press_on_item = true;
            SelectByUser(index);
        }
    }
    TControl::MouseMove(shift, x, y);
}

void TListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft) {
        m_tracking = false;
        m_press_on_item = false;
    }
    TControl::MouseUp(button, shift, x, y);
}

void TListBox::Click()
{
    // A release reports a click only when the press picked an item, as the selection's report.
    if (m_press_on_item)
        TControl::Click();
}

void TListBox::DblClick()
{
    // The second press of a double click picks the item under it; empty space reports nothing.
    int index = ItemAtPos(MouseInClient(), true);
    if (index < 0)
        return;
    if (SelectByUser(index))
        TControl::Click();
    TControl::DblClick();
}

bool TListBox::MouseWheel(int steps, TShiftState, Point)
{
    SetTopIndex(SatSub(TopIndex(), SatMul(steps, WheelScrollLines)));
    return true;
}

void TListBox::KeyDown(int& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    if (key == 0 || Count() == 0)
        return;
    int current = ItemIndex();
    int top = TopIndex();
    int page = std::max(1, VisibleRows() - 1);
    int bottom = top + std::max(0, VisibleRows() - 1);
    int target;
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        target = current < 0 ? 0 : current - 1;
        break;
    case VK_DOWN:
    case VK_RIGHT:
        target = current < 0 ? 0 : current + 1;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = Count() - 1;
        break;
    case VK_PRIOR:
        // To the first item shown, then a page at a time.
        target = current < 0 ? top : current > top ? top : current - page;
        break;
    case VK_NEXT:
        target = current < 0 ? top : current < bottom ? bottom : current + page;
        break;
    default:
        return;
    }
    if (SelectByUser(std::clamp(target, 0, Count() - 1)))
        TControl::Click();
}

void TListBox::KeyPress(char& key)
{
    TWinControl::KeyPress(key);
    unsigned char typed = LowerCp1251(static_cast<unsigned char>(key));
    if (typed < 0x20 || Count() == 0)
        return;
    // The next item, after the selected one and round to the start, whose text begins with the key.
    int start = ItemIndex();
    for (int step = 1; step <= Count(); ++step) {
        int index = (start + step) % Count();
        const std::string& text = m_items[index];
        if (!text.empty() && LowerCp1251(static_cast<unsigned char>(text[0])) == typed) {
            if (SelectByUser(index))
                TControl::Click();
            return;
        }
    }
}
