#include "HeadlessForm.h"

#include "framework/TTreeView.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Reading order, worked out from the parent and child links alone.
void Walk(const std::vector<TTreeNode*>& siblings, bool shown, std::vector<TTreeNode*>& all,
    std::vector<TTreeNode*>& rows)
{
    for (TTreeNode* node : siblings) {
        all.push_back(node);
        if (shown)
            rows.push_back(node);
        std::vector<TTreeNode*> children;
        for (int i = 0; i < node->Count(); ++i)
            children.push_back(node->Item(i));
        Walk(children, shown && node->Expanded(), all, rows);
    }
}

// Random additions anywhere, deletions, expanding, selecting, keys and scrolling; after every step
// the stored order, counts, rows and scroll state must agree with a walk of the links.
TEST(TreeViewRandom, StorageRowsAndScrollStateAgreeWithTheLinks)
{
    HeadlessForm ui(200, 200);
    auto* tree = ui.Add<TTreeView>(0, 0, 150, 8 * 16);
    tree->SetItemHeight(16);
    tree->SetFocus();
    TTreeNodes& items = tree->Items();
    std::mt19937 random(20261208);
    auto pick = [&]() -> TTreeNode* {
        if (items.Count() == 0 || random() % 8 == 0)
            return nullptr;
        return items[int(random() % unsigned(items.Count()))];
    };
    const int keys[] = { VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_PRIOR, VK_NEXT };
    int changes = 0;
    tree->OnChange = [&](TObject*, TTreeNode* node) {
        ++changes;
        EXPECT_EQ(node, tree->Selected());
    };

    for (int step = 0; step < 3000; ++step) {
        std::string text = "n" + std::to_string(step);
        switch (random() % 12) {
        case 0:
        case 1:
        case 2:
            items.AddChild(pick(), text);
            break;
        case 3:
            items.Add(pick(), text);
            break;
        case 4:
            items.Insert(pick(), text);
            break;
        case 5:
            items.AddChildFirst(pick(), text);
            break;
        case 6:
            if (random() % 4 == 0)
                items.Delete(pick());
            break;
        case 7:
            if (TTreeNode* node = pick())
                node->SetExpanded(!node->Expanded());
            break;
        case 8:
            tree->SetSelected(pick());
            break;
        case 9:
            ui.Key(keys[random() % 8]);
            break;
        case 10:
            tree->SetVertScrollPosition(int(random() % 50) - 5);
            break;
        case 11:
            if (random() % 50 == 0)
                items.Clear();
            else
                ui.Click(int(random() % 150), int(random() % 128));
            break;
        }

        std::vector<TTreeNode*> all, rows;
        Walk(items.Roots(), true, all, rows);
        ASSERT_EQ(int(all.size()), items.Count()) << "step " << step;
        for (int i = 0; i < items.Count(); ++i) {
            ASSERT_EQ(items[i], all[std::size_t(i)]) << "step " << step;
            ASSERT_EQ(all[std::size_t(i)]->AbsoluteIndex(), i);
            TTreeNode* node = all[std::size_t(i)];
            ASSERT_EQ(node->Level(), node->Parent() ? node->Parent()->Level() + 1 : 0);
            ASSERT_EQ(node->DescendantCount() + 1 + i,
                node->GetNextSibling() ? node->GetNextSibling()->AbsoluteIndex() : [&] {
                    // the end of the subtree: the next sibling of the nearest ancestor that has one
                    for (TTreeNode* p = node->Parent(); p; p = p->Parent())
                        if (p->GetNextSibling())
                            return p->GetNextSibling()->AbsoluteIndex();
                    return items.Count();
                }());
        }
        ASSERT_EQ(tree->RowCount(), int(rows.size())) << "step " << step;
        for (std::size_t r = 0; r < rows.size(); ++r)
            ASSERT_EQ(tree->RowOf(rows[r]), int(r));
        TScrollInfo vertical = tree->VertScrollInfo();
        ASSERT_GE(vertical.position, 0);
        ASSERT_LE(vertical.position, std::max(0, int(rows.size()) - 8));
        if (!rows.empty()) {
            ASSERT_EQ(tree->TopItem(), rows[std::size_t(vertical.position)]);
        }
        if (TTreeNode* selected = tree->Selected()) {
            ASSERT_GE(tree->RowOf(selected), 0) << "the selection is always shown";
        }
        if (step % 100 == 0)
            ui.Pump();
    }
    EXPECT_GT(changes, 100);
}

} // namespace
