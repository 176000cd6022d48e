#pragma once

#include "platform/Geometry.h"

#include <string>
#include <vector>

class TTreeNodes;
class TTreeView;

// One node of a tree view: a caption, a place among its parent's children and an expanded state.
// Nodes are made and freed only by their TTreeNodes. The absolute index is the node's position when
// the whole tree is read top to bottom with every node expanded.
class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return m_owner; }
    TTreeView* TreeView() const;

    const std::string& Text() const { return m_text; }
    void SetText(std::string text);
    void* Data() const { return m_data; }
    void SetData(void* data) { m_data = data; }

    TTreeNode* Parent() const { return m_parent; }
    int Level() const { return m_level; }
    int AbsoluteIndex() const { return m_absolute_index; }
    // Position among the parent's children (or among the roots).
    int Index() const { return m_sibling_index; }
    int Count() const { return int(m_children.size()); }
    bool HasChildren() const { return !m_children.empty(); }
    // The child at `index`, or null when there is none.
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstChild() const { return m_children.empty() ? nullptr : m_children.front(); }
    TTreeNode* GetLastChild() const { return m_children.empty() ? nullptr : m_children.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next and previous node in absolute order.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next and previous node that a reader of the tree sees (every ancestor expanded).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    // True when `ancestor` is this node's parent, grand-parent, ...
    bool HasAsParent(const TTreeNode* ancestor) const;
    // Number of nodes below this one, at every depth.
    int DescendantCount() const { return m_descendants; }

    bool Expanded() const { return m_expanded; }
    void SetExpanded(bool expanded);
    // Expanding a node without children does nothing; `recurse` also does the whole subtree.
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // Every ancestor expanded.
    bool IsVisible() const;
    // Expands the ancestors and scrolls the node into view.
    void MakeVisible();

    bool Selected() const;
    void SetSelected(bool selected);
    bool Focused() const { return Selected(); }

    // The node's row in client coordinates: the whole row, or the caption's rectangle (as last
    // painted, so it fits the font the custom-draw handlers chose). Empty when the node is hidden.
    Rect DisplayRect(bool text_only) const;

    // Frees the node and its subtree.
    void Delete();

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* owner, TTreeNode* parent, std::string text, void* data);

    TTreeNodes* m_owner;
    TTreeNode* m_parent;
    std::vector<TTreeNode*> m_children;
    std::string m_text;
    void* m_data;
    int m_level { 0 };
    int m_absolute_index { 0 };
    int m_sibling_index { 0 };
    int m_descendants { 0 };
    bool m_expanded { false };
    // Row among the visible nodes, valid while m_row_generation matches the tree's.
    int m_row { -1 };
    unsigned m_row_generation { 0 };
    // Width of the caption's rectangle in pixels; 0 until measured.
    int m_label_width { 0 };
};
