#pragma once

#include "framework/TListBox.h"
#include "skin/TbsSkinCustomControl.h"

#include <functional>

class TbsSkinCustomListBox;
class TbsSkinScrollBar;

// Draws one list item: on `Cnvs` (an off-screen bitmap of the item, already prepared), item
// `Index`, the item's size, where its text goes and its state.
using TbsDrawSkinItemEvent = std::function<void(TCanvas& Cnvs, int Index, int ItemWidth, int ItemHeight,
    Rect TextRect, TOwnerDrawState State)>;

// The inner list of a skinned list box: the framework's list without frame or scroll bars of its
// own, painting its items through its outer control and reporting its events to it.
class TbsListBox : public TListBox {
public:
    TbsListBox(TComponent* owner, TbsSkinCustomListBox* box);

    int HorizontalOffset() const { return m_horizontal_offset; }
    // The owner-draw state of an item in a paint pass.
    TOwnerDrawState StateOfItem(int index) const { return StateOf(index); }
    void SetHorizontalOffset(int pixels);

    void ItemsChanged() override;
    void Paint(TCanvas& canvas) override;
    bool MouseWheel(int steps, TShiftState shift, Point window_point) override;
    void DoEnter() override;
    void DoExit() override;

private:
    TbsSkinCustomListBox* m_box;
    int m_horizontal_offset { 0 };
    bool m_painting { false };
};

// A list of text items with a skinned frame, skinned item backgrounds and skinned scroll bars that
// come and go with the content: the vertical bar while the items do not fit, the extent bar while
// HorizontalExtent is on and the widest text does not fit.
class TbsSkinCustomListBox : public TbsSkinCustomControl {
public:
    explicit TbsSkinCustomListBox(TComponent* owner);
    ~TbsSkinCustomListBox() override;

    TbsListBox& ListBox() { return *m_list; }
    // The items; after changing them call ItemsChanged() (or assign with SetItems).
    TStringList& Items() { return m_list->Items(); }
    void SetItems(const TStringList& items);
    void ItemsChanged() { m_list->ItemsChanged(); }
    int ItemIndex() const { return m_list->ItemIndex(); }
    // Selects an item without reporting a click.
    void SetItemIndex(int index) { m_list->SetItemIndex(index); }
    // The item under a point of the inner list (see TListBox::ItemAtPos).
    int ItemAtPos(Point p, bool existing) const { return m_list->ItemAtPos(p, existing); }

    int DefaultItemHeight() const { return m_default_item_height; }
    void SetDefaultItemHeight(int height);
    int Columns() const { return m_columns; }
    void SetColumns(int columns);
    int RowCount() const { return m_row_count; }
    void SetRowCount(int rows);
    bool HorizontalExtent() const { return m_horizontal_extent; }
    void SetHorizontalExtent(bool on);
    TFont& ListBoxFont() { return m_list->Font(); }
    void SetListBoxTabOrder(int order) { m_list->SetTabOrder(order); }
    void SetListBoxTabStop(bool stop) { m_list->SetTabStop(stop); }

    TbsSkinScrollBar* VerticalBar() const { return m_vertical_bar; }
    TbsSkinScrollBar* ExtentBar() const { return m_extent_bar; }

    void ApplySkin() override;
    void LayoutParts();
    void UpdateScrollBars();
    // The height that shows `rows` items.
    int HeightForRows(int rows) const;
    int ItemHeight() const { return m_list->ItemHeight(); }

    void Paint(TCanvas& canvas) override;
    bool MouseWheel(int steps, TShiftState shift, Point window_point) override;

    TNotifyEvent OnListBoxClick;
    TNotifyEvent OnListBoxDblClick;
    TMouseEvent OnListBoxMouseDown;
    TMouseEvent OnListBoxMouseUp;
    TMouseMoveEvent OnListBoxMouseMove;
    TKeyEvent OnListBoxKeyDown;
    TKeyEvent OnListBoxKeyUp; // published, never fired
    TKeyPressEvent OnListBoxKeyPress;
    TbsDrawSkinItemEvent OnDrawItem;

protected:
    friend class TbsListBox;

    // The inner list's events, each firing the matching OnListBox... event.
    virtual int GetItemTextWidth(int index, TCanvas& canvas);
    virtual void ListMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void ListMouseMove(TShiftState shift, int x, int y);
    virtual void ListMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void ListClick();
    virtual void ListDblClick();
    virtual void ListKeyDown(int& key, TShiftState shift);
    virtual void ListKeyUp(int& key, TShiftState shift);
    virtual void ListKeyPress(char& key);
    virtual void ListEnter() { }
    virtual void ListExit() { }

    void PaintUnskinnedImage(TBitmap& bitmap) override;
    void BoundsChanged() override;
    void FontChanged() override;
    void DefaultFontChanged() override;

    // Painting the inner list: its background and its items.
    void PaintList(TCanvas& canvas);

private:
    bool SkinnedList() const;
    void DrawItem(TCanvas& canvas, int index, Rect rect, TOwnerDrawState state);
    void FillListBackground(TCanvas& canvas, Rect area);
    void CreateVerticalBar();
    void CreateExtentBar();
    void RemoveVerticalBar();
    void RemoveExtentBar();
    void SetExtentBarLook();
    const class TbsDataSkinListBox* ListRecord() const;

    TbsListBox* m_list { nullptr };
    TbsSkinScrollBar* m_vertical_bar { nullptr };
    TbsSkinScrollBar* m_extent_bar { nullptr };
    int m_default_item_height { 20 };
    int m_columns { 0 };
    int m_row_count { 0 };
    bool m_horizontal_extent { false };
    bool m_applying_skin { false };
    int m_known_count { -1 };
    TBitmap m_item_bitmap;
};

// The list box the window places: the custom list box with its properties published.
class TbsSkinListBox : public TbsSkinCustomListBox {
public:
    using TbsSkinCustomListBox::TbsSkinCustomListBox;
};
