#pragma once

#include "framework/TScrollInfo.h"
#include "framework/TStringList.h"
#include "framework/TWinControl.h"

#include <functional>

// The owner-draw state of a list item.
enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
    odHotLight = 64, odInactive = 128, odNoAccel = 256, odNoFocusRect = 512, odComboBoxEdit = 4096,
};
using TOwnerDrawState = unsigned;

// Draws item `index` in `rect` (client coordinates) on the list's Canvas(), which holds the list's
// font and the state's colours: highlight and highlight text when selected.
using TDrawItemEvent = std::function<void(TWinControl* control, int index, Rect rect, TOwnerDrawState state)>;

// A list of text items drawn by their owner, all of one height: one selected item, selection by
// click and by keys (reported through OnClick, as a click), scrolling by wheel and by its scroll
// state. Item i lies at y = (i - TopIndex) * ItemHeight.
//
// Items() may be changed directly; call ItemsChanged() afterwards (painting notices a changed count
// by itself) so that the selection and the top index follow.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

    TStringList& Items() { return m_items; }
    const TStringList& Items() const { return m_items; }
    int Count() const { return m_items.Count(); }
    // Repaints and keeps the selection and the top index inside the items.
    virtual void ItemsChanged();

    int ItemHeight() const { return m_item_height; }
    // Heights above MaxItemHeight are refused, as the platform's list box refuses them.
    void SetItemHeight(int pixels);
    static constexpr int MaxItemHeight = 255;

    // The selected item, -1 for none. Setting it scrolls the item into view and reports nothing.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    // Items that fit entirely in the client area.
    int VisibleRows() const;

    // The item's rectangle in client coordinates (also for items scrolled away); empty for an index
    // outside the items.
    Rect ItemRect(int index) const;
    // -1 for a point outside the client area; else the item under it from the top index on, or,
    // below the last item, -1 when `existing` is set and the item count otherwise.
    int ItemAtPos(Point p, bool existing) const;

    // Rows: max is the last item's index while the items do not fit, position the top index.
    TScrollInfo VertScrollInfo() const;
    void SetVertScrollPosition(int index) { SetTopIndex(index); }

    // The canvas items are drawn on: while the list paints, the paint's own canvas; otherwise a
    // canvas on the window clipped to the list.
    TCanvas& Canvas();

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void DblClick() override;
    bool MouseWheel(int steps, TShiftState shift, Point window_point) override;
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(char& key) override;

    TDrawItemEvent OnDrawItem;

protected:
    // Draws one item on the prepared canvas: OnDrawItem when assigned, else the background and
    // the item's text.
    virtual void DrawItem(int index, Rect rect, TOwnerDrawState state);
    // The state of an item in a paint pass.
    TOwnerDrawState StateOf(int index) const;

private:
    int MaxTopIndex() const;
    void ScrollIntoView(int index);
    // Selects an item by user input; true when the selection moved.
    bool SelectByUser(int index);
    Point MouseInClient() const;

    TStringList m_items;
    int m_item_height { 16 };
    int m_item_index { -1 };
    int m_top_index { 0 };
    int m_known_count { 0 };
    bool m_press_on_item { false }; // the press (or drag) was on an item: its release reports a click
    bool m_tracking { false };
    TCanvas* m_paint_canvas { nullptr };
};
