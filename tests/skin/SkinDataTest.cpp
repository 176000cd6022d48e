#include "SkinTestSupport.h"

#include "framework/Exception.h"
#include "framework/TMemIniFile.h"
#include "skin/SkinIniValues.h"
#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsDataSkinScrollBarControl.h"
#include "skin/TbsDataSkinTreeView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

TEST(MemIniFile, NamesMatchWithoutRegardToCase)
{
    TMemIniFile ini(Lines("; comment\nstray=1\n[Skin Controls]\nCount = 3 \nname= Arial Bold \n[\xC0\xC1\xC2]\nK=v\n"));
    EXPECT_TRUE(ini.SectionExists("skin controls"));
    EXPECT_TRUE(ini.SectionExists("SKIN CONTROLS"));
    EXPECT_EQ(ini.ReadInteger("skin controls", "COUNT", 0), 3);
    EXPECT_EQ(ini.ReadString("Skin Controls", "Name", ""), "Arial Bold");
    EXPECT_EQ(ini.ReadString("\xE0\xE1\xE2", "k", ""), "v"); // Cyrillic section names fold too
    EXPECT_FALSE(ini.ValueExists("skin controls", "stray"));
    EXPECT_EQ(ini.ReadString("nowhere", "x", "dflt"), "dflt");
}

TEST(MemIniFile, FirstOfTwoEqualKeysWinsAndRepeatedSectionsMerge)
{
    TMemIniFile ini(Lines("[a]\nx=1\nX=2\n[b]\n[A]\ny=3\n"));
    EXPECT_EQ(ini.ReadInteger("a", "x", 0), 1);
    EXPECT_EQ(ini.ReadInteger("a", "y", 0), 3);
}

TEST(MemIniFile, WritesAndErasuresKeepEveryNameFindable)
{
    TMemIniFile ini(Lines("[a]\nx=1\nX=2\n[b]\nk=v\n[c]\nk=w\n"));
    ini.WriteString("A", "x", "10"); // replaces the first of the equal keys
    ini.WriteString("a", "new", "n");
    ini.WriteInteger("d", "k", 4);
    EXPECT_EQ(ini.ReadInteger("a", "X", 0), 10);
    EXPECT_EQ(ini.ReadString("A", "NEW", ""), "n");
    ini.EraseSection("B");
    EXPECT_FALSE(ini.SectionExists("b"));
    // The sections after the erased one are still found, with their own values.
    EXPECT_EQ(ini.ReadString("c", "k", ""), "w");
    EXPECT_EQ(ini.ReadInteger("D", "K", 0), 4);
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_THAT(sections.Items(), ElementsAre("a", "c", "d"));
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists("a"));
}

TEST(MemIniFile, IntegersAcceptHexPrefixesAndRejectGarbage)
{
    TMemIniFile ini(Lines("[s]\nd=-42\nh1=$1F\nh2=0x1F\nh3=0X1f\nh4=$FFFFFFFF\nneg=-$10\nbad=12a\nbig=2147483648\n"
                          "min=-2147483648\nempty=\nsign=-\nhex=0x\nb1=1\nb2=2\nb0=0\n"));
    EXPECT_EQ(ini.ReadInteger("s", "d", 0), -42);
    EXPECT_EQ(ini.ReadInteger("s", "h1", 0), 31);
    EXPECT_EQ(ini.ReadInteger("s", "h2", 0), 31);
    EXPECT_EQ(ini.ReadInteger("s", "h3", 0), 31);
    EXPECT_EQ(ini.ReadInteger("s", "h4", 0), -1);
    EXPECT_EQ(ini.ReadInteger("s", "neg", 0), -16);
    EXPECT_EQ(ini.ReadInteger("s", "min", 0), -2147483647 - 1);
    for (const char* key : { "bad", "big", "empty", "sign", "hex", "missing" })
        EXPECT_EQ(ini.ReadInteger("s", key, 77), 77) << key;
    EXPECT_TRUE(ini.ReadBool("s", "b1", false));
    EXPECT_FALSE(ini.ReadBool("s", "b2", true)); // only exactly 1 is true
    EXPECT_FALSE(ini.ReadBool("s", "b0", true));
    EXPECT_TRUE(ini.ReadBool("s", "missing", true));
}

