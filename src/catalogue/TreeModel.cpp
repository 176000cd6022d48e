#include "catalogue/TreeModel.h"

#include "framework/Exception.h"

namespace Catalogue {

int TreeModel::Add(int parent, std::string caption)
{
    int level = 0;
    if (parent != -1) {
        // The parent must be the last node or one of its ancestors; anywhere else the new node
        // would not come last in absolute order.
        int ancestor = Count() - 1;
        while (ancestor != -1 && ancestor != parent)
            ancestor = m_nodes[std::size_t(ancestor)].Parent;
        if (ancestor == -1 || parent < 0)
            throw EInvalidOperation(Format("Tree node %d cannot take a child at the end of the tree", parent));
        level = m_nodes[std::size_t(parent)].Level + 1;
    }
    m_nodes.push_back(TreeNode { std::move(caption), level, parent });
    return Count() - 1;
}

bool TreeModel::HasChildren(int index) const
{
    return index >= 0 && index + 1 < Count() && m_nodes[std::size_t(index + 1)].Parent == index;
}

} // namespace Catalogue
