#include "HeadlessForm.h"

#include "framework/Exception.h"
#include "framework/TTreeView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int TreeLeft = 10;
constexpr int TreeTop = 10;
constexpr int Row = 16; // item height the tests set
constexpr int Rows = 10; // fully visible rows
constexpr TColor Grey = 11840160;

// A tree on a form with a log of its events: "change:NODE", "click", "dblclick", "key:CODE".
struct TreeFixture : testing::Test {
    HeadlessForm ui { 320, 240 };
    TTreeView* tree { ui.Add<TTreeView>(TreeLeft, TreeTop, 150, Rows * Row, "Tree") };
    std::vector<std::string> log;

    TreeFixture()
    {
        tree->SetItemHeight(Row);
        tree->SetIndent(16);
        tree->SetShowLines(false);
        tree->SetReadOnly(true);
        tree->OnChange = [this](TObject* sender, TTreeNode* node) {
            EXPECT_EQ(sender, tree);
            log.push_back("change:" + (node ? node->Text() : std::string("none")));
        };
        tree->OnClick = [this](TObject*) { log.push_back("click"); };
        tree->OnDblClick = [this](TObject*) { log.push_back("dblclick"); };
        tree->OnKeyDown = [this](TObject*, int& key, TShiftState) { log.push_back("key:" + std::to_string(key)); };
    }

    // Roots A, B, C; A has a0 ... a{n-1}; B has b0 with b00, b01; C has none.
    void Fill(int a_children = 3)
    {
        TTreeNode* a = tree->Items().Add(nullptr, "A");
        for (int i = 0; i < a_children; ++i)
            tree->Items().AddChild(a, "a" + std::to_string(i));
        TTreeNode* b = tree->Items().Add(a, "B");
        TTreeNode* b0 = tree->Items().AddChild(b, "b0");
        tree->Items().AddChild(b0, "b00");
        tree->Items().AddChild(b0, "b01");
        tree->Items().Add(b, "C");
        ui.Pump();
    }
    TTreeNode* Node(const std::string& text)
    {
        for (int i = 0; i < tree->Items().Count(); ++i)
            if (tree->Items()[i]->Text() == text)
                return tree->Items()[i];
        ADD_FAILURE() << "no node " << text;
        return nullptr;
    }
    // Window point on the caption of the node in visible row `row` (level `level`).
    static Point Caption(int row, int level = 0) { return { TreeLeft + (level + 1) * 16 + 6, TreeTop + row * Row + Row / 2 }; }
    static Point Button(int row, int level = 0) { return { TreeLeft + level * 16 + 7, TreeTop + row * Row + Row / 2 }; }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
};

using testing::ElementsAre;
using testing::IsEmpty;

TEST_F(TreeFixture, NodesKeepTheirAbsoluteIndexesLevelsAndParents)
{
    Fill();
    const TTreeNodes& items = tree->Items();
    ASSERT_EQ(items.Count(), 9);
    std::vector<std::string> order;
    for (int i = 0; i < items.Count(); ++i) {
        EXPECT_EQ(items[i]->AbsoluteIndex(), i);
        order.push_back(items[i]->Text() + "/" + std::to_string(items[i]->Level()));
    }
    EXPECT_THAT(order, ElementsAre("A/0", "a0/1", "a1/1", "a2/1", "B/0", "b0/1", "b00/2", "b01/2", "C/0"));
    TTreeNode* b0 = Node("b0");
    EXPECT_EQ(b0->Parent(), Node("B"));
    EXPECT_EQ(b0->Count(), 2);
    EXPECT_EQ(b0->Item(1)->Text(), "b01");
    EXPECT_EQ(b0->Item(2), nullptr);
    EXPECT_EQ(Node("a1")->GetNextSibling()->Text(), "a2");
    EXPECT_EQ(Node("a0")->GetPrevSibling(), nullptr);
    EXPECT_EQ(Node("B")->Index(), 1);
    EXPECT_TRUE(Node("b01")->HasAsParent(Node("B")));
    EXPECT_FALSE(Node("C")->HasChildren());
    EXPECT_THROW(items[9], EListError);
    EXPECT_THROW(items[-1], EListError);
}

