#include "HeadlessForm.h"

#include "framework/TListBox.h"
#include "platform/Cp1251.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int ListLeft = 20;
constexpr int ListTop = 30;
constexpr int ItemH = 20;
constexpr int Rows = 5;

using testing::ElementsAre;
using testing::IsEmpty;

// A list of `count` items "item 0" ... on a form, with a log of its events.
struct ListFixture : testing::Test {
    HeadlessForm ui { 300, 200 };
    TListBox* list { ui.Add<TListBox>(ListLeft, ListTop, 120, Rows * ItemH, "List") };
    std::vector<std::string> log;

    ListFixture()
    {
        list->SetItemHeight(ItemH);
        list->OnClick = [this](TObject* sender) {
            EXPECT_EQ(sender, list);
            log.push_back("click:" + std::to_string(list->ItemIndex()));
        };
        list->OnDblClick = [this](TObject*) { log.push_back("dblclick:" + std::to_string(list->ItemIndex())); };
    }
    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            list->Items().Add("item " + std::to_string(i));
        list->ItemsChanged();
        ui.Pump();
    }
    // Window point in the visible row `row`.
    static Point RowPoint(int row) { return { ListLeft + 30, ListTop + row * ItemH + ItemH / 2 }; }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
};

TEST_F(ListFixture, ItemGeometryAndHitTesting)
{
    Fill(8);
    EXPECT_EQ(list->ItemRect(0), (Rect { 0, 0, 120, ItemH }));
    EXPECT_EQ(list->ItemRect(7), (Rect { 0, 7 * ItemH, 120, 8 * ItemH })); // below the view
    EXPECT_TRUE(list->ItemRect(8).IsEmpty());
    EXPECT_TRUE(list->ItemRect(-1).IsEmpty());
    EXPECT_EQ(list->ItemAtPos({ 5, 2 * ItemH + 3 }, true), 2);
    EXPECT_EQ(list->ItemAtPos({ -1, 3 }, true), -1);
    EXPECT_EQ(list->ItemAtPos({ 5, Rows * ItemH }, false), -1); // outside the client area
    list->SetTopIndex(3);
    EXPECT_EQ(list->ItemRect(3).top, 0);
    EXPECT_EQ(list->ItemAtPos({ 5, 1 }, true), 3);
    EXPECT_EQ(list->ItemAtPos({ 5, 4 * ItemH + 1 }, true), 7);

    // Below the last item: -1 for existing items only, else the count.
    list->Items().Clear();
    Fill(2);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(list->ItemAtPos({ 5, 3 * ItemH }, true), -1);
    EXPECT_EQ(list->ItemAtPos({ 5, 3 * ItemH }, false), 2);
}

