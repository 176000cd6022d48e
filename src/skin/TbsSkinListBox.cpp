#include "skin/TbsSkinListBox.h"

#include "framework/TApplication.h"
#include "platform/WindowBackend.h"
#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"

#include <algorithm>
#include <utility>

namespace {

Rect Fallback(Rect image, Rect fallback)
{
    return image.Width() < 1 || image.Height() < 1 ? fallback : image;
}

} // namespace

// ---- The inner list -----------------------------------------------------------------------------

TbsListBox::TbsListBox(TComponent* owner, TbsSkinCustomListBox* box)
    : TListBox(owner)
    , m_box(box)
{
}

void TbsListBox::SetHorizontalOffset(int pixels)
{
    if (pixels == m_horizontal_offset)
        return;
    m_horizontal_offset = pixels;
    Invalidate();
}

void TbsListBox::ItemsChanged()
{
    TListBox::ItemsChanged();
    // While painting, the outer control (painted first) brings its bars up to date instead: bars
    // are its children and must not come or go while the window walks them.
    if (!m_painting)
        m_box->UpdateScrollBars();
}

void TbsListBox::Paint(TCanvas& canvas)
{
    struct Scope {
        bool& flag;
        ~Scope() { flag = false; }
    } scope { m_painting };
    m_painting = true;
    m_box->PaintList(canvas);
}

bool TbsListBox::MouseWheel(int steps, TShiftState shift, Point window_point)
{
    // The rows scroll as the framework's list scrolls them, WheelScrollLines per notch, and the
    // bar follows; a list that scrolls only sideways moves its extent bar a step per notch.
    if (!m_box->VerticalBar()) {
        if (TbsSkinScrollBar* extent = m_box->ExtentBar()) {
            extent->SetPosition(SatSub(extent->Position(), SatMul(steps, extent->SmallChange())));
            return true;
        }
    }
    TListBox::MouseWheel(steps, shift, window_point);
    m_box->UpdateScrollBars();
    return true;
}

void TbsListBox::DoEnter()
{
    TListBox::DoEnter();
    Invalidate();
    m_box->ListEnter();
}

void TbsListBox::DoExit()
{
    TListBox::DoExit();
    Invalidate();
    m_box->ListExit();
}

// ---- The list box -------------------------------------------------------------------------------

TbsSkinCustomListBox::TbsSkinCustomListBox(TComponent* owner)
    : TbsSkinCustomControl(owner)
{
    SetSkinDataName("listbox");
    Font().SetName("Arial");
    Font().SetHeight(14);
    Font().SetStyle(0);
    Font().SetColor(clWindowText);
    m_item_bitmap.SetPixelFormat(TPixelFormat::pf32bit);

    m_list = Create<TbsListBox>("", this);
    m_list->SetParent(this);
    m_list->SetItemHeight(m_default_item_height);
    m_list->OnClick = [this](TObject*) { ListClick(); };
    m_list->OnDblClick = [this](TObject*) { ListDblClick(); };
    m_list->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { ListMouseDown(b, s, x, y); };
    m_list->OnMouseMove = [this](TObject*, TShiftState s, int x, int y) { ListMouseMove(s, x, y); };
    m_list->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { ListMouseUp(b, s, x, y); };
    m_list->OnKeyDown = [this](TObject*, int& key, TShiftState s) { ListKeyDown(key, s); };
    m_list->OnKeyUp = [this](TObject*, int& key, TShiftState s) { ListKeyUp(key, s); };
    m_list->OnKeyPress = [this](TObject*, char& key) { ListKeyPress(key); };
    TWinControl::SetBounds(0, 0, 120, 120);
}

TbsSkinCustomListBox::~TbsSkinCustomListBox()
{
    // The bars and the inner list refer back to this control: free them while it is whole.
    DestroyComponents();
}