TEST_F(TreeFixture, AddingInsideTheTreeMovesTheNodesBehind)
{
    Fill();
    // A child of A goes behind a2, before B; a first root goes in front of everything.
    tree->Items().AddChild(Node("A"), "a3");
    tree->Items().AddFirst(Node("A"), "Z");
    tree->Items().Insert(Node("b00"), "b0x");
    std::vector<std::string> order;
    for (int i = 0; i < tree->Items().Count(); ++i) {
        EXPECT_EQ(tree->Items()[i]->AbsoluteIndex(), i);
        order.push_back(tree->Items()[i]->Text());
    }
    EXPECT_THAT(order, ElementsAre("Z", "A", "a0", "a1", "a2", "a3", "B", "b0", "b0x", "b00", "b01", "C"));
    EXPECT_EQ(Node("b00")->Index(), 1);

    tree->Items().Delete(Node("A"));
    order.clear();
    for (int i = 0; i < tree->Items().Count(); ++i) {
        EXPECT_EQ(tree->Items()[i]->AbsoluteIndex(), i);
        order.push_back(tree->Items()[i]->Text());
    }
    EXPECT_THAT(order, ElementsAre("Z", "B", "b0", "b0x", "b00", "b01", "C"));
    EXPECT_EQ(Node("B")->Index(), 1);
    EXPECT_EQ(tree->Items().Roots().size(), 3u);
}

TEST_F(TreeFixture, BuildingALargeTreeInOrderStaysLinear)
{
    // The shape of a big disc's photo tree: years, countries, places; 200,000 nodes.
    auto started = std::chrono::steady_clock::now();
    TTreeNodes& items = tree->Items();
    TTreeNode* root = items.Add(nullptr, "Year");
    for (int y = 0; y < 100; ++y) {
        TTreeNode* year = items.AddChild(root, std::to_string(1900 + y));
        for (int c = 0; c < 40; ++c) {
            TTreeNode* country = items.AddChild(year, "country " + std::to_string(c));
            for (int p = 0; p < 49; ++p)
                items.AddChild(country, "place " + std::to_string(p));
        }
    }
    ASSERT_EQ(items.Count(), 1 + 100 * (1 + 40 * 50));
    EXPECT_EQ(items[items.Count() - 1]->Text(), "place 48");
    EXPECT_EQ(items[items.Count() - 1]->Level(), 3);
    root->Expand(true); // every node shown: 200,101 rows
    EXPECT_EQ(tree->RowCount(), items.Count());
    EXPECT_EQ(tree->RowOf(items[150000]), 150000);
    tree->SetSelected(items[150000]);
    ui.Pump();
    EXPECT_EQ(tree->TopItem()->AbsoluteIndex(), 150000 - Rows + 1);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 20.0); // quadratic work would take hours
}

