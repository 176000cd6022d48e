// Skins with damaged values: rectangles, points, offsets and font heights at the ends of the
// integer range. The controls must paint within their own area, without an exception, a huge
// bitmap or an arithmetic overflow (the sanitizer build reports the last).
#include "SkinTestSupport.h"

#include "framework/HeadlessForm.h"
#include "skin/TbsSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsSkinTreeView.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct DamagedSkin {
    const char* name;
    std::string values; // key=value lines given to every record
};

const char* const Records[] = { "listbox", "vscrollbar", "hscrollbar", "bothhscrollbar", "treeview" };

std::string DamagedIni(const DamagedSkin& damage)
{
    std::string sections;
    for (const char* record : Records)
        sections += std::string("[") + record + "]\npictureindex=0\n" + damage.values + "\n";
    return SkinIni({ "listbox:listbox", "vscrollbar:scrollbar", "hscrollbar:scrollbar", "bothhscrollbar:scrollbar",
                       "treeview:treeview" },
        sections);
}

const std::string Max = "2147483647";
const std::string Min = "-2147483648";

std::string AllRects(const std::string& value)
{
    std::string text;
    for (const char* key : { "skinrect", "clientrect", "trackarea", "upbuttonrect", "activeupbuttonrect",
             "downupbuttonrect", "downbuttonrect", "activedownbuttonrect", "downdownbuttonrect", "thumbrect",
             "activethumbrect", "downthumbrect", "velmarrect", "itemrect", "activeitemrect", "focusitemrect",
             "itemtextrect" })
        text += std::string(key) + "=" + value + "\n";
    return text;
}

std::string AllPoints(const std::string& value)
{
    std::string text;
    for (const char* key : { "lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint" })
        text += std::string(key) + "=" + value + "\n";
    return text;
}

std::string AllIntegers(const std::string& value)
{
    std::string text;
    for (const char* key : { "itemleftoffset", "itemrightoffset", "thumboffset1", "thumboffset2", "fontheight" })
        text += std::string(key) + "=" + value + "\n";
    return text;
}

// The program's own values for the parts not under test.
const std::string Sane = "skinrect=0,0,60,60\nclientrect=2,2,58,58\nlefttoppoint=10,10\nrightbottompoint=50,50\n"
                         "righttoppoint=50,10\nleftbottompoint=10,50\ntrackarea=0,14,18,37\nthumbrect=0,0,14,18\n"
                         "itemrect=0,0,50,22\nitemtextrect=2,1,45,21\n";

class DamagedSkinPaints : public testing::TestWithParam<DamagedSkin> { };

} // namespace