const TbsDataSkinListBox* TbsSkinCustomListBox::ListRecord() const
{
    if (m_skin_index == -1 || !m_skin_data)
        return nullptr;
    return dynamic_cast<const TbsDataSkinListBox*>(m_skin_data->ControlRecord(m_skin_index));
}

bool TbsSkinCustomListBox::SkinnedList() const
{
    return ListRecord() != nullptr;
}

void TbsSkinCustomListBox::SetItems(const TStringList& items)
{
    m_list->Items() = items;
    m_list->ItemsChanged();
}

void TbsSkinCustomListBox::SetDefaultItemHeight(int height)
{
    m_default_item_height = height;
    if (m_skin_index == -1)
        m_list->SetItemHeight(height);
}

void TbsSkinCustomListBox::SetColumns(int columns)
{
    m_columns = columns;
    UpdateScrollBars();
}

void TbsSkinCustomListBox::SetRowCount(int rows)
{
    m_row_count = rows;
    if (rows != 0)
        SetHeight(HeightForRows(rows));
}

void TbsSkinCustomListBox::SetHorizontalExtent(bool on)
{
    m_horizontal_extent = on;
    UpdateScrollBars();
}

int TbsSkinCustomListBox::HeightForRows(int rows) const
{
    long long height;
    if (const TbsDataSkinListBox* record = ListRecord())
        height = 1LL * record->SkinRect.Height() + 1LL * rows * m_list->ItemHeight() + record->ClRect.top
            - record->ClRect.bottom;
    else
        height = 1LL * rows * m_list->ItemHeight() + 4;
    if (m_extent_bar)
        height += m_extent_bar->Height();
    // A skin's values may ask for any height; the list box is at most as high as its parent.
    return std::min(Saturated(height), SkinSizeLimit().height);
}

void TbsSkinCustomListBox::FontChanged()
{
    TbsSkinCustomControl::FontChanged();
    if (m_list)
        m_list->Invalidate();
}

void TbsSkinCustomListBox::DefaultFontChanged()
{
    if (m_skin_index == -1)
        Font().Assign(DefaultFont());
}

void TbsSkinCustomListBox::BoundsChanged()
{
    TbsSkinCustomControl::BoundsChanged();
    if (!m_list)
        return;
    LayoutParts();
    UpdateScrollBars();
    if (m_vertical_bar)
        m_vertical_bar->Invalidate();
    if (m_skin_index == -1)
        Invalidate();
}

void TbsSkinCustomListBox::ApplySkin()
{
    TbsSkinCustomControl::ApplySkin();
    m_applying_skin = true;
    const TbsDataSkinListBox* record = ListRecord();
    if (!record) {
        m_list->SetItemHeight(m_default_item_height);
        Font().Assign(DefaultFont());
    } else if (record->ItemRect.Height() > 0) {
        m_list->SetItemHeight(record->ItemRect.Height());
    }
    if (m_vertical_bar) {
        m_vertical_bar->SetSkinDataName(record ? record->VScrollBarName : "");
        m_vertical_bar->SetSkinData(m_skin_data);
    }
    if (m_extent_bar) {
        SetExtentBarLook();
        m_extent_bar->SetSkinData(m_skin_data);
    }
    if (m_row_count != 0)
        SetHeight(HeightForRows(m_row_count));
    LayoutParts();
    m_applying_skin = false;
    UpdateScrollBars();
    m_list->Invalidate();
}

void TbsSkinCustomListBox::SetExtentBarLook()
{
    const TbsDataSkinListBox* record = ListRecord();
    if (!record) {
        m_extent_bar->SetSkinDataName("");
        m_extent_bar->SetBothSkinDataName("");
        if (m_vertical_bar) {
            m_extent_bar->SetBothMarkerWidth(19);
            m_extent_bar->SetBoth(true);
        }
        return;
    }
    const std::string& name = m_vertical_bar ? record->BothScrollBarName : record->HScrollBarName;
    m_extent_bar->SetBothSkinDataName(name);
    if (m_extent_bar->Both() != bool(m_vertical_bar))
        m_extent_bar->SetBoth(bool(m_vertical_bar));
    m_extent_bar->SetSkinDataName(name);
}