TEST(SkinValues, PointsAndRectanglesKeepOnlyDigits)
{
    TMemIniFile ini(Lines("[r]\nskinrect= 115 , 154 ,182,  218\nlefttoppoint=-5,7\nclientrect=1x,y2,3,4\n"));
    EXPECT_EQ(ReadSkinRect(ini, "r", "skinrect"), (Rect { 115, 154, 182, 218 }));
    EXPECT_EQ(ReadSkinPoint(ini, "r", "lefttoppoint"), (Point { 5, 7 }));
    EXPECT_EQ(ReadSkinRect(ini, "r", "clientrect"), (Rect { 1, 2, 3, 4 }));
    EXPECT_EQ(ReadSkinRect(ini, "r", "missing"), (Rect {}));
    EXPECT_EQ(ReadSkinPoint(ini, "r", "missing"), (Point {}));
}

TEST(SkinValues, AFieldWithoutDigitsIsAConversionError)
{
    for (const char* value : { "", "1,2,3", "1,,3,4", "a,b,c,d", " , , , " }) {
        TMemIniFile ini(Lines(std::string("[r]\nskinrect=") + value + "\n"));
        try {
            ReadSkinRect(ini, "r", "skinrect");
            FAIL() << "read '" << value << "'";
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), "'' is not a valid integer value") << value;
        }
    }
    TMemIniFile ini(Lines("[r]\np=5\nhuge=1,99999999999\n"));
    EXPECT_THROW(ReadSkinPoint(ini, "r", "p"), EConvertError);
    try {
        ReadSkinPoint(ini, "r", "huge");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "'99999999999' is not a valid integer value");
    }
}

TEST(SkinValues, FontStylesAreLowerCaseWordsAnywhere)
{
    TMemIniFile ini(Lines("[f]\na=fsbold,fsitalic\nb=FSBOLD,FSITALIC\nc=[fsunderline fsstrikeout]\nd=\n"));
    EXPECT_EQ(ReadSkinFontStyle(ini, "f", "a"), TFontStyles(fsBold | fsItalic));
    EXPECT_EQ(ReadSkinFontStyle(ini, "f", "b"), 0u);
    EXPECT_EQ(ReadSkinFontStyle(ini, "f", "c"), TFontStyles(fsUnderline | fsStrikeOut));
    EXPECT_EQ(ReadSkinFontStyle(ini, "f", "d"), 0u);
    EXPECT_EQ(ReadSkinFontStyle(ini, "f", "none"), 0u);
}

TEST(SkinValues, ListsReadEntriesUpToTheCount)
{
    TMemIniFile ini(Lines("[PICTURES]\nactivepicturescount=3\n0=a.bmp\n2=c.bmp\n3=d.bmp\n"));
    EXPECT_THAT(ReadSkinList(ini, "PICTURES", "activepictures"), ElementsAre("a.bmp", "", "c.bmp"));
}

TEST(SkinValues, RecordsWriteBackWhatTheyRead)
{
    TMemIniFile ini(Lines("[lb]\nskinrect=115,154,182,218\nrightbottompoint=57,60\nfontstyle=fsitalic,fsbold\n"
                          "fontname=Tahoma\nactivefontcolor=$FF\nvscrollbarname=vbar\n"));
    TbsDataSkinListBox record("lb");
    record.LoadFromFile(ini);
    TMemIniFile written;
    record.SaveToFile(written);
    EXPECT_EQ(written.ReadString("lb", "fontstyle", ""), "fsbold,fsitalic");
    EXPECT_EQ(written.ReadString("lb", "skinrect", ""), "115,154,182,218");
    TbsDataSkinListBox again("lb");
    again.LoadFromFile(written);
    EXPECT_EQ(again.SkinRect, record.SkinRect);
    EXPECT_EQ(again.RBPoint, (Point { 57, 60 }));
    EXPECT_EQ(again.FontStyle, unsigned(fsBold | fsItalic));
    EXPECT_EQ(again.FontName, "Tahoma");
    EXPECT_EQ(again.ActiveFontColor, 255u);
    EXPECT_EQ(again.VScrollBarName, "vbar");
    EXPECT_EQ(again.HScrollBarName, "hscrollbar");
    EXPECT_EQ(again.PictureIndex, -1);
}