TEST_F(TreeFixture, MousePressSelectsAndTheReleaseClicks)
{
    Fill();
    ui.Press(Caption(2).x, Caption(2).y);
    EXPECT_THAT(TakeLog(), ElementsAre("change:C"));
    EXPECT_EQ(tree->Selected(), Node("C"));
    EXPECT_TRUE(tree->Focused());
    ui.Release(Caption(2).x, Caption(2).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click"));

    // The selected node again: a click, no change. Right of a caption selects too.
    ui.Click(Caption(2).x, Caption(2).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click"));
    ui.Click(TreeLeft + 140, Caption(1).y);
    EXPECT_THAT(TakeLog(), ElementsAre("change:B", "click"));
    // Below the last row, and the right button: no selection change.
    ui.Click(Caption(0).x, TreeTop + 8 * Row);
    ui.RightClick(Caption(0).x, Caption(0).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click"));
    EXPECT_EQ(tree->Selected(), Node("B"));
}

TEST_F(TreeFixture, ButtonsExpandAndCollapseWithoutSelecting)
{
    Fill();
    ASSERT_EQ(tree->RowCount(), 3);
    ui.Click(Button(0).x, Button(0).y);
    EXPECT_TRUE(Node("A")->Expanded());
    EXPECT_EQ(tree->RowCount(), 6);
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_THAT(TakeLog(), ElementsAre("click"));
    // B is now in row 4; its button, then b0's (level 1) in row 5.
    ui.Click(Button(4).x, Button(4).y);
    ui.Click(Button(5, 1).x, Button(5, 1).y);
    EXPECT_EQ(tree->RowCount(), 9);
    EXPECT_EQ(tree->RowNode(7)->Text(), "b01");
    // Collapsing B hides b0 and its children but keeps b0 expanded for the next time.
    ui.Click(Button(4).x, Button(4).y);
    EXPECT_EQ(tree->RowCount(), 6);
    EXPECT_TRUE(Node("b0")->Expanded());
    EXPECT_FALSE(Node("b01")->IsVisible());
    EXPECT_EQ(tree->RowOf(Node("b01")), -1);
    EXPECT_TRUE(Node("b01")->DisplayRect(true).IsEmpty());
    // A leaf has no button: a press in its indent does nothing.
    Node("C")->Expand(false);
    EXPECT_FALSE(Node("C")->Expanded());
}

TEST_F(TreeFixture, CollapsingAboveTheSelectionMovesItToTheCollapsedNode)
{
    Fill();
    Node("b01")->MakeVisible();
    tree->SetSelected(Node("b01"));
    EXPECT_THAT(TakeLog(), ElementsAre("change:b01"));
    Node("B")->Collapse(false);
    EXPECT_EQ(tree->Selected(), Node("B"));
    EXPECT_THAT(TakeLog(), ElementsAre("change:B"));
    // Collapsing elsewhere leaves it.
    Node("A")->Expand(false);
    Node("A")->Collapse(false);
    EXPECT_THAT(TakeLog(), IsEmpty());
}

TEST_F(TreeFixture, DoubleClickOnACaptionTogglesItsNode)
{
    Fill();
    ui.DoubleClick(Caption(0).x, Caption(0).y);
    EXPECT_THAT(TakeLog(), ElementsAre("change:A", "click", "dblclick"));
    EXPECT_TRUE(Node("A")->Expanded());
    ui.DoubleClick(Caption(0).x, Caption(0).y);
    EXPECT_FALSE(Node("A")->Expanded());
    EXPECT_THAT(TakeLog(), ElementsAre("click", "dblclick"));
}

TEST_F(TreeFixture, KeysMoveTheSelectionAndReportAChangeButNoClick)
{
    Fill();
    tree->SetFocus();
    ui.Key(VK_DOWN); // nothing selected: the top row
    EXPECT_EQ(tree->Selected(), Node("A"));
    ui.Key(VK_RIGHT); // expands A
    EXPECT_TRUE(Node("A")->Expanded());
    ui.Key(VK_RIGHT); // to its first child
    EXPECT_EQ(tree->Selected(), Node("a0"));
    ui.Key(VK_DOWN);
    ui.Key(VK_DOWN);
    ui.Key(VK_DOWN);
    EXPECT_EQ(tree->Selected(), Node("B"));
    ui.Key(VK_UP);
    EXPECT_EQ(tree->Selected(), Node("a2"));
    ui.Key(VK_LEFT); // a leaf: to the parent
    EXPECT_EQ(tree->Selected(), Node("A"));
    ui.Key(VK_LEFT); // expanded: collapses
    EXPECT_FALSE(Node("A")->Expanded());
    EXPECT_EQ(tree->Selected(), Node("A"));
    ui.Key(VK_END);
    EXPECT_EQ(tree->Selected(), Node("C"));
    ui.Key(VK_DOWN); // at the end: no change
    ui.Key(VK_HOME);
    EXPECT_EQ(tree->Selected(), Node("A"));
    EXPECT_THAT(TakeLog(),
        ElementsAre("key:40", "change:A", "key:39", "key:39", "change:a0", "key:40", "change:a1", "key:40",
            "change:a2", "key:40", "change:B", "key:38", "change:a2", "key:37", "change:A", "key:37", "key:35",
            "change:C", "key:40", "key:36", "change:A"));
}

TEST_F(TreeFixture, TypedLetterSelectsTheNextShownNodeStartingWithIt)
{
    Fill();
    tree->SetFocus();
    ui.Key('B', 0, 'b');
    EXPECT_EQ(tree->Selected(), Node("B"));
    ui.Key('B', 0, 'B'); // b0 is hidden: round to B again, no change
    Node("B")->Expand(false);
    ui.Key('B', 0, 'b');
    EXPECT_EQ(tree->Selected(), Node("b0"));
    ui.Key('Q', 0, 'q');
    ui.Key(VK_RETURN, 0, '\r');
    EXPECT_EQ(tree->Selected(), Node("b0"));
    EXPECT_THAT(TakeLog(), ElementsAre("key:66", "change:B", "key:66", "key:66", "change:b0", "key:81", "key:13"));
}

TEST_F(TreeFixture, KeyDownHandlerCanStopTheKey)
{
    Fill();
    tree->SetFocus();
    tree->SetSelected(Node("A"));
    tree->OnKeyDown = [](TObject*, int& key, TShiftState) {
        if (key == VK_DOWN)
            key = 0;
    };
    ui.Key(VK_DOWN);
    EXPECT_EQ(tree->Selected(), Node("A"));
    ui.Key(VK_END);
    EXPECT_EQ(tree->Selected(), Node("C"));
}

TEST_F(TreeFixture, PagesMoveToTheEdgeOfTheViewThenByAPage)
{
    Fill(30);
    Node("A")->Expand(false); // 33 rows, 10 shown
    tree->SetFocus();
    tree->SetSelected(Node("A"));
    ui.Key(VK_NEXT);
    EXPECT_EQ(tree->Selected(), Node("a8")); // row 9, the last shown
    EXPECT_EQ(tree->TopItem(), Node("A"));
    ui.Key(VK_NEXT);
    EXPECT_EQ(tree->Selected(), Node("a17")); // nine rows on
    EXPECT_EQ(tree->RowOf(tree->TopItem()), 18 - Rows + 1);
    ui.Key(VK_PRIOR);
    EXPECT_EQ(tree->RowOf(tree->Selected()), tree->RowOf(tree->TopItem()));
    ui.Key(VK_PRIOR);
    EXPECT_EQ(tree->RowOf(tree->Selected()), 0);
}

TEST_F(TreeFixture, CtrlKeysScrollWithoutMovingTheSelection)
{
    Fill(30);
    Node("A")->Expand(false); // 33 rows
    tree->SetFocus();
    tree->SetSelected(Node("a0"));
    TakeLog();
    ui.Key(VK_DOWN, ssCtrl);
    ui.Key(VK_DOWN, ssCtrl);
    EXPECT_EQ(tree->VertScrollInfo().position, 2);
    ui.Key(VK_NEXT, ssCtrl);
    EXPECT_EQ(tree->VertScrollInfo().position, 2 + Rows);
    ui.Key(VK_END, ssCtrl);
    EXPECT_EQ(tree->VertScrollInfo().position, 33 - Rows);
    ui.Key(VK_UP, ssCtrl);
    EXPECT_EQ(tree->VertScrollInfo().position, 33 - Rows - 1);
    ui.Key(VK_HOME, ssCtrl);
    EXPECT_EQ(tree->VertScrollInfo().position, 0);
    EXPECT_EQ(tree->Selected(), Node("a0"));
    EXPECT_THAT(TakeLog(), ElementsAre("key:40", "key:40", "key:34", "key:35", "key:38", "key:36"));
}

TEST_F(TreeFixture, ExpandingPastTheVisibleRowsGivesAScrollRange)
{
    Fill(20);
    EXPECT_EQ(tree->VertScrollInfo(), (TScrollInfo { 0, 0, Rows, 0 }));
    Node("A")->Expand(false); // 23 rows
    EXPECT_EQ(tree->VertScrollInfo(), (TScrollInfo { 0, 22, Rows, 0 }));
    tree->SetVertScrollPosition(100); // clamped: the last row at the bottom
    EXPECT_EQ(tree->VertScrollInfo().position, 13);
    EXPECT_EQ(tree->TopItem(), Node("a12"));
    tree->SetVertScrollPosition(-4);
    EXPECT_EQ(tree->TopItem(), Node("A"));

    // Expanding a node near the bottom scrolls its children into view, the node staying shown.
    tree->SetVertScrollPosition(13); // rows 13..22: a12 .. a19, B, C
    ASSERT_EQ(tree->RowOf(Node("B")), 21);
    Node("B")->Expand(false); // b0 at row 22, still in sight: no scrolling
    EXPECT_EQ(tree->VertScrollInfo(), (TScrollInfo { 0, 23, Rows, 13 }));
    Node("b0")->Expand(false); // b00, b01 at rows 23, 24: up by two
    EXPECT_EQ(tree->VertScrollInfo(), (TScrollInfo { 0, 25, Rows, 15 }));
    EXPECT_EQ(tree->RowNode(24)->Text(), "b01");
    // A subtree taller than the view scrolls up only as far as its own node.
    Node("A")->Collapse(false);
    Node("B")->Collapse(false);
    tree->SetVertScrollPosition(0);
    Node("b0")->Collapse(false);
    for (int i = 0; i < 30; ++i)
        tree->Items().AddChild(Node("b0"), "more");
    Node("B")->Expand(true);
    EXPECT_EQ(tree->TopItem(), Node("B"));

    // Collapsing shrinks the range and pulls the top back.
    Node("B")->Collapse(false);
    EXPECT_EQ(tree->VertScrollInfo(), (TScrollInfo { 0, 0, Rows, 0 }));
}

TEST_F(TreeFixture, WheelScrollsThreeRowsPerStepAndLeavesTheSelection)
{
    Fill(30);
    Node("A")->Expand(false);
    tree->SetSelected(Node("a0"));
    TakeLog();
    ui.Wheel(-2, Caption(1).x, Caption(1).y); // toward the user: down
    EXPECT_EQ(tree->VertScrollInfo().position, 6);
    ui.Wheel(1, Caption(1).x, Caption(1).y);
    EXPECT_EQ(tree->VertScrollInfo().position, 3);
    ui.Wheel(-20, Caption(1).x, Caption(1).y);
    EXPECT_EQ(tree->VertScrollInfo().position, 33 - Rows);
    EXPECT_EQ(tree->Selected(), Node("a0"));
    EXPECT_THAT(TakeLog(), IsEmpty());
    // Clicking now hits the scrolled rows.
    ui.Click(Caption(0, 1).x, Caption(0, 1).y);
    EXPECT_EQ(tree->Selected(), tree->RowNode(33 - Rows));
}

TEST_F(TreeFixture, HorizontalStateFollowsTheWidestCaption)
{
    tree->SetBounds(TreeLeft, TreeTop, 80, Rows * Row);
    TTreeNode* root = tree->Items().Add(nullptr, "R");
    TTreeNode* wide = tree->Items().AddChild(root, std::string(40, 'W'));
    EXPECT_EQ(tree->HorzScrollInfo().max, 0);
    root->Expand(false);
    ui.Pump();
    TScrollInfo horizontal = tree->HorzScrollInfo();
    EXPECT_EQ(horizontal.max, wide->DisplayRect(true).right);
    EXPECT_GT(horizontal.max, 80);
    EXPECT_EQ(horizontal.page, 80);
    tree->SetHorzScrollPosition(30);
    EXPECT_EQ(tree->HorzScrollInfo().position, 30);
    EXPECT_EQ(wide->DisplayRect(true).left, 32 - 30);
    tree->SetHorzScrollPosition(10000);
    EXPECT_EQ(tree->HorzScrollInfo().position, horizontal.max - 80);
}

TEST_F(TreeFixture, DeletingTheSelectedNodeSelectsANeighbour)
{
    Fill();
    tree->SetSelected(Node("B"));
    TakeLog();
    tree->Items().Delete(Node("B"));
    EXPECT_EQ(tree->Selected(), Node("C"));
    EXPECT_THAT(TakeLog(), ElementsAre("change:C"));
    tree->Items().Clear();
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->RowCount(), 0);
    EXPECT_THAT(TakeLog(), ElementsAre("change:none"));
    ui.Key(VK_DOWN); // an empty tree takes keys and paints without trouble
    ui.Click(Caption(0).x, Caption(0).y);
}

// ---- Painting -----------------------------------------------------------------------------------

TEST_F(TreeFixture, PaintsBackgroundButtonsAndTheFocusedSelection)
{
    tree->SetColor(Grey);
    Fill();
    tree->SetFocus();
    tree->SetSelected(Node("B"));
    ui.Pump();
    Rect whole = Rect::FromSize(TreeLeft, TreeTop, 150, Rows * Row);
    Rect empty_rows = Rect::FromSize(TreeLeft, TreeTop + 3 * Row, 150, 7 * Row);
    EXPECT_EQ(ui.CountColor(empty_rows, Grey), empty_rows.Width() * empty_rows.Height());
    // A's button: a grey frame with a plus in the window-text colour.
    Point button = Button(0);
    EXPECT_EQ(ui.ColorAt(button.x - 4, button.y), clGray);
    EXPECT_EQ(ui.ColorAt(button.x, button.y - 2), clBlack);
    EXPECT_EQ(ui.ColorAt(button.x, button.y), clBlack);
    // C has no button.
    EXPECT_EQ(ui.CountColor(Rect::FromSize(TreeLeft, TreeTop + 2 * Row, 16, Row), Grey), 16 * Row);
    // The selected caption stands on the highlight colour; the others do not.
    Rect b_label = Node("B")->DisplayRect(true).Translated(TreeLeft, TreeTop);
    TColor highlight = ColorToRGB(clHighlight) & 0xFFFFFF;
    EXPECT_GT(ui.CountColor(b_label, highlight), b_label.Width() * b_label.Height() / 2);
    EXPECT_EQ(ui.CountColor(whole, highlight), ui.CountColor(b_label, highlight));
    // Expanding draws a minus and the children.
    Node("A")->Expand(false);
    ui.Pump();
    EXPECT_EQ(ui.ColorAt(button.x, button.y - 2), Grey);
    EXPECT_EQ(ui.ColorAt(button.x, button.y), clBlack);
}

TEST_F(TreeFixture, UnfocusedSelectionIsNotHighlighted)
{
    Fill();
    tree->SetSelected(Node("A"));
    ui.Pump();
    ASSERT_FALSE(tree->Focused());
    Rect whole = Rect::FromSize(TreeLeft, TreeTop, 150, Rows * Row);
    EXPECT_EQ(ui.CountColor(whole, clHighlight), 0);
    tree->SetHideSelection(false);
    ui.Pump();
    EXPECT_GT(ui.CountColor(whole, clBtnFace), 0);
}

TEST_F(TreeFixture, LinesJoinNodesWhenShown)
{
    Fill();
    Node("A")->Expand(false);
    ui.Pump();
    Rect columns = Rect::FromSize(TreeLeft, TreeTop, 16, 5 * Row);
    int without = ui.CountColor(columns, clGray);
    tree->SetShowLines(true);
    ui.Pump();
    EXPECT_GT(ui.CountColor(columns, clGray), without + 20);
}

struct DrawCall {
    std::string node;
    TCustomDrawState state;
    std::string stage;
};

TEST_F(TreeFixture, CustomDrawHandlersRunInOrderWithTheNodeStates)
{
    Fill();
    tree->SetFocus();
    tree->SetSelected(Node("B"));
    std::vector<DrawCall> calls;
    tree->OnCustomDraw = [&](TTreeView* sender, const Rect& rect, bool& default_draw) {
        EXPECT_EQ(sender, tree);
        EXPECT_EQ(rect, tree->ClientRect());
        EXPECT_TRUE(default_draw);
        calls.push_back({ "", 0, "tree" });
    };
    tree->OnCustomDrawItem = [&](TTreeView*, TTreeNode* node, TCustomDrawState state, bool&) {
        calls.push_back({ node->Text(), state, "item" });
    };
    tree->OnAdvancedCustomDrawItem
        = [&](TTreeView*, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage, bool& images, bool&) {
              EXPECT_TRUE(images);
              calls.push_back({ node->Text(), state, stage == cdPrePaint ? "pre" : stage == cdPostPaint ? "post" : "?" });
          };
    tree->Invalidate();
    ui.Pump();
    std::vector<std::string> seen;
    for (const DrawCall& call : calls)
        seen.push_back(call.stage + ":" + call.node + ":" + std::to_string(call.state));
    const std::string selected = std::to_string(cdsSelected | cdsFocused);
    EXPECT_THAT(seen,
        ElementsAre("tree::0", "item:A:0", "pre:A:0", "post:A:0", "item:B:" + selected, "pre:B:" + selected,
            "post:B:" + selected, "item:C:0", "pre:C:0", "post:C:0"));
}

TEST_F(TreeFixture, CustomDrawCanSkipTheTreeOrANode)
{
    tree->SetColor(clWhite);
    Fill();
    Rect whole = Rect::FromSize(TreeLeft, TreeTop, 150, Rows * Row);
    int all_ink = whole.Width() * whole.Height() - ui.CountColor(whole, clWhite);
    ASSERT_GT(all_ink, 0);

    bool skip_c = true;
    tree->OnCustomDrawItem = [&](TTreeView*, TTreeNode* node, TCustomDrawState, bool& default_draw) {
        if (node->Text() == "C")
            default_draw = !skip_c;
    };
    int post_calls = 0;
    tree->OnAdvancedCustomDrawItem = [&](TTreeView*, TTreeNode*, TCustomDrawState, TCustomDrawStage stage, bool&, bool&) {
        post_calls += stage == cdPostPaint;
    };
    tree->Invalidate();
    ui.Pump();
    Rect c_row = Rect::FromSize(TreeLeft, TreeTop + 2 * Row, 150, Row);
    EXPECT_EQ(ui.CountColor(c_row, clWhite), c_row.Width() * c_row.Height());
    EXPECT_EQ(post_calls, 2); // a skipped node gets no post-paint call

    tree->OnCustomDraw = [](TTreeView*, const Rect&, bool& default_draw) { default_draw = false; };
    tree->Invalidate();
    ui.Pump();
    EXPECT_EQ(ui.CountColor(whole, clWhite), whole.Width() * whole.Height());
}

// The owner drawing the window gives its trees: a grey background, black captions, the selected one
// bold, and the highlight behind it painted over after the node is drawn.
TEST_F(TreeFixture, PrePaintFontsAndPostPaintOverdrawReplaceTheHighlight)
{
    tree->SetColor(Grey);
    Fill();
    tree->SetFocus();
    tree->SetSelected(Node("B"));
    tree->OnCustomDraw = [&](TTreeView*, const Rect& rect, bool& default_draw) {
        tree->Canvas().Brush().Color = Grey;
        tree->Canvas().Brush().Style = TBrushStyle::bsSolid;
        tree->Canvas().FillRect(rect);
        default_draw = true;
    };
    tree->OnCustomDrawItem = [&](TTreeView*, TTreeNode*, TCustomDrawState state, bool& default_draw) {
        TFont& font = tree->Canvas().Font();
        font.SetStyle(state & cdsSelected ? unsigned(fsBold) : 0u);
        font.SetSize(state & cdsSelected ? 10 : 9);
        font.SetColor(clBlack);
        default_draw = true;
    };
    std::vector<int> bold_widths;
    tree->OnAdvancedCustomDrawItem
        = [&](TTreeView*, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage, bool&, bool&) {
              if (stage == cdPrePaint || !(state & cdsSelected))
                  return;
              TCanvas& canvas = tree->Canvas();
              EXPECT_EQ(canvas.Font().Style(), unsigned(fsBold)); // what pre-paint chose
              canvas.Brush().Color = Grey;
              Rect r = node->DisplayRect(true);
              bold_widths.push_back(r.Width());
              canvas.FrameRect(r);
              canvas.FillRect(r);
              canvas.TextOut(r.left, r.top, node->Text());
          };
    tree->Invalidate();
    ui.Pump();
    Rect whole = Rect::FromSize(TreeLeft, TreeTop, 150, Rows * Row);
    EXPECT_EQ(ui.CountColor(whole, clHighlight), 0);
    EXPECT_EQ(ui.CountColor(whole, clWindow), 0);
    // The selected caption is written in black, bold: wider than the regular one would be.
    Rect b_label = Node("B")->DisplayRect(true).Translated(TreeLeft, TreeTop);
    EXPECT_GT(ui.CountColor(b_label, clBlack), 10);
    ASSERT_EQ(bold_widths.size(), 1u);
    TFont bold;
    bold.SetSize(10);
    bold.SetStyle(fsBold);
    EXPECT_EQ(bold_widths[0], bold.Face().TextWidth("B") + 4);
}

TEST_F(TreeFixture, AHandlerThatChangesTheTreeWhilePaintingIsSafe)
{
    Fill();
    tree->OnCustomDrawItem = [&](TTreeView*, TTreeNode* node, TCustomDrawState, bool&) {
        if (node->Text() == "B")
            tree->Items().Delete(node);
    };
    tree->Invalidate();
    ui.Pump();
    EXPECT_EQ(tree->Items().Count(), 5);
    EXPECT_EQ(tree->RowCount(), 2);
}

} // namespace

namespace {

TEST(TreeViewEdges, ATreeTooSmallForARowOrWithoutAFormStaysUsable)
{
    HeadlessForm ui(200, 100);
    auto* tree = ui.Add<TTreeView>(0, 0, 100, 5);
    TTreeNode* a = tree->Items().Add(nullptr, "a");
    for (int i = 0; i < 5; ++i)
        tree->Items().AddChild(a, "child");
    a->Expand(false);
    EXPECT_EQ(tree->VisibleCount(), 0);
    tree->SetSelected(a->GetLastChild());
    EXPECT_EQ(tree->TopItem(), a->GetLastChild());
    tree->SetFocus();
    ui.Key(VK_NEXT);
    ui.Key(VK_PRIOR);
    ui.Wheel(-3, 5, 2);
    EXPECT_EQ(tree->VertScrollInfo().position, 5);
    ui.Pump();

    // A tree that was never put on a form keeps its nodes and selection.
    TTreeView loose(nullptr);
    TTreeNode* root = loose.Items().Add(nullptr, "root");
    loose.Items().AddChild(root, "leaf");
    loose.SetSelected(root->GetFirstChild());
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(loose.Selected()->AbsoluteIndex(), 1);

    // Nodes of another tree are refused.
    EXPECT_THROW(tree->Items().AddChild(root, "x"), EInvalidOperation);
    EXPECT_THROW(tree->Items().Insert(root, "x"), EInvalidOperation);
    EXPECT_THROW(tree->SetSelected(root), EInvalidOperation);
}

} // namespace

namespace {

// The photo tree is narrower than many place names: the post-paint overdraw frames a caption that
// runs past the tree's right edge, so one side of the frame lies wholly outside the clip.
TEST(TreeViewEdges, OverdrawingACaptionWiderThanTheTreeStaysInsideIt)
{
    HeadlessForm ui(300, 100);
    auto* tree = ui.Add<TTreeView>(10, 10, 60, 40);
    tree->SetColor(Grey);
    TTreeNode* node = tree->Items().Add(nullptr, "Alton Barnes, East Field, Wiltshire");
    tree->OnAdvancedCustomDrawItem = [&](TTreeView*, TTreeNode* n, TCustomDrawState, TCustomDrawStage stage, bool&, bool&) {
        if (stage != cdPostPaint)
            return;
        TCanvas& canvas = tree->Canvas();
        canvas.Brush().Color = clRed;
        Rect r = n->DisplayRect(true);
        canvas.FrameRect(r);
        canvas.FillRect(r);
    };
    tree->SetSelected(node);
    ui.Pump();
    Rect label = node->DisplayRect(true);
    ASSERT_GT(label.right, 60);
    EXPECT_EQ(ui.ColorAt(10 + label.left, 10 + label.top), clRed);
    EXPECT_EQ(ui.ColorAt(69, 10 + label.top), clRed);
    EXPECT_EQ(ui.CountColor(Rect::FromSize(70, 0, 230, 100), clRed), 0);
}

} // namespace
