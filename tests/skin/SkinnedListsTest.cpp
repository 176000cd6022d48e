#include "SkinTestSupport.h"

#include "framework/HeadlessForm.h"
#include "skin/StoredSkinLoader.h"
#include "skin/TbsSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsSkinTreeView.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> SkinFile(const char* name)
{
    std::ifstream in(std::string(VELMAR_SOURCE_DIR) + "/resources/skin/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A window with the program's skin loaded.
struct SkinnedWindow {
    HeadlessForm ui { 400, 600 };
    TbsStoredSkin* stored { ui.Form().Create<TbsStoredSkin>("bsStoredSkin1") };
    TbsSkinData* data { ui.Form().Create<TbsSkinData>("bsSkinData1") };

    void Load() { LoadStoredSkin(*stored, *data, SkinFile("skin.ini"), SkinFile("skin.pictures")); }
};

} // namespace

TEST(SkinnedListBox, ItemHeightComesFromTheSkinOrTheDefault)
{
    SkinnedWindow w;
    auto* list = w.ui.Add<TbsSkinListBox>(23, 56, 174, 449, "VideoListBox");
    list->SetDefaultItemHeight(18);
    EXPECT_EQ(list->ItemHeight(), 18);
    list->SetSkinData(w.data); // still empty
    w.Load();
    EXPECT_EQ(list->SkinIndex(), w.data->IndexOfControlRecord("listbox"));
    EXPECT_GE(list->SkinIndex(), 0);
    EXPECT_EQ(list->ItemHeight(), 22);
    EXPECT_EQ(list->StretchMode(), TbsStretchMode::Corners);
    // The inner list fills the fitted client rectangle.
    EXPECT_EQ(list->ListBox().BoundsRect(), (Rect { 1, 1, 173, 448 }));
    list->SetDefaultItemHeight(20); // skinned: only stored
    EXPECT_EQ(list->ItemHeight(), 22);
}

TEST(SkinnedListBox, TheVerticalBarComesAndGoesWithTheItems)
{
    SkinnedWindow w;
    w.Load();
    auto* list = w.ui.Add<TbsSkinListBox>(23, 56, 174, 450);
    list->SetSkinData(w.data);
    int rows = list->ListBox().Height() / list->ItemHeight();
    for (int i = 0; i < rows; ++i) {
        list->Items().Add("Clip " + std::to_string(i));
        list->ItemsChanged();
    }
    w.ui.Pump();
    EXPECT_EQ(list->VerticalBar(), nullptr);
    list->Items().Add("One too many");
    list->ItemsChanged();
    ASSERT_NE(list->VerticalBar(), nullptr);
    EXPECT_TRUE(list->VerticalBar()->Visible());
    EXPECT_EQ(list->VerticalBar()->SkinDataName(), "vscrollbar");
    EXPECT_EQ(list->VerticalBar()->Width(), 18);
    EXPECT_EQ(list->VerticalBar()->PageSize(), rows);
    EXPECT_EQ(list->VerticalBar()->Max(), rows);
    EXPECT_EQ(list->ListBox().Width(), 172 - 18);
    w.ui.Pump();
    // Moving the bar scrolls the list.
    list->VerticalBar()->SetPosition(1);
    EXPECT_EQ(list->ListBox().TopIndex(), 1);
    list->Items().Clear();
    list->ItemsChanged();
    EXPECT_EQ(list->VerticalBar(), nullptr);
    EXPECT_EQ(list->ListBox().Width(), 172);
    w.ui.Pump();
}

TEST(SkinnedListBox, ARowCountOfTheItemCountShowsNoBar)
{
    TbsSkinListBox list(nullptr);
    list.SetBounds(0, 0, 120, 60);
    list.SetRowCount(5);
    EXPECT_EQ(list.Height(), 5 * 20 + 4);
    for (int i = 0; i < 5; ++i)
        list.Items().Add("item");
    list.SetBounds(0, 0, 120, 60); // the rows no longer fit
    list.ItemsChanged();
    EXPECT_EQ(list.VerticalBar(), nullptr);
    list.Items().Add("sixth");
    list.ItemsChanged();
    EXPECT_NE(list.VerticalBar(), nullptr);
}

TEST(SkinnedListBox, ProgramSelectionIsQuietAndKeysReportIt)
{
    HeadlessForm ui(300, 300);
    auto* list = ui.Add<TbsSkinListBox>(10, 10, 150, 200);
    for (const char* text : { "a", "b", "c" })
        list->Items().Add(text);
    list->ItemsChanged();
    int clicks = 0;
    std::vector<int> keys;
    list->OnListBoxClick = [&](TObject* sender) {
        EXPECT_EQ(sender, list);
        ++clicks;
    };
    list->OnListBoxKeyDown = [&](TObject*, int& key, TShiftState) {
        keys.push_back(key);
        if (key == VK_END)
            key = 0; // stops the list's own handling
    };
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    list->ListBox().SetFocus();
    ui.Key(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    ui.Key(VK_HOME);
    EXPECT_EQ(list->ItemIndex(), 0);
    ui.Key(VK_END);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(keys, (std::vector<int> { VK_DOWN, VK_HOME, VK_END }));
    ui.Click(20, 10 + 2 + 20 + 5); // the second item (unskinned rows of 20 from y 2)
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 3);
}

TEST(SkinnedListBox, DrawsItemsThroughTheHandlerWithTheSkinsGeometry)
{
    SkinnedWindow w;
    w.Load();
    auto* list = w.ui.Add<TbsSkinListBox>(23, 56, 174, 200);
    list->SetSkinData(w.data);
    list->Items().Add("first");
    list->Items().Add("second");
    list->ItemsChanged();
    list->SetItemIndex(1);
    struct Call {
        int index, width, height;
        Rect text;
        TOwnerDrawState state;
        TColor color;
    };
    std::vector<Call> calls;
    list->OnDrawItem = [&](TCanvas& cnvs, int index, int width, int height, Rect text, TOwnerDrawState state) {
        calls.push_back({ index, width, height, text, state, cnvs.Font().Color() });
        cnvs.Brush() = TBrush { clRed, TBrushStyle::bsSolid };
        cnvs.FillRect({ 0, 0, 3, 3 });
    };
    list->ListBox().Invalidate();
    w.ui.Pump();
    ASSERT_GE(calls.size(), 2u);
    const Call& first = calls[calls.size() - 2];
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(first.width, 172);
    EXPECT_EQ(first.height, 22);
    EXPECT_EQ(first.text, (Rect { 2, 1, 53 + 172 - 54, 21 }));
    EXPECT_EQ(calls.back().state & odSelected, unsigned(odSelected));
    // The item bitmap lands at the item's place: its top-left corner is what the handler drew.
    Point origin = list->ListBox().WindowOrigin();
    EXPECT_EQ(w.ui.ColorAt(origin.x + 1, origin.y + 22 + 1), clRed);
    // Below the items the skin's client image shows (the list's paper, not the window colour).
    EXPECT_NE(w.ui.ColorAt(origin.x + 50, origin.y + 150), ColorToRGB(clWindow) & 0xFFFFFF);
}

TEST(SkinnedTreeView, BarsFollowTheTreesScrollState)
{
    SkinnedWindow w;
    w.Load();
    auto* vbar = w.ui.Add<TbsSkinScrollBar>(180, 56, 17, 200, "VerSkinScrollBar");
    vbar->SetKind(TScrollBarKind::sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    vbar->SetSkinData(w.data);
    auto* hbar = w.ui.Add<TbsSkinScrollBar>(23, 260, 150, 17, "HorScrollBar");
    hbar->SetSkinDataName("hscrollbar");
    hbar->SetSkinData(w.data);
    auto* tree = w.ui.Add<TbsSkinTreeView>(24, 57, 155, 200, "FotoTreeView");
    tree->SetSkinData(w.data);
    tree->SetVScrollBar(vbar);
    tree->SetHScrollBar(hbar);
    EXPECT_EQ(tree->Color(), 11840160u);
    EXPECT_EQ(tree->Font().Name(), "Arial");

    TTreeNode* root = tree->Items().Add(nullptr, "1998");
    tree->Items().AddChild(root, "England");
    w.ui.Pump();
    EXPECT_FALSE(vbar->Visible());
    EXPECT_FALSE(hbar->Visible());
    EXPECT_FALSE(hbar->Both());

    for (int i = 0; i < 40; ++i)
        tree->Items().AddChild(root, "Place " + std::to_string(i));
    root->Expand(false);
    tree->Invalidate();
    w.ui.Pump();
    EXPECT_TRUE(vbar->Visible());
    EXPECT_EQ(vbar->PageSize(), tree->VisibleCount());
    EXPECT_EQ(vbar->Max(), tree->RowCount() - 1);

    // The bar's position scrolls the tree so that its row is at the top.
    vbar->SetPosition(5);
    EXPECT_EQ(tree->RowOf(tree->TopItem()), 5);

    tree->Items().AddChild(root, std::string(60, 'W')); // wider than the tree
    tree->Invalidate();
    w.ui.Pump();
    EXPECT_TRUE(hbar->Visible());
    EXPECT_TRUE(hbar->Both());
    EXPECT_EQ(hbar->SkinDataName(), "bothhscrollbar");

    tree->Hide();
    EXPECT_FALSE(vbar->Visible());
    EXPECT_FALSE(hbar->Visible());
    tree->Show();
    EXPECT_TRUE(vbar->Visible());
}

TEST(SkinnedTreeView, DefaultsApplyOnlyWithoutARecord)
{
    TbsSkinTreeView tree(nullptr);
    tree.SetDefaultColor(11840160);
    EXPECT_EQ(tree.Color(), 11840160u);
    TFont font;
    font.SetName("Arial");
    font.SetHeight(14);
    tree.SetDefaultFont(font);
    EXPECT_EQ(tree.Font().Height(), 14);

    LoadedSkin skin(SkinIni({ "treeview:treeview" }, "[treeview]\nbgcolor=255\nfontname=Tahoma\nfontheight=12\n"));
    tree.SetSkinData(&skin.data);
    EXPECT_EQ(tree.Color(), 255u);
    EXPECT_EQ(tree.Font().Name(), "Tahoma");
    tree.SetDefaultColor(clWhite); // stored only
    EXPECT_EQ(tree.Color(), 255u);
}

TEST(SkinnedTreeView, ForgetsBarsThatAreDestroyed)
{
    TbsSkinTreeView tree(nullptr);
    {
        TbsSkinScrollBar bar(nullptr);
        tree.SetVScrollBar(&bar);
        EXPECT_FALSE(bar.Visible());
    }
    EXPECT_EQ(tree.VScrollBar(), nullptr);
    tree.SyncScrollBars();

    TbsSkinScrollBar survivor(nullptr);
    {
        TbsSkinTreeView gone(nullptr);
        gone.SetHScrollBar(&survivor);
    }
    survivor.SetPosition(10); // no call into the destroyed tree
    EXPECT_EQ(survivor.Position(), 10);
}

TEST(SkinnedListBox, TheInnerListShowsTheHintAMouseMoveHandlerSets)
{
    HeadlessForm ui(300, 300);
    auto* list = ui.Add<TbsSkinListBox>(10, 10, 150, 200);
    list->SetShowHint(true);
    for (const char* text : { "Crop circle", "Nazca" })
        list->Items().Add(text);
    list->ItemsChanged();
    list->OnListBoxMouseMove = [&](TObject*, TShiftState, int x, int y) {
        int index = list->ItemAtPos({ x, y }, true);
        if (index > -1)
            list->SetHint(list->Items()[index]);
    };
    ui.Move(30, 10 + 3 + 20 + 4); // over the second entry
    EXPECT_EQ(list->Hint(), "Nazca");
    EXPECT_EQ(list->ListBox().Hint(), "Nazca");
    EXPECT_TRUE(list->ListBox().ShowHint());
    ui.Move(30, 150); // below the last entry: the hint stays
    EXPECT_EQ(list->ListBox().Hint(), "Nazca");
}

namespace {

// The centre of a control's rectangle `r` (its own coordinates) in window coordinates.
Point WindowCentre(TControl& control, Rect r)
{
    return control.ClientToWindow({ (r.left + r.right) / 2, (r.top + r.bottom) / 2 });
}

} // namespace

TEST(SkinnedListBox, TheWheelOverItsBarsScrollsTheListThreeRowsANotch)
{
    SkinnedWindow w;
    w.Load();
    auto* list = w.ui.Add<TbsSkinListBox>(23, 56, 174, 450);
    list->SetSkinData(w.data);
    list->SetHorizontalExtent(true);
    for (int i = 0; i < 100; ++i)
        list->Items().Add(i == 50 ? std::string(80, 'W') : "Scheme " + std::to_string(i));
    list->ItemsChanged();
    w.ui.Pump();
    TbsSkinScrollBar* bar = list->VerticalBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(list->ExtentBar(), nullptr);

    struct Place {
        const char* name;
        TControl* control;
        Rect area;
    };
    for (const Place& place : { Place { "thumb", bar, bar->Part(TbsSkinScrollBar::ThumbPart).R },
             Place { "bottom arrow", bar, bar->Part(TbsSkinScrollBar::UpPart).R },
             Place { "extent bar", list->ExtentBar(), list->ExtentBar()->ClientRect() },
             Place { "items", &list->ListBox(), list->ListBox().ClientRect() } }) {
        SCOPED_TRACE(place.name);
        list->ListBox().SetTopIndex(0);
        w.ui.Pump();
        Point p = WindowCentre(*place.control, place.area);
        w.ui.Wheel(-1, p.x, p.y); // toward the user: down
        EXPECT_EQ(list->ListBox().TopIndex(), 3);
        EXPECT_EQ(bar->Position(), 3) << "the bar follows";
        w.ui.Wheel(-3, p.x, p.y); // three notches go three times as far as one
        EXPECT_EQ(list->ListBox().TopIndex(), 12);
        w.ui.Wheel(2, p.x, p.y);
        EXPECT_EQ(list->ListBox().TopIndex(), 6);
        EXPECT_EQ(bar->Position(), 6);
    }
}

TEST(SkinnedTreeView, TheWheelOverEitherAttachedBarScrollsTheTree)
{
    SkinnedWindow w;
    w.Load();
    auto* vbar = w.ui.Add<TbsSkinScrollBar>(180, 56, 17, 200, "VerSkinScrollBar");
    vbar->SetKind(TScrollBarKind::sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    vbar->SetSkinData(w.data);
    auto* hbar = w.ui.Add<TbsSkinScrollBar>(23, 260, 150, 17, "HorScrollBar");
    hbar->SetSkinDataName("hscrollbar");
    hbar->SetSkinData(w.data);
    auto* tree = w.ui.Add<TbsSkinTreeView>(24, 57, 155, 200, "FotoTreeView");
    tree->SetSkinData(w.data);
    tree->SetVScrollBar(vbar);
    tree->SetHScrollBar(hbar);
    TTreeNode* root = tree->Items().Add(nullptr, "1998");
    for (int i = 0; i < 60; ++i)
        tree->Items().AddChild(root, "Place " + std::to_string(i) + std::string(i % 10 == 0 ? 40 : 0, 'W'));
    root->Expand(false);
    tree->Invalidate();
    w.ui.Pump();
    ASSERT_TRUE(vbar->Visible());
    ASSERT_TRUE(hbar->Visible());

    for (TbsSkinScrollBar* bar : { vbar, hbar }) {
        SCOPED_TRACE(bar->Name());
        vbar->SetPosition(0);
        w.ui.Pump();
        Point p = WindowCentre(*bar, bar->Part(TbsSkinScrollBar::ThumbPart).R);
        w.ui.Wheel(-1, p.x, p.y);
        EXPECT_EQ(tree->RowOf(tree->TopItem()), 3);
        EXPECT_EQ(vbar->Position(), 3) << "the vertical bar follows the tree";
        w.ui.Wheel(-3, p.x, p.y);
        EXPECT_EQ(tree->RowOf(tree->TopItem()), 12);
        w.ui.Wheel(1, p.x, p.y);
        EXPECT_EQ(tree->RowOf(tree->TopItem()), 9);
    }
    // A bar the tree has let go of scrolls nothing.
    tree->SetHScrollBar(nullptr);
    Point p = WindowCentre(*hbar, hbar->ClientRect());
    w.ui.Wheel(-1, p.x, p.y);
    EXPECT_EQ(tree->RowOf(tree->TopItem()), 9);
}