TEST(SkinData, ReadsRecordsOfKnownKindsInEntryOrder)
{
    LoadedSkin skin(SkinIni({ "listbox:listbox", "knob:slider", "vscrollbar:scrollbar", "frame:bevel", "nocolon",
                                "treeview:treeview", "up:Scrollbar" },
        "[listbox]\npictureindex=3\nitemrect=187,199,241,221\n[vscrollbar]\ntrackarea=0,14,18,37\n"
        "[treeview]\nbgcolor=11840160\n[knob]\nskinrect=\n"));
    ASSERT_FALSE(skin.data.IsEmpty());
    ASSERT_EQ(skin.data.ControlRecords().size(), 3u);
    EXPECT_EQ(skin.data.IndexOfControlRecord("listbox"), 0);
    EXPECT_EQ(skin.data.IndexOfControlRecord("vscrollbar"), 1);
    EXPECT_EQ(skin.data.IndexOfControlRecord("treeview"), 2);
    EXPECT_EQ(skin.data.IndexOfControlRecord("knob"), -1);   // "slider" makes no record (and its bad rect is not read)
    EXPECT_EQ(skin.data.IndexOfControlRecord("up"), -1);     // kind words are compared exactly
    EXPECT_EQ(skin.data.IndexOfControlRecord("ListBox"), -1); // so are names
    auto* list = dynamic_cast<TbsDataSkinListBox*>(skin.data.ControlRecord(0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->PictureIndex, 3);
    EXPECT_EQ(list->ItemRect, (Rect { 187, 199, 241, 221 }));
    auto* bar = dynamic_cast<TbsDataSkinScrollBarControl*>(skin.data.ControlRecord(1));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->TrackArea, (Rect { 0, 14, 18, 37 }));
    auto* tree = dynamic_cast<TbsDataSkinTreeView*>(skin.data.ControlRecord(2));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->BGColor, 11840160u);
    EXPECT_EQ(tree->FontName, "Arial");
    EXPECT_EQ(skin.data.ControlRecord(3), nullptr);
    EXPECT_EQ(skin.data.ControlRecord(-1), nullptr);
}

TEST(SkinData, TwoEntriesWithOneNameMakeTwoRecordsAndTheFirstIsFound)
{
    LoadedSkin skin(SkinIni({ "bar:scrollbar", "bar:listbox" }));
    ASSERT_EQ(skin.data.ControlRecords().size(), 2u);
    EXPECT_EQ(skin.data.IndexOfControlRecord("bar"), 0);
    EXPECT_NE(dynamic_cast<TbsDataSkinScrollBarControl*>(skin.data.ControlRecord(0)), nullptr);
}

TEST(SkinData, AHugeCountCostsNothingAndOnlyIndexKeysCount)
{
    std::string ini = "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\ncount=-1\n0=x:caption\n[SKINCONTROLS]\n"
                      "count=2000000000\n0=a:panel\n07=b:panel\n1999999999=c:panel\n";
    TbsStoredSkin stored;
    stored.SetIniStrings(Lines(ini));
    TbsSkinData data;
    data.SetStoredSkin(&stored);
    ASSERT_EQ(data.ControlRecords().size(), 2u);
    EXPECT_EQ(data.ControlRecords()[0]->IDName, "a");
    EXPECT_EQ(data.ControlRecords()[1]->IDName, "c");
}

