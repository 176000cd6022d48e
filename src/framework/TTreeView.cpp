#include "framework/TTreeView.h"

#include "framework/Exception.h"
#include "framework/TForm.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <utility>

TTreeView::TTreeView(TComponent* owner)
    : TWinControl(owner)
{
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() = default;

// ---- Properties -------------------------------------------------------------------------------

void TTreeView::SetIndent(int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels == m_indent)
        return;
    m_indent = pixels;
    m_content_width = -1;
    Invalidate();
}

void TTreeView::SetShowButtons(bool show)
{
    if (show == m_show_buttons)
        return;
    m_show_buttons = show;
    Invalidate();
}

void TTreeView::SetShowRoot(bool show)
{
    if (show == m_show_root)
        return;
    m_show_root = show;
    m_content_width = -1;
    Invalidate();
}

void TTreeView::SetShowLines(bool show)
{
    if (show == m_show_lines)
        return;
    m_show_lines = show;
    Invalidate();
}

void TTreeView::SetHideSelection(bool hide)
{
    if (hide == m_hide_selection)
        return;
    m_hide_selection = hide;
    Invalidate();
}

int TTreeView::ItemHeight() const
{
    if (m_item_height > 0)
        return m_item_height;
    // The font's cell and a pixel above and below, rounded down to even, at least 16 pixels.
    int cell = const_cast<TTreeView*>(this)->Font().Face().Metrics().height;
    return std::max(16, (cell + 2) & ~1);
}

void TTreeView::SetItemHeight(int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels == m_item_height)
        return;
    m_item_height = pixels;
    Invalidate();
}

void TTreeView::FontChanged()
{
    // Captions were measured with the old font.
    for (const auto& node : m_items.m_nodes)
        node->m_label_width = 0;
    m_content_width = -1;
    Invalidate();
}

void TTreeView::BoundsChanged()
{
    Invalidate();
}

TCanvas& TTreeView::Canvas()
{
    return m_paint_canvas ? *m_paint_canvas : TControl::Canvas();
}

// ---- Rows ---------------------------------------------------------------------------------------

void TTreeView::EnsureRows() const
{
    if (m_rows_valid)
        return;
    m_rows.clear();
    ++m_row_generation;
    const auto& nodes = m_items.m_nodes;
    // Absolute order is reading order; a collapsed node's subtree is skipped in one step.
    for (std::size_t i = 0; i < nodes.size();) {
        TTreeNode* node = nodes[i].get();
        node->m_row = int(m_rows.size());
        node->m_row_generation = m_row_generation;
        m_rows.push_back(node);
        i += node->m_expanded ? 1 : std::size_t(node->m_descendants) + 1;
    }
    m_rows_valid = true;

    // Keep the top anchored to its node; a node that went out of sight hands the top to its
    // nearest shown ancestor.
    if (m_top) {
        TTreeNode* top = m_top;
        while (top && top->m_row_generation != m_row_generation)
            top = top->m_parent;
        m_top = top;
    }
    int row = std::clamp(m_top ? m_top->m_row : 0, 0, MaxTopRow());
    m_top = m_rows.empty() ? nullptr : m_rows[std::size_t(row)];

    if (TTreeNode* revealed = std::exchange(m_reveal, nullptr))
        ScrollChildrenIntoView(revealed);
}

int TTreeView::RowCount() const
{
    EnsureRows();
    return int(m_rows.size());
}

TTreeNode* TTreeView::RowNode(int row) const
{
    EnsureRows();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[std::size_t(row)] : nullptr;
}

int TTreeView::RowOf(const TTreeNode* node) const
{
    if (!node)
        return -1;
    EnsureRows();
    return node->m_row_generation == m_row_generation ? node->m_row : -1;
}

int TTreeView::VisibleCount() const
{
    return std::max(0, Height() / ItemHeight());
}

int TTreeView::MaxTopRow() const
{
    // A tree too low for one whole row still shows its top row.
    return std::max(0, int(m_rows.size()) - std::max(1, VisibleCount()));
}

int TTreeView::TopRow() const
{
    EnsureRows();
    return m_top ? std::clamp(m_top->m_row, 0, MaxTopRow()) : 0;
}

