// Painting of the tree: rows, buttons, lines and the custom-draw stages.

#include "framework/TTreeView.h"

#include <algorithm>

namespace {

constexpr TColor ButtonFrameColor = clGray;
constexpr TColor LineColor = clGray;

// Restores the tree's paint canvas pointer on every path out of Paint.
class PaintScope {
public:
    PaintScope(TCanvas*& slot, TCanvas& canvas)
        : m_slot(slot)
    {
        m_slot = &canvas;
    }
    ~PaintScope() { m_slot = nullptr; }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

private:
    TCanvas*& m_slot;
};

} // namespace

TCustomDrawState TTreeView::StateOf(const TTreeNode* node) const
{
    TCustomDrawState state = 0;
    if (node == m_selected) {
        state |= cdsSelected;
        if (Focused())
            state |= cdsFocused;
    }
    return state;
}

bool TTreeView::ShowsHighlight() const
{
    return Focused() || !m_hide_selection;
}

void TTreeView::Paint(TCanvas& canvas)
{
    m_repaint_pending = false;
    PaintScope scope(m_paint_canvas, canvas);
    canvas.Font() = Font();
    canvas.Brush() = TBrush { Color(), TBrushStyle::bsSolid };
    canvas.FillRect(ClientRect());
    bool default_draw = true;
    if (OnCustomDraw)
        OnCustomDraw(this, ClientRect(), default_draw);
    if (!default_draw)
        return;

    EnsureRows();
    int height = ItemHeight();
    int top = TopRow();
    Rect clip = canvas.ClipRect().Intersected(ClientRect());
    if (clip.IsEmpty())
        return;
    int first = top + std::max(0, clip.top) / height;
    int last = std::min(int(m_rows.size()) - 1, top + (clip.bottom - 1) / height);
    for (int row = first; row <= last; ++row) {
        // A handler that changes the tree ends this pass; the next paint shows the new shape.
        if (!m_rows_valid) {
            Invalidate();
            return;
        }
        PaintNode(canvas, m_rows[std::size_t(row)], row - top);
    }
}

void TTreeView::PaintNode(TCanvas& canvas, TTreeNode* node, int visible_row)
{
    int height = ItemHeight();
    int y = visible_row * height;
    TCustomDrawState state = StateOf(node);

    canvas.Font() = Font();
    canvas.Brush() = TBrush { Color(), TBrushStyle::bsSolid };
    canvas.Pen() = TPen {};
    canvas.SetBkMode(OPAQUE);
    if (node == m_selected && ShowsHighlight()) {
        bool focused = Focused();
        canvas.Brush().Color = focused ? clHighlight : clBtnFace;
        canvas.Font().SetColor(focused ? clHighlightText : clBtnText);
    }

    bool default_draw = true;
    bool paint_images = true;
    if (OnCustomDrawItem) {
        OnCustomDrawItem(this, node, state, default_draw);
        if (!m_rows_valid)
            return;
    }
    if (OnAdvancedCustomDrawItem) {
        OnAdvancedCustomDrawItem(this, node, state, cdPrePaint, paint_images, default_draw);
        if (!m_rows_valid)
            return;
    }
    if (!default_draw)
        return;

    // Lines and buttons keep their own colours; the caption takes what the handlers chose.
    TBrush brush = canvas.Brush();
    int left = LabelLeft(node);
    if (m_show_lines)
        PaintLines(canvas, node, y);
    if (m_show_buttons && node->HasChildren() && (m_show_root || node->m_level > 0))
        PaintButton(canvas, { left - m_indent / 2 - 1, y + height / 2 }, node->m_expanded);
    canvas.Brush() = brush;

    int width = canvas.TextWidth(node->m_text) + 4;
    if (width != node->m_label_width) {
        node->m_label_width = width;
        m_content_width = -1;
    }
    Rect label { left, y, left + width, y + height };
    canvas.FillRect(label);
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(left + 2, y + (height - canvas.TextHeight(node->m_text)) / 2, node->m_text);
    canvas.SetBkMode(OPAQUE);
    if (node == m_selected && Focused())
        canvas.DrawFocusRect(label);

    if (OnAdvancedCustomDrawItem) {
        bool post_default = true;
        OnAdvancedCustomDrawItem(this, node, state, cdPostPaint, paint_images, post_default);
    }
}

void TTreeView::PaintButton(TCanvas& canvas, Point c, bool expanded)
{
    // A 9 x 9 box in the tree's colour with a minus, or a plus while collapsed.
    Rect box { c.x - 4, c.y - 4, c.x + 5, c.y + 5 };
    canvas.Brush() = TBrush { Color(), TBrushStyle::bsSolid };
    canvas.FillRect(box);
    canvas.Brush().Color = ButtonFrameColor;
    canvas.FrameRect(box);
    canvas.Brush().Color = clWindowText;
    canvas.FillRect({ c.x - 2, c.y, c.x + 3, c.y + 1 });
    if (!expanded)
        canvas.FillRect({ c.x, c.y - 2, c.x + 1, c.y + 3 });
}

void TTreeView::PaintLines(TCanvas& canvas, TTreeNode* node, int y)
{
    int height = ItemHeight();
    int mid = y + height / 2;
    auto column = [this](int level) { return (level + (m_show_root ? 1 : 0)) * m_indent - m_indent / 2 - 1 - HorzPosition(); };
    auto has_column = [this](int level) { return m_show_root || level > 0; };
    auto dotted_v = [&](int x, int from, int to) {
        for (int py = from; py < to; ++py)
            if (((x + py) & 1) == 0)
                canvas.SetPixel(x, py, LineColor);
    };
    int level = node->m_level;
    if (has_column(level)) {
        int x = column(level);
        bool above = node->m_parent || node->GetPrevSibling();
        dotted_v(x, above ? y : mid, node->GetNextSibling() ? y + height : mid + 1);
        for (int px = x + 1; px < LabelLeft(node); ++px)
            if (((px + mid) & 1) == 0)
                canvas.SetPixel(px, mid, LineColor);
    }
    for (const TTreeNode* a = node->m_parent; a; a = a->m_parent)
        if (has_column(a->m_level) && a->GetNextSibling())
            dotted_v(column(a->m_level), y, y + height);
}