void TbsSkinCustomListBox::LayoutParts()
{
    if (!m_list)
        return;
    const int w = Width();
    const int h = Height();
    const TbsDataSkinListBox* record = ListRecord();
    const int ch = 1; // no caption strip
    Rect client;
    if (record) {
        client = record->ClRect;
        client.right = SatAdd(client.right, SatSub(w, record->SkinRect.Width()));
        client.bottom = SatAdd(client.bottom, SatSub(h, record->SkinRect.Height()));
    }
    // The inner list and the bars lie within the list box, whatever the skin's client rectangle.
    const Rect inside { 0, 0, w, h };
    auto place = [&](TControl* part, Rect r) {
        r = r.Intersected(inside);
        int left = std::clamp(r.left, 0, std::max(w, 0));
        int top = std::clamp(r.top, 0, std::max(h, 0));
        part->SetBounds(left, top, std::max(0, SatSub(r.right, left)), std::max(0, SatSub(r.bottom, top)));
    };
    int hb = 0;
    if (m_columns == 0 && m_extent_bar && m_extent_bar->Visible()) {
        if (!record) {
            place(m_extent_bar, Rect::FromSize(1, h - 20, w - 2, 19));
            hb = m_extent_bar->Height() - 1;
        } else {
            int bar_height = m_extent_bar->Height();
            place(m_extent_bar, Rect::FromSize(client.left, SatSub(client.bottom, bar_height), client.Width(), bar_height));
            hb = m_extent_bar->Height();
        }
    }
    Rect area;
    if (m_vertical_bar && m_vertical_bar->Visible()) {
        if (!record) {
            place(m_vertical_bar, Rect::FromSize(w - 20, ch, 19, h - ch - hb - 1));
            area = { 2, ch + 1, m_vertical_bar->Left(), h - hb - 2 };
        } else {
            int bar_width = m_vertical_bar->Width();
            place(m_vertical_bar,
                Rect::FromSize(SatSub(client.right, bar_width), client.top, bar_width, SatSub(client.Height(), hb)));
            area = { client.left, client.top, SatSub(client.right, m_vertical_bar->Width()), SatSub(client.bottom, hb) };
        }
    } else if (!record) {
        area = { 2, ch + 1, w - 2, h - 2 - hb };
    } else {
        area = { client.left, client.top, client.right, SatSub(client.bottom, hb) };
    }
    place(m_list, area);
}

void TbsSkinCustomListBox::CreateVerticalBar()
{
    const TbsDataSkinListBox* record = ListRecord();
    m_vertical_bar = Create<TbsSkinScrollBar>("VerticalBar");
    m_vertical_bar->SetParent(this);
    m_vertical_bar->SetKind(TScrollBarKind::sbVertical);
    m_vertical_bar->SetBounds(0, 0, 20, 100);
    m_vertical_bar->OnChange = [this](TObject*) {
        // The native list scrolls so that the bar's position is its top item.
        m_list->SetTopIndex(m_vertical_bar->Position());
    };
    m_vertical_bar->SetSkinDataName(record ? record->VScrollBarName : "");
    m_vertical_bar->SetSkinData(m_skin_data);
    m_vertical_bar->SetVisible(true);
    if (m_extent_bar)
        SetExtentBarLook();
    LayoutParts();
    Invalidate();
}

void TbsSkinCustomListBox::CreateExtentBar()
{
    m_extent_bar = Create<TbsSkinScrollBar>("ExtentBar");
    m_extent_bar->SetParent(this);
    m_extent_bar->SetKind(TScrollBarKind::sbHorizontal);
    m_extent_bar->OnChange = [this](TObject*) { m_list->SetHorizontalOffset(m_extent_bar->Position()); };
    SetExtentBarLook();
    m_extent_bar->SetSkinData(m_skin_data);
    m_extent_bar->SetVisible(true);
    LayoutParts();
    Invalidate();
}