TEST(SkinData, AMissingSectionLeavesTheSkinEmptyAndStillSendsTheThreeMessages)
{
    MessageRecorder form;
    auto* data = form.Create<TbsSkinData>("bsSkinData1");
    TbsStoredSkin stored;
    stored.SetIniStrings(Lines("[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINCONTROLS]\ncount=1\n0=listbox:listbox\n"));
    data->SetStoredSkin(&stored);
    EXPECT_TRUE(data->IsEmpty());
    EXPECT_TRUE(data->ControlRecords().empty());
    EXPECT_THAT(form.messages, ElementsAre(1225, 1226, 1227));
    EXPECT_THAT(form.lparams, ElementsAre(1000, 1000, 1000));
    EXPECT_EQ(form.wparams[0], reinterpret_cast<long>(data));
}

TEST(SkinData, ALoadSendsTheMessagesAroundIt)
{
    MessageRecorder form;
    auto* data = form.Create<TbsSkinData>("bsSkinData1");
    TbsStoredSkin stored;
    stored.SetIniStrings(Lines(SkinIni({ "listbox:listbox" })));
    data->SetStoredSkin(&stored);
    EXPECT_FALSE(data->IsEmpty());
    EXPECT_THAT(form.messages, ElementsAre(1225, 1226, 1227));
}

TEST(SkinData, AMalformedRectangleAbandonsTheLoad)
{
    TbsStoredSkin stored;
    stored.SetIniStrings(Lines(SkinIni({ "a:panel", "listbox:listbox" }, "[listbox]\nskinrect=\n")));
    TbsSkinData data;
    try {
        data.SetStoredSkin(&stored);
        FAIL() << "loaded";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "'' is not a valid integer value");
    }
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.IndexOfControlRecord("a"), 0); // part-loaded, but flagged empty
}

TEST(SkinData, CopiesThePicturesAndClearSkinKeepsTheVersion)
{
    std::vector<std::unique_ptr<TBitmap>> pictures;
    pictures.push_back(CoordinatePicture(4, 3));
    pictures.push_back(CoordinatePicture(5, 6));
    LoadedSkin skin(SkinIni({}), std::move(pictures));
    ASSERT_EQ(skin.data.ControlPictures().size(), 2u);
    EXPECT_NE(skin.data.ControlPicture(0), skin.stored.ControlPictures()[0].get());
    EXPECT_EQ(skin.data.ControlPicture(1)->Width(), 5);
    EXPECT_EQ(skin.data.SkinName, "Test");
    skin.data.ClearSkin();
    EXPECT_TRUE(skin.data.IsEmpty());
    EXPECT_TRUE(skin.data.ControlPictures().empty());
    EXPECT_EQ(skin.data.PopupWindow.WindowPictureIndex, -1);
    EXPECT_EQ(skin.data.SkinName, "Test");
}

TEST(SkinData, ForgetsAStoredSkinThatIsDestroyedAndKeepsItsSkin)
{
    TbsSkinData data;
    {
        TbsStoredSkin stored;
        stored.SetIniStrings(Lines(SkinIni({ "listbox:listbox" })));
        data.SetStoredSkin(&stored);
        EXPECT_EQ(data.StoredSkin(), &stored);
    }
    EXPECT_EQ(data.StoredSkin(), nullptr);
    EXPECT_EQ(data.IndexOfControlRecord("listbox"), 0);
}

TEST(SkinData, ReloadingReplacesTheRecords)
{
    TbsStoredSkin first, second;
    first.SetIniStrings(Lines(SkinIni({ "a:panel", "b:panel" })));
    second.SetIniStrings(Lines(SkinIni({ "b:panel" })));
    TbsSkinData data;
    data.SetStoredSkin(&first);
    EXPECT_EQ(data.IndexOfControlRecord("b"), 1);
    data.SetStoredSkin(&second);
    EXPECT_EQ(data.IndexOfControlRecord("b"), 0);
    EXPECT_EQ(data.IndexOfControlRecord("a"), -1);
}
