#include "skin/TbsSkinTreeView.h"

#include "skin/TbsDataSkinTreeView.h"
#include "skin/TbsSkinScrollBar.h"

TbsSkinCustomTreeView::TbsSkinCustomTreeView(TComponent* owner)
    : TTreeView(owner)
{
    m_default_font.SetName("Arial");
    m_default_font.SetHeight(14);
    m_default_font.SetStyle(0);
}

TbsSkinCustomTreeView::~TbsSkinCustomTreeView()
{
    if (m_skin_data)
        m_skin_data->RemoveClient(this);
    // The bars outlive the tree as the window's own controls: they must not call back into it.
    for (TbsSkinScrollBar* bar : { m_vscroll_bar, m_hscroll_bar }) {
        if (bar) {
            bar->OnChange = nullptr;
            bar->OnMouseWheel = nullptr;
        }
    }
}

void TbsSkinCustomTreeView::Notification(TComponent* component, TOperation operation)
{
    TTreeView::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == m_skin_data) {
        m_skin_data = nullptr;
        m_skin_index = -1;
    }
    if (component == m_vscroll_bar)
        m_vscroll_bar = nullptr;
    if (component == m_hscroll_bar)
        m_hscroll_bar = nullptr;
}

void TbsSkinCustomTreeView::SetSkinData(TbsSkinData* skin_data)
{
    if (m_skin_data && m_skin_data != skin_data) {
        m_skin_data->RemoveClient(this);
        RemoveFreeNotification(m_skin_data);
    }
    m_skin_data = skin_data;
    if (!m_skin_data)
        return;
    FreeNotification(m_skin_data);
    m_skin_data->AddClient(this);
    if (!m_skin_data->IsEmpty())
        UpdateTreeSkin();
}

void TbsSkinCustomTreeView::SkinAfterChange()
{
    if (m_skin_data && !m_skin_data->IsEmpty())
        UpdateTreeSkin();
}

void TbsSkinCustomTreeView::SetDefaultColor(TColor color)
{
    m_default_color = color;
    if (m_skin_index == -1)
        SetColor(color);
}

void TbsSkinCustomTreeView::SetDefaultFont(const TFont& font)
{
    m_default_font.Assign(font);
    if (m_skin_index == -1)
        Font().Assign(m_default_font);
}

void TbsSkinCustomTreeView::Loaded()
{
    m_loading = false;
    UpdateTreeSkin();
}

void TbsSkinCustomTreeView::UpdateTreeSkin()
{
    if (m_loading)
        return;
    if (!m_skin_data || m_skin_data->IsEmpty())
        m_skin_index = -1;
    else
        m_skin_index = m_skin_data->IndexOfControlRecord(m_skin_data_name);
    if (m_skin_index == -1) {
        SetColor(m_default_color);
        Font().Assign(m_default_font);
    } else if (auto* record = dynamic_cast<TbsDataSkinTreeView*>(m_skin_data->ControlRecord(m_skin_index))) {
        TFont font(Font());
        font.SetName(record->FontName);
        font.SetColor(record->FontColor);
        font.SetStyle(record->FontStyle);
        font.SetHeight(record->FontHeight);
        Font().Assign(font);
        SetColor(record->BGColor);
    }
    SyncScrollBars();
}

void TbsSkinCustomTreeView::AttachBar(TbsSkinScrollBar*& slot, TbsSkinScrollBar* bar, bool vertical)
{
    if (slot && slot != bar) {
        slot->OnChange = nullptr;
        slot->OnMouseWheel = nullptr;
        RemoveFreeNotification(slot);
    }
    slot = bar;
    if (bar) {
        FreeNotification(bar);
        bar->SetEnabled(true);
        bar->SetVisible(false);
        bar->OnChange = [this, vertical](TObject* sender) {
            auto* source = static_cast<TbsSkinScrollBar*>(sender);
            // The bar's position is the row (or pixel) to show first; the tree scrolls, and its next
            // paint copies its own state back into the bars.
            if (vertical)
                SetVertScrollPosition(source->Position());
            else
                SetHorzScrollPosition(source->Position());
        };
        // The wheel over either bar scrolls the tree, as the wheel over the tree itself does.
        bar->OnMouseWheel = [this](TObject*, int steps, TShiftState shift, Point window_point) {
            return MouseWheel(steps, shift, window_point);
        };
    }
    SyncScrollBars();
}

void TbsSkinCustomTreeView::SetVScrollBar(TbsSkinScrollBar* bar)
{
    AttachBar(m_vscroll_bar, bar, true);
}

void TbsSkinCustomTreeView::SetHScrollBar(TbsSkinScrollBar* bar)
{
    AttachBar(m_hscroll_bar, bar, false);
}

void TbsSkinCustomTreeView::SyncScrollBars()
{
    if (m_loading || m_updating)
        return;
    if (m_vscroll_bar) {
        TScrollInfo info = VertScrollInfo();
        int visible_count = VisibleCount();
        m_updating = true;
        bool show = info.max > 0 && visible_count <= info.max && info.max < Items().Count() && Visible();
        m_vscroll_bar->SetVisible(show);
        m_updating = false;
        if (show && (m_vscroll_bar->Min() != info.min || m_vscroll_bar->Max() != info.max
                || m_vscroll_bar->PageSize() != visible_count || m_vscroll_bar->Position() != info.position))
            m_vscroll_bar->SetRange(info.min, info.max, visible_count, info.position);
    }
    if (m_hscroll_bar) {
        TScrollInfo info = HorzScrollInfo();
        m_updating = true;
        bool show = info.max > Width() && Visible();
        m_hscroll_bar->SetVisible(show);
        m_updating = false;
        if (show && (m_hscroll_bar->Min() != info.min || m_hscroll_bar->Max() != info.max
                || m_hscroll_bar->PageSize() != Width() || m_hscroll_bar->Position() != info.position))
            m_hscroll_bar->SetRange(info.min, info.max, Width(), info.position);
    }
    if (m_vscroll_bar && m_hscroll_bar) {
        if (!m_vscroll_bar->Visible() && m_hscroll_bar->Both())
            m_hscroll_bar->SetBoth(false);
        else if (m_vscroll_bar->Visible() && !m_hscroll_bar->Both())
            m_hscroll_bar->SetBoth(true);
    }
}

void TbsSkinCustomTreeView::SetVisible(bool visible)
{
    TTreeView::SetVisible(visible);
    if (m_vscroll_bar)
        m_vscroll_bar->SetVisible(visible);
    if (m_hscroll_bar)
        m_hscroll_bar->SetVisible(visible);
}

void TbsSkinCustomTreeView::Paint(TCanvas& canvas)
{
    TTreeView::Paint(canvas);
    SyncScrollBars();
}

void TbsSkinCustomTreeView::KeyDown(int& key, TShiftState shift)
{
    TTreeView::KeyDown(key, shift);
    SyncScrollBars();
}

void TbsSkinCustomTreeView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TTreeView::MouseUp(button, shift, x, y);
    if (button == TMouseButton::mbLeft)
        SyncScrollBars();
}

void TbsSkinCustomTreeView::Change(TTreeNode* node)
{
    TTreeView::Change(node);
    SyncScrollBars();
}

void TbsSkinCustomTreeView::BoundsChanged()
{
    TTreeView::BoundsChanged();
    if (!m_updating)
        SyncScrollBars();
}