void TbsSkinCustomListBox::RemoveVerticalBar()
{
    if (!m_vertical_bar)
        return;
    TbsSkinScrollBar* bar = std::exchange(m_vertical_bar, nullptr);
    bar->Hide();
    DestroyComponent(bar);
    if (m_extent_bar)
        SetExtentBarLook();
    LayoutParts();
    Invalidate();
}

void TbsSkinCustomListBox::RemoveExtentBar()
{
    if (!m_extent_bar)
        return;
    m_list->SetHorizontalOffset(0);
    TbsSkinScrollBar* bar = std::exchange(m_extent_bar, nullptr);
    bar->Hide();
    DestroyComponent(bar);
    LayoutParts();
    m_list->Invalidate();
}

void TbsSkinCustomListBox::UpdateScrollBars()
{
    if (!m_list)
        return;
    const TbsDataSkinListBox* record = ListRecord();
    const int count = m_list->Count();
    // The extent bar: while the widest item text does not fit.
    if (!m_horizontal_extent || m_applying_skin) {
        RemoveExtentBar();
    } else {
        TCanvas& canvas = m_item_bitmap.Canvas();
        if (record) {
            canvas.Font().SetName(record->FontName);
            canvas.Font().SetStyle(record->FontStyle);
            canvas.Font().SetHeight(record->FontHeight);
        } else {
            canvas.Font().Assign(Font());
        }
        int widest = 0;
        for (int i = 0; i < count; ++i)
            widest = std::max(widest, GetItemTextWidth(i, canvas));
        int available = record
            ? Saturated(1LL * m_list->Width() + record->ItemTextRect.Width() - record->ItemRect.Width())
            : m_list->Width() - 4;
        if (available < widest) {
            if (!m_extent_bar)
                CreateExtentBar();
            int step = canvas.TextWidth("0");
            if (m_extent_bar->Max() != widest || m_extent_bar->PageSize() != available || m_extent_bar->Min() != 0)
                m_extent_bar->SetRange(0, widest, available, m_extent_bar->Position());
            if (m_extent_bar->SmallChange() != step)
                m_extent_bar->SetSmallChange(step);
            if (m_extent_bar->LargeChange() != step)
                m_extent_bar->SetLargeChange(step);
        } else {
            RemoveExtentBar();
        }
    }
    // The vertical bar: while the items do not fit. (The framework's list has one column, so
    // Columns is kept but lays the items out in one column.)
    if (m_row_count < 1 || m_row_count != count) {
        TScrollInfo info = m_list->VertScrollInfo();
        int rows = m_list->ItemHeight() > 0 ? m_list->Height() / m_list->ItemHeight() : 0;
        if (info.min < info.max && info.max >= info.position && rows < count) {
            if (!m_vertical_bar)
                CreateVerticalBar();
            if (m_vertical_bar->Min() != info.min || m_vertical_bar->Max() != info.max
                || m_vertical_bar->PageSize() != rows || m_vertical_bar->Position() != info.position)
                m_vertical_bar->SetRange(info.min, info.max, rows, info.position);
            return;
        }
    }
    RemoveVerticalBar();
}

bool TbsSkinCustomListBox::MouseWheel(int steps, TShiftState shift, Point window_point)
{
    // The wheel over the frame or over one of the list's bars (which take no focus and pass it on
    // to their parent) scrolls the list.
    return m_list->MouseWheel(steps, shift, window_point);
}

void TbsSkinCustomListBox::Paint(TCanvas& canvas)
{
    // Painted before its children, so the bars may come and go here.
    UpdateScrollBars();
    TbsSkinCustomControl::Paint(canvas);
}

