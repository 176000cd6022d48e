#pragma once

#include <string>
#include <vector>

namespace Catalogue {

struct TreeNode {
    std::string Caption;
    int Level { 0 };   // 0 for a root
    int Parent { -1 }; // absolute index of the parent, -1 for a root

    bool operator==(const TreeNode&) const = default;
};

// The content of a tree view, built before the control exists: nodes in absolute-index order (the
// order in which the control lists them when every node is expanded). Nodes are only ever appended
// behind the last node, under the last node or one of its ancestors, so the index a node gets when
// it is added stays its index; the window adds them to its control in this order, each under the
// node its Parent names.
class TreeModel {
public:
    // Appends a node under `parent` (-1: a new root) and returns its absolute index.
    int Add(int parent, std::string caption);
    int Count() const { return int(m_nodes.size()); }
    const TreeNode& Node(int index) const { return m_nodes.at(std::size_t(index)); }
    const std::vector<TreeNode>& Nodes() const { return m_nodes; }
    bool HasChildren(int index) const;
    void Clear() { m_nodes.clear(); }

    bool operator==(const TreeModel&) const = default;

private:
    std::vector<TreeNode> m_nodes;
};

} // namespace Catalogue
