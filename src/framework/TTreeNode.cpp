#include "framework/TTreeNode.h"

#include "framework/TTreeNodes.h"
#include "framework/TTreeView.h"

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent, std::string text, void* data)
    : m_owner(owner)
    , m_parent(parent)
    , m_text(std::move(text))
    , m_data(data)
    , m_level(parent ? parent->m_level + 1 : 0)
{
}

TTreeView* TTreeNode::TreeView() const
{
    return m_owner->Owner();
}

void TTreeNode::SetText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    TreeView()->NodeTextChanged(this);
}

TTreeNode* TTreeNode::Item(int index) const
{
    return index >= 0 && index < Count() ? m_children[std::size_t(index)] : nullptr;
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    const std::vector<TTreeNode*>& siblings = m_parent ? m_parent->m_children : m_owner->Roots();
    std::size_t next = std::size_t(m_sibling_index) + 1;
    return next < siblings.size() ? siblings[next] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const
{
    const std::vector<TTreeNode*>& siblings = m_parent ? m_parent->m_children : m_owner->Roots();
    return m_sibling_index > 0 ? siblings[std::size_t(m_sibling_index) - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    int next = m_absolute_index + 1;
    return next < m_owner->Count() ? m_owner->Item(next) : nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    return m_absolute_index > 0 ? m_owner->Item(m_absolute_index - 1) : nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const
{
    int row = TreeView()->RowOf(this);
    return row < 0 ? nullptr : TreeView()->RowNode(row + 1);
}

TTreeNode* TTreeNode::GetPrevVisible() const
{
    int row = TreeView()->RowOf(this);
    return row <= 0 ? nullptr : TreeView()->RowNode(row - 1);
}

bool TTreeNode::HasAsParent(const TTreeNode* ancestor) const
{
    for (const TTreeNode* p = m_parent; p; p = p->m_parent)
        if (p == ancestor)
            return true;
    return false;
}

void TTreeNode::SetExpanded(bool expanded)
{
    if (expanded)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool recurse)
{
    if (recurse)
        TreeView()->ExpandSubtree(this, true);
    else
        TreeView()->ExpandNode(this, true);
}

void TTreeNode::Collapse(bool recurse)
{
    if (recurse)
        TreeView()->ExpandSubtree(this, false);
    else
        TreeView()->ExpandNode(this, false);
}

bool TTreeNode::IsVisible() const
{
    for (const TTreeNode* p = m_parent; p; p = p->m_parent)
        if (!p->m_expanded)
            return false;
    return true;
}

void TTreeNode::MakeVisible()
{
    for (TTreeNode* p = m_parent; p; p = p->m_parent)
        if (!p->m_expanded)
            p->Expand(false);
    TreeView()->ScrollIntoView(this);
}

bool TTreeNode::Selected() const
{
    return TreeView()->Selected() == this;
}

void TTreeNode::SetSelected(bool selected)
{
    if (selected)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

Rect TTreeNode::DisplayRect(bool text_only) const
{
    return TreeView()->NodeRect(this, text_only);
}

void TTreeNode::Delete()
{
    m_owner->Delete(this);
}
