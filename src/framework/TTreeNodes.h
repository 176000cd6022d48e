#pragma once

#include "framework/TTreeNode.h"

#include <memory>
#include <string>
#include <vector>

class TTreeView;

// The nodes of a tree view, stored in absolute order. Adding behind the last node (the way trees
// are filled, parent first and children in order) is constant time; adding anywhere else moves the
// nodes behind the new one.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* tree)
        : m_tree(tree)
    {
    }
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TTreeView* Owner() const { return m_tree; }
    int Count() const { return int(m_nodes.size()); }
    // The node with this absolute index; throws EListError when there is none.
    TTreeNode* Item(int absolute_index) const;
    TTreeNode* operator[](int absolute_index) const { return Item(absolute_index); }
    TTreeNode* GetFirstNode() const { return m_nodes.empty() ? nullptr : m_nodes.front().get(); }
    const std::vector<TTreeNode*>& Roots() const { return m_roots; }

    // A new last sibling of `sibling` (a new last root when null).
    TTreeNode* Add(TTreeNode* sibling, std::string text);
    TTreeNode* AddObject(TTreeNode* sibling, std::string text, void* data);
    // A new first sibling of `sibling` (a new first root when null).
    TTreeNode* AddFirst(TTreeNode* sibling, std::string text);
    // A new last child of `parent` (a new last root when null).
    TTreeNode* AddChild(TTreeNode* parent, std::string text);
    TTreeNode* AddChildObject(TTreeNode* parent, std::string text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, std::string text);
    // A new node just before `sibling` (a new last root when null).
    TTreeNode* Insert(TTreeNode* sibling, std::string text);

    void Delete(TTreeNode* node);
    void Clear();

    // While updating, the tree view neither repaints nor recomputes its rows.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_update_count > 0; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* InsertNode(TTreeNode* parent, int child_position, std::string text, void* data);
    void Renumber(int from);
    // Throws EInvalidOperation for a node of another tree.
    void CheckOwned(const TTreeNode* node) const;
    void Changed();

    TTreeView* m_tree;
    std::vector<std::unique_ptr<TTreeNode>> m_nodes; // absolute order
    std::vector<TTreeNode*> m_roots;
    int m_update_count { 0 };
};