TTreeNode* TTreeView::TopItem() const
{
    return RowNode(TopRow());
}

void TTreeView::SetTopItem(TTreeNode* node)
{
    int row = RowOf(node);
    if (row >= 0)
        SetVertScrollPosition(row);
}

// ---- Scrolling ----------------------------------------------------------------------------------

TScrollInfo TTreeView::VertScrollInfo() const
{
    int rows = RowCount();
    int visible = VisibleCount();
    return { 0, rows > visible ? rows - 1 : 0, visible, TopRow() };
}

TScrollInfo TTreeView::HorzScrollInfo() const
{
    int extent = ContentWidth();
    return { 0, extent > Width() ? extent : 0, Width(), HorzPosition() };
}

void TTreeView::SetVertScrollPosition(int row)
{
    int before = TopRow();
    SetTopRow(row);
    if (TopRow() != before)
        Invalidate();
}

void TTreeView::SetTopRow(int row) const
{
    EnsureRows();
    if (m_rows.empty())
        return;
    m_top = m_rows[std::size_t(std::clamp(row, 0, MaxTopRow()))];
}

int TTreeView::HorzPosition() const
{
    if (m_horz_position == 0)
        return 0; // the common case needs no measuring
    return std::clamp(m_horz_position, 0, std::max(0, ContentWidth() - Width()));
}

void TTreeView::SetHorzScrollPosition(int pixels)
{
    pixels = std::clamp(pixels, 0, std::max(0, ContentWidth() - Width()));
    if (pixels == HorzPosition())
        return;
    m_horz_position = pixels;
    Invalidate();
}

void TTreeView::ScrollIntoView(const TTreeNode* node)
{
    int row = RowOf(node);
    if (row < 0)
        return;
    int top = TopRow();
    int visible = std::max(1, VisibleCount());
    if (row < top)
        SetVertScrollPosition(row);
    else if (row >= top + visible)
        SetVertScrollPosition(row - visible + 1);
}

void TTreeView::ScrollChildrenIntoView(const TTreeNode* node) const
{
    // Show as much of the newly expanded subtree as fits, without scrolling the node itself away.
    int row = RowOf(node);
    if (row < 0)
        return;
    const TTreeNode* last = node;
    while (last->m_expanded && last->HasChildren())
        last = last->GetLastChild();
    int subtree_rows = RowOf(last) - row;
    int top = TopRow();
    int position = row - top;
    int rows_below = VisibleCount() - position - 1;
    if (position > 0 && subtree_rows > rows_below)
        SetTopRow(top + std::min(subtree_rows - rows_below, position));
}

// ---- Geometry -----------------------------------------------------------------------------------

int TTreeView::LabelLeft(const TTreeNode* node) const
{
    return (node->m_level + (m_show_root ? 1 : 0)) * m_indent - HorzPosition();
}

int TTreeView::LabelWidth(const TTreeNode* node) const
{
    if (node->m_label_width <= 0) {
        int text = const_cast<TTreeView*>(this)->Font().Face().TextWidth(node->m_text);
        const_cast<TTreeNode*>(node)->m_label_width = text + 4;
    }
    return node->m_label_width;
}

int TTreeView::ContentWidth() const
{
    if (m_content_width < 0) {
        EnsureRows();
        int widest = 0;
        for (const TTreeNode* node : m_rows)
            widest = std::max(widest, (node->m_level + (m_show_root ? 1 : 0)) * m_indent + LabelWidth(node));
        m_content_width = widest;
    }
    return m_content_width;
}

Rect TTreeView::NodeRect(const TTreeNode* node, bool text_only) const
{
    int row = RowOf(node);
    if (row < 0)
        return {};
    int height = ItemHeight();
    int top = (row - TopRow()) * height;
    if (!text_only)
        return { 0, top, Width(), top + height };
    int left = LabelLeft(node);
    return { left, top, left + LabelWidth(node), top + height };
}