void TbsSkinCustomListBox::PaintUnskinnedImage(TBitmap& bitmap)
{
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().Style = TBrushStyle::bsSolid;
    canvas.Brush().Color = clBtnFace;
    canvas.FillRect({ 0, 0, bitmap.Width(), bitmap.Height() });
    canvas.Brush().Color = clBtnShadow;
    canvas.FrameRect({ 0, 0, bitmap.Width(), bitmap.Height() });
}

void TbsSkinCustomListBox::FillListBackground(TCanvas& canvas, Rect area)
{
    const TbsDataSkinListBox* record = ListRecord();
    if (area.IsEmpty())
        return;
    Rect tile = record ? record->ClRect.Translated(record->SkinRect.left, record->SkinRect.top) : Rect {};
    if (!record || !m_picture || tile.Width() < 1 || tile.Height() < 1) {
        canvas.Brush() = TBrush { clWindow, TBrushStyle::bsSolid };
        canvas.FillRect(area);
        return;
    }
    // The skin's client image, tiled from the area's top-left corner, tiles cut at its edges; only
    // the tiles the canvas shows are drawn (a skin's tile may be one pixel small).
    const Rect visible = canvas.PaintableRect().Intersected(area);
    if (visible.IsEmpty())
        return;
    const PixelBuffer& pixels = m_picture->Pixels();
    const long long tw = tile.Width(), th = tile.Height();
    for (long long y = area.top + (visible.top - area.top) / th * th; y < visible.bottom; y += th) {
        int h = int(std::min<long long>(th, area.bottom - y));
        for (long long x = area.left + (visible.left - area.left) / tw * tw; x < visible.right; x += tw) {
            int w = int(std::min<long long>(tw, area.right - x));
            DrawPixelsClipped(canvas, Rect::FromSize(int(x), int(y), w, h), pixels, Rect::FromSize(tile.left, tile.top, w, h));
        }
    }
}

void TbsSkinCustomListBox::PaintList(TCanvas& canvas)
{
    LookUpSkinRecord();
    const int width = m_list->Width();
    const int height = m_list->Height();
    FillListBackground(canvas, { 0, 0, width, height });
    const int count = m_list->Count();
    if (count == 0 || m_list->ItemHeight() <= 0)
        return;
    const int top = m_list->TopIndex();
    const int last = std::min(count - 1, top + height / m_list->ItemHeight());
    int bottom = 0;
    for (int index = top; index <= last; ++index) {
        Rect rect = m_list->ItemRect(index);
        DrawItem(canvas, index, rect, m_list->StateOfItem(index));
        bottom = rect.bottom;
    }
    if (bottom < height)
        FillListBackground(canvas, { 0, bottom, width, height });
}

