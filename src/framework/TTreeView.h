#pragma once

#include "framework/TScrollInfo.h"
#include "framework/TTreeNodes.h"
#include "framework/TWinControl.h"

#include <functional>
#include <vector>

// The custom-draw state of a tree node.
enum TCustomDrawStateFlag : unsigned {
    cdsSelected = 1, cdsGrayed = 2, cdsDisabled = 4, cdsChecked = 8, cdsFocused = 16, cdsDefault = 32,
    cdsHot = 64, cdsMarked = 128, cdsIndeterminate = 256,
};
using TCustomDrawState = unsigned;

enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };

class TTreeView;

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
// Before the tree paints: `rect` is the client rectangle; clearing `default_draw` stops the tree
// from painting its nodes.
using TTVCustomDrawEvent = std::function<void(TTreeView* sender, const Rect& rect, bool& default_draw)>;
// Before a node is painted: fonts and colours set on the tree's Canvas() are the node's; clearing
// `default_draw` leaves the node unpainted.
using TTVCustomDrawItemEvent
    = std::function<void(TTreeView* sender, TTreeNode* node, TCustomDrawState state, bool& default_draw)>;
// Before (cdPrePaint) and after (cdPostPaint) a node is painted.
using TTVAdvancedCustomDrawItemEvent = std::function<void(TTreeView* sender, TTreeNode* node,
    TCustomDrawState state, TCustomDrawStage stage, bool& paint_images, bool& default_draw)>;

// A tree of captioned nodes with expand buttons: selection by mouse and keyboard, expanding and
// collapsing, scrolling by wheel and by its scroll state, and custom drawing of every node.
//
// The rows are the visible nodes (every ancestor expanded) in absolute order; row r lies at
// y = (r - top row) * ItemHeight. A node of level L has its button centred in the indent column L
// and its caption from x = (L + 1) * Indent (ShowRoot) or L * Indent, less the horizontal scroll.
class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner);
    ~TTreeView() override;

    TTreeNodes& Items() { return m_items; }
    const TTreeNodes& Items() const { return m_items; }

    TTreeNode* Selected() const { return m_selected; }
    // Selects a node (null: none), scrolling it into view; fires OnChange when the selection moves.
    void SetSelected(TTreeNode* node);

    int Indent() const { return m_indent; }
    void SetIndent(int pixels);
    bool ShowButtons() const { return m_show_buttons; }
    void SetShowButtons(bool show);
    bool ShowRoot() const { return m_show_root; }
    void SetShowRoot(bool show);
    // Dotted lines joining the nodes to their parents.
    bool ShowLines() const { return m_show_lines; }
    void SetShowLines(bool show);
    // There is no caption editing: the tree is always read-only; the flag is kept for the layout.
    bool ReadOnly() const { return m_read_only; }
    void SetReadOnly(bool read_only) { m_read_only = read_only; }
    // When set, the selection is highlighted only while the tree has the focus.
    bool HideSelection() const { return m_hide_selection; }
    void SetHideSelection(bool hide);
    // Row height in pixels; 0 returns to the height that follows the font.
    int ItemHeight() const;
    void SetItemHeight(int pixels);

    // Rows: the nodes shown when scrolled through (every ancestor expanded).
    int RowCount() const;
    TTreeNode* RowNode(int row) const;
    // The node's row, or -1 when an ancestor is collapsed.
    int RowOf(const TTreeNode* node) const;
    // Rows that fit entirely in the client area.
    int VisibleCount() const;
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* node);

    // Vertical state in rows and horizontal state in pixels; setting a position scrolls (clamped so
    // that the last row stays at the bottom and the widest caption at the right).
    TScrollInfo VertScrollInfo() const;
    TScrollInfo HorzScrollInfo() const;
    void SetVertScrollPosition(int row);
    // Scrolls without repainting (the callers repaint).
    void SetTopRow(int row) const;
    void SetHorzScrollPosition(int pixels);

    enum class HitPart { Nowhere, Indent, Button, Label, Right };
    struct HitInfo {
        TTreeNode* node { nullptr };
        HitPart part { HitPart::Nowhere };
    };
    HitInfo HitTest(Point client_point) const;
    TTreeNode* GetNodeAt(int x, int y) const { return HitTest({ x, y }).node; }

    // The canvas the custom-draw handlers draw on: while the tree paints, the paint's own canvas;
    // otherwise a canvas on the window clipped to the tree.
    TCanvas& Canvas();

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool MouseWheel(int steps, TShiftState shift, Point window_point) override;
    void KeyDown(int& key, TShiftState shift) override;
    // A typed character selects the next shown node whose caption begins with it.
    void KeyPress(char& key) override;

    TTVChangedEvent OnChange;
    TTVChangedEvent OnExpanded;
    TTVChangedEvent OnCollapsed;
    TTVCustomDrawEvent OnCustomDraw;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

protected:
    void FontChanged() override;
    void BoundsChanged() override;
    // Runs after the selection changed and OnChange fired.
    virtual void Change(TTreeNode* node);

private:
    friend class TTreeNode;
    friend class TTreeNodes;

    // Called by the nodes.
    void NodesChanged();
    void NodeAdded(TTreeNode* node);
    void NodeDeleting(TTreeNode* node);
    void NodeTextChanged(TTreeNode* node);
    void ExpandNode(TTreeNode* node, bool expand);
    void ExpandSubtree(TTreeNode* node, bool expand);
    Rect NodeRect(const TTreeNode* node, bool text_only) const;

    void EnsureRows() const;
    int TopRow() const;
    int MaxTopRow() const;
    int HorzPosition() const;
    int LabelLeft(const TTreeNode* node) const;
    int LabelWidth(const TTreeNode* node) const;
    int ContentWidth() const;
    void ScrollIntoView(const TTreeNode* node);
    void ScrollChildrenIntoView(const TTreeNode* node) const;
    void SelectByUser(TTreeNode* node);
    void Toggle(TTreeNode* node);
    void PaintNode(TCanvas& canvas, TTreeNode* node, int row);
    void PaintButton(TCanvas& canvas, Point centre, bool expanded);
    void PaintLines(TCanvas& canvas, TTreeNode* node, int row);
    TCustomDrawState StateOf(const TTreeNode* node) const;
    bool ShowsHighlight() const;

    TTreeNodes m_items { this };
    TTreeNode* m_selected { nullptr };
    mutable TTreeNode* m_top { nullptr }; // the top row's node
    int m_horz_position { 0 };
    int m_indent { 19 };
    int m_item_height { 0 }; // 0: follows the font
    bool m_show_buttons { true };
    bool m_show_root { true };
    bool m_show_lines { true };
    bool m_read_only { false };
    bool m_hide_selection { true };

    // Rows, rebuilt when the shape of the tree has changed.
    mutable std::vector<TTreeNode*> m_rows;
    mutable bool m_rows_valid { false };
    mutable unsigned m_row_generation { 0 };
    mutable int m_content_width { -1 }; // -1: to measure

    TCanvas* m_paint_canvas { nullptr };
    bool m_repaint_pending { false };
    bool m_selection_lost { false }; // a deleted node took the selection; OnChange is due
    // The node expanded last, whose children are scrolled into view once the rows are rebuilt.
    mutable TTreeNode* m_reveal { nullptr };
};