TTreeView::HitInfo TTreeView::HitTest(Point p) const
{
    if (!ClientRect().Contains(p))
        return {};
    int row = TopRow() + p.y / ItemHeight();
    TTreeNode* node = RowNode(row);
    if (!node)
        return {};
    int left = LabelLeft(node);
    if (p.x >= left + LabelWidth(node))
        return { node, HitPart::Right };
    if (p.x >= left)
        return { node, HitPart::Label };
    bool has_button = m_show_buttons && node->HasChildren() && (m_show_root || node->m_level > 0);
    if (has_button && p.x >= left - m_indent)
        return { node, HitPart::Button };
    return { node, HitPart::Indent };
}

// ---- Selection, expanding -----------------------------------------------------------------------

void TTreeView::SetSelected(TTreeNode* node)
{
    if (node && node->Owner() != &m_items)
        throw EInvalidOperation("Tree node belongs to another tree");
    if (node == m_selected)
        return;
    if (node)
        for (TTreeNode* p = node->m_parent; p; p = p->m_parent)
            if (!p->m_expanded)
                ExpandNode(p, true);
    if (m_selected)
        Invalidate();
    m_selected = node;
    ScrollIntoView(node);
    Invalidate();
    Change(node);
}

void TTreeView::Change(TTreeNode* node)
{
    if (OnChange)
        OnChange(this, node);
}

void TTreeView::ExpandSubtree(TTreeNode* node, bool expand)
{
    // One pass over the subtree in absolute order; the rows are rebuilt once, afterwards.
    int first = node->m_absolute_index;
    int last = first + node->m_descendants;
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        TTreeNode* n = m_items.m_nodes[std::size_t(i)].get();
        if (n->HasChildren() && n->m_expanded != expand) {
            n->m_expanded = expand;
            changed = true;
        }
    }
    if (!changed)
        return;
    if (expand)
        m_reveal = node;
    NodesChanged();
    if (!expand && m_selected && m_selected->HasAsParent(node))
        SetSelected(node);
    if (expand ? bool(OnExpanded) : bool(OnCollapsed))
        (expand ? OnExpanded : OnCollapsed)(this, node);
}

void TTreeView::Toggle(TTreeNode* node)
{
    ExpandNode(node, !node->m_expanded);
}

void TTreeView::ExpandNode(TTreeNode* node, bool expand)
{
    if (expand) {
        if (node->m_expanded || !node->HasChildren())
            return;
        node->m_expanded = true;
        m_reveal = node;
        NodesChanged();
        if (OnExpanded)
            OnExpanded(this, node);
        return;
    }
    if (!node->m_expanded)
        return;
    node->m_expanded = false;
    NodesChanged();
    // A selection inside the collapsed subtree moves up to the collapsed node.
    if (m_selected && m_selected->HasAsParent(node))
        SetSelected(node);
    if (OnCollapsed)
        OnCollapsed(this, node);
}

// ---- Notifications from the nodes ---------------------------------------------------------------

void TTreeView::NodesChanged()
{
    ContentChanged();
    m_rows_valid = false;
    m_content_width = -1;
    if (m_items.Updating())
        return;
    if (m_selection_lost) {
        m_selection_lost = false;
        if (!Destroying()) {
            ScrollIntoView(m_selected);
            Change(m_selected);
        }
    }
    if (!m_repaint_pending) {
        m_repaint_pending = true;
        Invalidate();
    }
}

void TTreeView::NodeAdded(TTreeNode*)
{
    NodesChanged();
}

void TTreeView::NodeDeleting(TTreeNode* node)
{
    auto doomed = [node](const TTreeNode* n) { return n && (!node || n == node || n->HasAsParent(node)); };
    if (doomed(m_selected)) {
        TTreeNode* next = nullptr;
        if (node) {
            next = node->GetNextSibling();
            if (!next)
                next = node->GetPrevSibling();
            if (!next)
                next = node->m_parent;
        }
        m_selected = next;
        m_selection_lost = true;
    }
    if (doomed(m_reveal))
        m_reveal = nullptr;
    if (doomed(m_top)) {
        TTreeNode* replacement = node ? node->GetPrevSibling() : nullptr;
        m_top = replacement ? replacement : node ? node->m_parent : nullptr;
    }
    m_rows_valid = false;
}