void TbsSkinCustomListBox::DrawItem(TCanvas& canvas, int index, Rect rect, TOwnerDrawState state)
{
    if (index < 0 || index >= m_list->Count() || rect.IsEmpty())
        return;
    const TbsDataSkinListBox* record = ListRecord();
    const int item_width = rect.Width();
    int item_height = rect.Height();
    TCanvas& cnvs = m_item_bitmap.Canvas();
    Rect text_rect;
    if (record) {
        if (!m_picture)
            return; // a record without a picture draws no items
        item_height = record->ItemRect.Height();
        Rect image = state & odFocused ? Fallback(record->FocusItemRect, record->ItemRect)
            : state & odSelected       ? Fallback(record->ActiveItemRect, record->ItemRect)
                                       : record->ItemRect;
        // The item's image is built only as far as the list shows it.
        const Size shown { SatSub(m_list->Width(), rect.left), SatSub(m_list->Height(), rect.top) };
        TileHorizontally(record->ItemLeftOffset, record->ItemRightOffset, m_item_bitmap, item_width, image, *m_picture,
            shown);
        if (m_item_bitmap.Empty())
            return;
        cnvs.Font().SetName(record->FontName);
        cnvs.Font().SetStyle(record->FontStyle);
        cnvs.Font().SetHeight(record->FontHeight);
        cnvs.Font().SetColor(state & odFocused ? record->FocusFontColor
                : state & odSelected           ? record->ActiveFontColor
                                               : record->FontColor);
        cnvs.Brush().Style = TBrushStyle::bsClear;
        text_rect = record->ItemTextRect;
        text_rect.right = SatAdd(text_rect.right, SatSub(item_width, record->ItemRect.Width()));
    } else {
        m_item_bitmap.SetSize(item_width, item_height);
        cnvs.Font().Assign(Font());
        cnvs.Brush() = TBrush { state & odSelected ? clHighlight : clWindow, TBrushStyle::bsSolid };
        cnvs.FillRect({ 0, 0, item_width, item_height });
        cnvs.Font().SetColor(state & odSelected ? clHighlightText : Font().Color());
        text_rect = { 2, 0, item_width - 2, item_height };
    }
    cnvs.SetOrigin({ 0, 0 });
    cnvs.ResetClip();
    cnvs.SetBkMode(OPAQUE);
    if (OnDrawItem) {
        OnDrawItem(cnvs, index, item_width, item_height, text_rect, state);
    } else {
        const std::string& text = m_list->Items()[index];
        int x = text_rect.left - m_list->HorizontalOffset() + 2;
        int y = text_rect.top + (text_rect.Height() - cnvs.TextHeight(text)) / 2;
        cnvs.SetBkMode(TRANSPARENT);
        CanvasState saved(cnvs);
        cnvs.IntersectClip(text_rect);
        cnvs.TextOut(x, y, text);
    }
    cnvs.ResetClip();
    if (!record && (state & odFocused))
        cnvs.DrawFocusRect({ 0, 0, item_width, item_height });
    const PixelBuffer& pixels = m_item_bitmap.Pixels();
    DrawPixelsClipped(canvas, Rect::FromSize(rect.left, rect.top, pixels.Width(), pixels.Height()), pixels, pixels.Bounds());
}

// ---- Events of the inner list -------------------------------------------------------------------

int TbsSkinCustomListBox::GetItemTextWidth(int index, TCanvas& canvas)
{
    return canvas.TextWidth(m_list->Items()[index]);
}

void TbsSkinCustomListBox::ListMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnListBoxMouseDown)
        OnListBoxMouseDown(this, button, shift, x, y);
}

void TbsSkinCustomListBox::ListMouseMove(TShiftState shift, int x, int y)
{
    if (OnListBoxMouseMove)
        OnListBoxMouseMove(this, shift, x, y);
    // The pointer is over the inner list, so it is the inner list that shows the list box's hint
    // (which a mouse-move handler may just have changed to the entry under the mouse).
    bool changed = m_list->Hint() != Hint();
    m_list->SetHint(Hint());
    m_list->SetShowHint(ShowHint());
    if (changed && Application)
        Application->ActivateHint();
}

void TbsSkinCustomListBox::ListMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnListBoxMouseUp)
        OnListBoxMouseUp(this, button, shift, x, y);
}

void TbsSkinCustomListBox::ListClick()
{
    if (OnListBoxClick)
        OnListBoxClick(this);
}

void TbsSkinCustomListBox::ListDblClick()
{
    if (OnListBoxDblClick)
        OnListBoxDblClick(this);
}

void TbsSkinCustomListBox::ListKeyDown(int& key, TShiftState shift)
{
    if (OnListBoxKeyDown)
        OnListBoxKeyDown(this, key, shift);
    if (m_extent_bar && (key == VK_LEFT || key == VK_RIGHT)) {
        int step = m_extent_bar->SmallChange();
        m_extent_bar->SetPosition(m_extent_bar->Position() + (key == VK_LEFT ? -step : step));
        key = 0;
    }
}

void TbsSkinCustomListBox::ListKeyUp(int&, TShiftState)
{
}

void TbsSkinCustomListBox::ListKeyPress(char& key)
{
    if (OnListBoxKeyPress)
        OnListBoxKeyPress(this, key);
}