TEST_F(ListFixture, ClickOnAnItemSelectsAndReportsIt)
{
    Fill(4);
    ui.Click(RowPoint(2).x, RowPoint(2).y);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_TRUE(list->Focused());
    ui.Click(RowPoint(2).x, RowPoint(2).y); // the selected item again: reported again
    ui.Click(RowPoint(4).x, RowPoint(4).y); // empty space: nothing
    EXPECT_EQ(list->ItemIndex(), 2);
    ui.Click(RowPoint(0).x, RowPoint(0).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click:2", "click:2", "click:0"));
    // Dragging with the button held moves the selection; the release reports where it ends.
    ui.Press(RowPoint(1).x, RowPoint(1).y);
    ui.Move(RowPoint(3).x, RowPoint(3).y);
    EXPECT_EQ(list->ItemIndex(), 3);
    ui.Release(RowPoint(3).x, RowPoint(3).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click:3"));
}

TEST_F(ListFixture, SettingTheIndexReportsNothingAndScrollsItIntoView)
{
    Fill(12);
    list->SetItemIndex(9);
    EXPECT_EQ(list->ItemIndex(), 9);
    EXPECT_EQ(list->TopIndex(), 9 - Rows + 1);
    list->SetItemIndex(1);
    EXPECT_EQ(list->TopIndex(), 1);
    list->SetItemIndex(12);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(3);
    list->Items().Clear();
    list->ItemsChanged();
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_THAT(TakeLog(), IsEmpty());
}

TEST_F(ListFixture, ArrowKeysMoveTheSelectionAndReportItAsAClick)
{
    Fill(12);
    list->SetFocus();
    ui.Key(VK_DOWN); // nothing selected: the first item
    ui.Key(VK_DOWN);
    ui.Key(VK_UP);
    ui.Key(VK_UP); // at the top: no report
    ui.Key(VK_END);
    EXPECT_EQ(list->TopIndex(), 12 - Rows);
    ui.Key(VK_DOWN); // at the bottom: no report
    ui.Key(VK_HOME);
    ui.Key(VK_NEXT); // the last item shown
    ui.Key(VK_NEXT); // then a page on
    ui.Key(VK_PRIOR); // the first item shown
    ui.Key(VK_RETURN); // not a moving key
    EXPECT_THAT(TakeLog(), ElementsAre("click:0", "click:1", "click:0", "click:11", "click:0", "click:4", "click:8",
        "click:4"));
    EXPECT_EQ(list->TopIndex(), 4);
}

TEST_F(ListFixture, KeyDownHandlerSeesTheKeyFirstAndCanStopIt)
{
    Fill(5);
    list->SetFocus();
    list->SetItemIndex(2);
    list->OnKeyDown = [this](TObject*, int& key, TShiftState) {
        log.push_back("key:" + std::to_string(key));
        if (key == VK_UP)
            key = 0;
    };
    ui.Key(VK_UP);
    EXPECT_EQ(list->ItemIndex(), 2);
    ui.Key(VK_DOWN);
    EXPECT_THAT(TakeLog(), ElementsAre("key:38", "key:40", "click:3"));
}

TEST_F(ListFixture, TypedLetterSelectsTheNextItemStartingWithIt)
{
    list->Items().Add(Utf8ToCp1251("Бета"));
    list->Items().Add(Utf8ToCp1251("альфа"));
    list->Items().Add(Utf8ToCp1251("Альфа 2"));
    list->ItemsChanged();
    list->SetFocus();
    ui.Key('A', 0, static_cast<unsigned char>(0xC0)); // "А" in Windows-1251
    EXPECT_EQ(list->ItemIndex(), 1);
    ui.Key('A', 0, static_cast<unsigned char>(0xE0)); // "а"
    EXPECT_EQ(list->ItemIndex(), 2);
    ui.Key('A', 0, static_cast<unsigned char>(0xE0));
    EXPECT_EQ(list->ItemIndex(), 1);
    ui.Key('Z', 0, 'z');
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_THAT(TakeLog(), ElementsAre("click:1", "click:2", "click:1"));
}

TEST_F(ListFixture, DoubleClickReportsAfterTheSelection)
{
    Fill(3);
    ui.DoubleClick(RowPoint(1).x, RowPoint(1).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click:1", "dblclick:1"));
    ui.DoubleClick(RowPoint(4).x, RowPoint(4).y); // below the items
    EXPECT_THAT(TakeLog(), IsEmpty());
    // A double-click press that lands on another item selects it first.
    ui.Click(RowPoint(0).x, RowPoint(0).y);
    ui.Send({ .type = WindowEvent::Type::DoubleClick, .x = RowPoint(2).x, .y = RowPoint(2).y, .button = 1 });
    ui.Release(RowPoint(2).x, RowPoint(2).y);
    EXPECT_THAT(TakeLog(), ElementsAre("click:0", "click:2", "dblclick:2"));
}

TEST_F(ListFixture, WheelScrollsThreeItemsPerStepWithinTheRange)
{
    Fill(20);
    EXPECT_EQ(list->VertScrollInfo(), (TScrollInfo { 0, 19, Rows, 0 }));
    ui.Wheel(-1, RowPoint(1).x, RowPoint(1).y);
    EXPECT_EQ(list->VertScrollInfo(), (TScrollInfo { 0, 19, Rows, 3 }));
    ui.Wheel(-2, RowPoint(1).x, RowPoint(1).y); // two notches go twice as far as one
    EXPECT_EQ(list->TopIndex(), 9);
    ui.Wheel(-50, RowPoint(1).x, RowPoint(1).y);
    EXPECT_EQ(list->TopIndex(), 20 - Rows);
    ui.Wheel(2, RowPoint(1).x, RowPoint(1).y);
    EXPECT_EQ(list->TopIndex(), 20 - Rows - 6);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetVertScrollPosition(1);
    EXPECT_EQ(list->TopIndex(), 1);
    ui.Click(RowPoint(0).x, RowPoint(0).y);
    EXPECT_EQ(list->ItemIndex(), 1);

    // Items that fit: no range, and the wheel does not move them.
    list->Items().Clear();
    Fill(Rows);
    EXPECT_EQ(list->VertScrollInfo(), (TScrollInfo { 0, 0, Rows, 0 }));
    ui.Wheel(-1, RowPoint(1).x, RowPoint(1).y);
    EXPECT_EQ(list->TopIndex(), 0);
}

struct Drawn {
    int index;
    Rect rect;
    TOwnerDrawState state;
    TColor brush;
    TColor ink;
};

TEST_F(ListFixture, OwnerDrawGetsEachShownItemWithItsState)
{
    Fill(8);
    list->SetTopIndex(2);
    list->SetItemIndex(3);
    std::vector<Drawn> drawn;
    list->OnDrawItem = [&](TWinControl* control, int index, Rect rect, TOwnerDrawState state) {
        EXPECT_EQ(control, list);
        TCanvas& canvas = list->Canvas();
        drawn.push_back({ index, rect, state, canvas.Brush().Color, canvas.Font().Color() });
        canvas.FillRect(rect);
    };
    list->Invalidate();
    ui.Pump();
    ASSERT_EQ(drawn.size(), std::size_t(Rows));
    for (int i = 0; i < Rows; ++i) {
        EXPECT_EQ(drawn[std::size_t(i)].index, 2 + i);
        EXPECT_EQ(drawn[std::size_t(i)].rect, Rect::FromSize(0, i * ItemH, 120, ItemH));
    }
    EXPECT_EQ(drawn[1].state, TOwnerDrawState(odSelected)); // not focused
    EXPECT_EQ(drawn[1].brush, clHighlight);
    EXPECT_EQ(drawn[1].ink, clHighlightText);
    EXPECT_EQ(drawn[0].state, 0u);
    EXPECT_EQ(drawn[0].brush, clWindow);
    EXPECT_EQ(drawn[0].ink, list->Font().Color());

    // Focused: the selected item also gets odFocused and a dotted frame over what the handler drew.
    drawn.clear();
    list->SetFocus();
    ui.Pump();
    auto focused = std::find_if(drawn.begin(), drawn.end(), [](const Drawn& d) { return d.index == 3; });
    ASSERT_NE(focused, drawn.end());
    EXPECT_EQ(focused->state, TOwnerDrawState(odSelected | odFocused));
    Rect item = list->ItemRect(3).Translated(ListLeft, ListTop);
    TColor highlight = ColorToRGB(clHighlight) & 0xFFFFFF;
    Rect inside { item.left + 1, item.top + 1, item.right - 1, item.bottom - 1 };
    EXPECT_EQ(ui.CountColor(inside, highlight), inside.Width() * inside.Height());
    EXPECT_LT(ui.CountColor(item, highlight), item.Width() * item.Height());
}

TEST_F(ListFixture, DefaultDrawingWritesTheCaptions)
{
    Fill(2);
    list->SetItemIndex(1);
    ui.Pump();
    Rect first = list->ItemRect(0).Translated(ListLeft, ListTop);
    Rect second = list->ItemRect(1).Translated(ListLeft, ListTop);
    int area = first.Width() * first.Height();
    int white = ui.CountColor(first, clWindow);
    EXPECT_LT(white, area); // text
    EXPECT_GT(white, area / 2);
    TColor highlight = ColorToRGB(clHighlight) & 0xFFFFFF;
    EXPECT_GT(ui.CountColor(second, highlight), area / 2);
    Rect below = Rect::FromSize(ListLeft, ListTop + 2 * ItemH, 120, 3 * ItemH);
    EXPECT_EQ(ui.CountColor(below, clWindow), below.Width() * below.Height());
}

TEST_F(ListFixture, PaintingNoticesItemsAddedWithoutNotice)
{
    Fill(3);
    list->SetItemIndex(2);
    list->Items().Delete(2);
    list->Items().Delete(1);
    list->Invalidate();
    ui.Pump(); // the paint sees the shorter list
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->VertScrollInfo(), (TScrollInfo { 0, 0, Rows, 0 }));
}

} // namespace

namespace {

TEST(ListBoxEdges, AListTooSmallForAnItemStaysUsable)
{
    HeadlessForm ui(200, 100);
    auto* list = ui.Add<TListBox>(0, 0, 100, 5);
    for (int i = 0; i < 4; ++i)
        list->Items().Add("x");
    list->ItemsChanged();
    list->SetFocus();
    ui.Key(VK_END);
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(list->TopIndex(), 3);
    ui.Key(VK_PRIOR); // a page of one item
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->TopIndex(), 2);
    ui.Wheel(1, 5, 2); // three rows up, as far as there are
    EXPECT_EQ(list->TopIndex(), 0);
    ui.Pump();
}

} // namespace
