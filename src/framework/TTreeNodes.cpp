#include "framework/TTreeNodes.h"

#include "framework/Exception.h"
#include "framework/TTreeView.h"

#include <algorithm>

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Item(int absolute_index) const
{
    if (absolute_index < 0 || absolute_index >= Count())
        throw EListError(Format("List index out of bounds (%d)", absolute_index));
    return m_nodes[std::size_t(absolute_index)].get();
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, std::string text)
{
    return AddObject(sibling, std::move(text), nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, std::string text, void* data)
{
    CheckOwned(sibling);
    TTreeNode* parent = sibling ? sibling->Parent() : nullptr;
    int end = parent ? parent->Count() : int(m_roots.size());
    return InsertNode(parent, end, std::move(text), data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, std::string text)
{
    CheckOwned(sibling);
    return InsertNode(sibling ? sibling->Parent() : nullptr, 0, std::move(text), nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, std::string text)
{
    return AddChildObject(parent, std::move(text), nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, std::string text, void* data)
{
    int end = parent ? parent->Count() : int(m_roots.size());
    return InsertNode(parent, end, std::move(text), data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, std::string text)
{
    return InsertNode(parent, 0, std::move(text), nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, std::string text)
{
    CheckOwned(sibling);
    if (!sibling)
        return InsertNode(nullptr, int(m_roots.size()), std::move(text), nullptr);
    return InsertNode(sibling->Parent(), sibling->Index(), std::move(text), nullptr);
}

void TTreeNodes::CheckOwned(const TTreeNode* node) const
{
    if (node && node->Owner() != this)
        throw EInvalidOperation("Tree node belongs to another tree");
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, int child_position, std::string text, void* data)
{
    CheckOwned(parent);
    std::vector<TTreeNode*>& siblings = parent ? parent->m_children : m_roots;
    child_position = std::clamp(child_position, 0, int(siblings.size()));

    // The new node goes where the sibling it displaces is, or behind the parent's whole subtree.
    int absolute;
    if (child_position < int(siblings.size()))
        absolute = siblings[std::size_t(child_position)]->m_absolute_index;
    else if (parent)
        absolute = parent->m_absolute_index + parent->m_descendants + 1;
    else
        absolute = Count();

    std::unique_ptr<TTreeNode> owned(new TTreeNode(this, parent, std::move(text), data));
    TTreeNode* node = owned.get();
    siblings.insert(siblings.begin() + child_position, node);
    for (std::size_t i = std::size_t(child_position); i < siblings.size(); ++i)
        siblings[i]->m_sibling_index = int(i);
    for (TTreeNode* p = parent; p; p = p->m_parent)
        ++p->m_descendants;

    node->m_absolute_index = absolute;
    if (absolute == Count()) {
        m_nodes.push_back(std::move(owned));
    } else {
        m_nodes.insert(m_nodes.begin() + absolute, std::move(owned));
        Renumber(absolute + 1);
    }
    m_tree->NodeAdded(node);
    return node;
}

void TTreeNodes::Renumber(int from)
{
    for (std::size_t i = std::size_t(std::max(from, 0)); i < m_nodes.size(); ++i)
        m_nodes[i]->m_absolute_index = int(i);
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node || node->Owner() != this)
        return;
    m_tree->NodeDeleting(node);
    int first = node->m_absolute_index;
    int last = first + node->m_descendants; // inclusive
    TTreeNode* parent = node->m_parent;
    std::vector<TTreeNode*>& siblings = parent ? parent->m_children : m_roots;
    siblings.erase(siblings.begin() + node->m_sibling_index);
    for (std::size_t i = std::size_t(node->m_sibling_index); i < siblings.size(); ++i)
        siblings[i]->m_sibling_index = int(i);
    for (TTreeNode* p = parent; p; p = p->m_parent)
        p->m_descendants -= last - first + 1;
    if (parent && parent->m_children.empty())
        parent->m_expanded = false;
    m_nodes.erase(m_nodes.begin() + first, m_nodes.begin() + last + 1);
    Renumber(first);
    Changed();
}

void TTreeNodes::Clear()
{
    if (m_nodes.empty())
        return;
    m_tree->NodeDeleting(nullptr);
    m_roots.clear();
    m_nodes.clear();
    Changed();
}

void TTreeNodes::BeginUpdate()
{
    ++m_update_count;
}

void TTreeNodes::EndUpdate()
{
    if (m_update_count > 0 && --m_update_count == 0)
        Changed();
}

void TTreeNodes::Changed()
{
    m_tree->NodesChanged();
}