namespace {

// Shows skinned list boxes, a tree with both bars and a bar of its own in a window, at sizes from
// nothing to the whole window, pressed and dragged: everything must paint within its control and
// raise nothing.
void PaintEveryControl(TbsSkinData& skin)
{
    HeadlessForm ui(400, 600);
    auto* list = ui.Add<TbsSkinListBox>(10, 10, 174, 449);
    list->SetHorizontalExtent(true);
    for (int i = 0; i < 60; ++i)
        list->Items().Add("An entry far wider than the list it is shown in, number " + std::to_string(i));
    list->ItemsChanged();
    list->SetItemIndex(3);
    auto* tree = ui.Add<TbsSkinTreeView>(200, 10, 150, 300);
    auto* vertical = ui.Add<TbsSkinScrollBar>(352, 10, 17, 300);
    vertical->SetKind(TScrollBarKind::sbVertical);
    vertical->SetSkinDataName("vscrollbar");
    auto* horizontal = ui.Add<TbsSkinScrollBar>(200, 312, 150, 17);
    horizontal->SetSkinDataName("hscrollbar");
    tree->SetVScrollBar(vertical);
    tree->SetHScrollBar(horizontal);
    for (int i = 0; i < 40; ++i) {
        TTreeNode* node = tree->Items().Add(nullptr, "A node with a long caption to need the bar " + std::to_string(i));
        tree->Items().AddChild(node, "child");
        node->Expand(false);
    }
    auto* lone = ui.Add<TbsSkinScrollBar>(380, 10, 17, 200);
    lone->SetKind(TScrollBarKind::sbVertical);
    lone->SetSkinDataName("vscrollbar");
    for (TbsSkinControl* control : std::initializer_list<TbsSkinControl*> { list, vertical, horizontal, lone })
        control->SetSkinData(&skin);
    tree->SetSkinData(&skin);
    ui.Pump();

    for (Size size : { Size { 0, 0 }, Size { 1, 1 }, Size { 17, 433 }, Size { 174, 449 }, Size { 390, 590 } }) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        list->SetBounds(5, 5, size.width, size.height);
        tree->SetBounds(5, 5, size.width, size.height);
        lone->SetBounds(380, 10, 17, size.height);
        vertical->SetRange(0, 80, 7, 20);
        lone->SetRange(0, 80, size.width % 2 ? 0 : 9, 40);
        ui.Pump();
        list->ListBox().Invalidate();
        for (Point p : { Point { 20, 20 }, Point { 388, 15 }, Point { 388, 200 } }) {
            ui.Press(p.x, p.y); // over the list, the lone bar's arrows and its track
            ui.Move(p.x + 5, p.y + 280);
            ui.Release(p.x + 5, p.y + 280);
        }
        for (TbsSkinControl* control : std::initializer_list<TbsSkinControl*> { list, vertical, horizontal, lone,
                 list->VerticalBar() }) {
            if (!control)
                continue;
            EXPECT_LE(control->PaintBuffer().Width(), 400) << control->Name();
            EXPECT_LE(control->PaintBuffer().Height(), 600) << control->Name();
        }
    }
    EXPECT_TRUE(ui.Backend().TakeErrorBoxes().empty());
}

} // namespace

TEST_P(DamagedSkinPaints, WithinEachControlAtEverySize)
{
    std::vector<std::unique_ptr<TBitmap>> pictures;
    pictures.push_back(CoordinatePicture(200, 200));
    LoadedSkin skin(DamagedIni(GetParam()), std::move(pictures));
    ASSERT_FALSE(skin.data.IsEmpty());
    PaintEveryControl(skin.data);
}

// The fuzzer's inputs kept in the repository, among them every skin text it found a fault with.
TEST(DamagedSkin, FuzzInputsPaintWithinEachControl)
{
    const std::filesystem::path corpus = std::filesystem::path(VELMAR_SOURCE_DIR) / "fuzz/corpus/skin_ini";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        TbsStoredSkin stored;
        stored.SetIniStrings(Lines(text));
        for (int i = 0; i < 4; ++i)
            stored.AddControlPicture(CoordinatePicture(40 + 20 * i, 30 + 10 * i));
        TbsSkinData data;
        try {
            data.SetStoredSkin(&stored);
        } catch (const EConvertError&) {
            // A malformed value stops the load; what was read is painted with all the same.
        }
        PaintEveryControl(data);
        ++files;
    }
    EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Skin, DamagedSkinPaints,
    testing::Values(DamagedSkin { "HugeThumb", Sane + "thumbrect=0,0,2000000000,2000000000\n" },
        DamagedSkin { "HugeItem", Sane + "itemrect=0,0,60,2000000000\nactiveitemrect=0,0,30000,30000\n" },
        DamagedSkin { "HugeFixedSize", "skinrect=0,0,2000000000,2000000000\nclientrect=0,0,1,1\n" },
        DamagedSkin { "LargestValues", AllRects("0,0," + Max + "," + Max) + AllPoints(Max + "," + Max)
                                           + AllIntegers(Max) },
        DamagedSkin { "FarAwayRects", AllRects("2147483000,2147483000," + Max + "," + Max) + AllPoints("1," + Max)
                                          + AllIntegers(Min) },
        DamagedSkin { "InvertedRects", AllRects("100,100,3,3") + AllPoints("57,60") + AllIntegers("-7") },
        DamagedSkin { "ExtremeOffsets", Sane + "itemleftoffset=" + Min + "\nitemrightoffset=" + Max
                                            + "\nthumboffset1=" + Max + "\nthumboffset2=" + Min + "\nfontheight=" + Min
                                            + "\n" }),
    [](const auto& info) { return std::string(info.param.name); });