void TTreeView::NodeTextChanged(TTreeNode* node)
{
    node->m_label_width = 0;
    m_content_width = -1;
    Invalidate();
}

// ---- Input --------------------------------------------------------------------------------------

void TTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft && !(shift & ssDouble)) {
        HitInfo hit = HitTest({ x, y });
        if (hit.part == HitPart::Button)
            Toggle(hit.node);
        else if (hit.part == HitPart::Label || hit.part == HitPart::Right)
            SetSelected(hit.node);
    }
    TControl::MouseDown(button, shift, x, y);
}

void TTreeView::DblClick()
{
    // The second press of a double click: a caption toggles its node, a button toggles again.
    if (TForm* form = ParentForm()) {
        Point origin = WindowOrigin();
        Point mouse = form->MousePosition();
        HitInfo hit = HitTest({ mouse.x - origin.x, mouse.y - origin.y });
        if (hit.part == HitPart::Button) {
            Toggle(hit.node);
        } else if (hit.part == HitPart::Label) {
            SetSelected(hit.node);
            Toggle(hit.node);
        } else if (hit.part == HitPart::Right) {
            SetSelected(hit.node);
        }
    }
    TControl::DblClick();
}

bool TTreeView::MouseWheel(int steps, TShiftState, Point)
{
    SetVertScrollPosition(SatSub(TopRow(), SatMul(steps, WheelScrollLines)));
    return true;
}

void TTreeView::KeyDown(int& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    if (key == 0)
        return;
    int rows = RowCount();
    if (rows == 0)
        return;
    if (shift & ssCtrl) {
        // With Ctrl the keys scroll the view and leave the selection.
        int top = TopRow();
        int page = std::max(1, VisibleCount());
        switch (key) {
        case VK_UP:
            SetVertScrollPosition(top - 1);
            break;
        case VK_DOWN:
            SetVertScrollPosition(top + 1);
            break;
        case VK_PRIOR:
            SetVertScrollPosition(top - page);
            break;
        case VK_NEXT:
            SetVertScrollPosition(top + page);
            break;
        case VK_HOME:
            SetVertScrollPosition(0);
            break;
        case VK_END:
            SetVertScrollPosition(rows);
            break;
        default:
            break;
        }
        return;
    }
    TTreeNode* selected = m_selected;
    int row = RowOf(selected);
    int top = TopRow();
    int page = std::max(1, VisibleCount() - 1);
    int target = -1;
    switch (key) {
    case VK_UP:
        target = row < 0 ? top : row - 1;
        break;
    case VK_DOWN:
        target = row < 0 ? top : row + 1;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = rows - 1;
        break;
    case VK_PRIOR:
        // To the first row shown, then a page at a time.
        target = row < 0 ? top : row > top ? top : row - page;
        break;
    case VK_NEXT: {
        int bottom = top + std::max(0, VisibleCount() - 1);
        target = row < 0 ? top : row < bottom ? bottom : row + page;
        break;
    }
    case VK_LEFT:
        if (row < 0)
            target = top;
        else if (selected->m_expanded && selected->HasChildren())
            ExpandNode(selected, false);
        else if (selected->m_parent)
            target = RowOf(selected->m_parent);
        break;
    case VK_RIGHT:
        if (row < 0)
            target = top;
        else if (selected->HasChildren() && !selected->m_expanded)
            ExpandNode(selected, true);
        else if (selected->HasChildren())
            target = RowOf(selected->GetFirstChild());
        break;
    default:
        return;
    }
    if (target >= 0)
        SetSelected(RowNode(std::clamp(target, 0, RowCount() - 1)));
}

void TTreeView::KeyPress(char& key)
{
    TWinControl::KeyPress(key);
    unsigned char typed = LowerCp1251(static_cast<unsigned char>(key));
    int rows = RowCount();
    if (typed < 0x20 || rows == 0)
        return;
    int start = RowOf(m_selected);
    for (int step = 1; step <= rows; ++step) {
        TTreeNode* node = m_rows[std::size_t((start + step) % rows)];
        if (!node->m_text.empty() && LowerCp1251(static_cast<unsigned char>(node->m_text[0])) == typed) {
            SetSelected(node);
            return;
        }
    }
}
