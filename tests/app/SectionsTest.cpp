// The section views on the small sample disc: sequences, edge cases the catalogue allows, and
// damaged or missing files.
#include "SampleDisc.h"

#include "framework/TScreen.h"
#include "views/ViewPaths.h"

#include <gmock/gmock.h>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::SizeIs;

TEST(ViewPaths, PictureNumbersHaveTwoDigitsBelowTen)
{
    EXPECT_EQ(ViewPaths::PictureNumber(0), "00");
    EXPECT_EQ(ViewPaths::PictureNumber(9), "09");
    EXPECT_EQ(ViewPaths::PictureNumber(10), "10");
    EXPECT_EQ(ViewPaths::PictureNumber(123), "123");
    EXPECT_EQ(ViewPaths::SchemePicturePath("Graphics\\2001\\01\\", 11), "Graphics\\2001\\01\\11.gif");
    EXPECT_EQ(ViewPaths::NaskaPicturePath("Naska\\", "Whale", 3), "Naska\\Photo\\Whale\\03.jpg");
}

TEST(ViewPaths, CopyClipsToTheText)
{
    EXPECT_EQ(ViewPaths::Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(ViewPaths::Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(ViewPaths::Copy("abcdef", 7, 1), "");
    EXPECT_EQ(ViewPaths::Copy("abcdef", 1, 0), "");
    EXPECT_EQ(ViewPaths::Copy("abcdef", 1, -5), "");
    EXPECT_EQ(ViewPaths::JoinLine({ "", "Quenlow", "2004" }), " Quenlow 2004");
    EXPECT_EQ(ViewPaths::JoinLine({ "", "", "" }), "  ");
}

TEST(ViewPaths, SplitEntryAtTheFirstAt)
{
    std::string path, text;
    TVelmarForm::SplitEntry("Photo\\1990\\01\\001.jpg@05.07.1990@x", path, text);
    EXPECT_EQ(path, "Photo\\1990\\01\\001.jpg");
    EXPECT_EQ(text, "05.07.1990@x");
    TVelmarForm::SplitEntry("no separator", path, text);
    EXPECT_EQ(path, "");
    EXPECT_EQ(text, "no separator");
    TVelmarForm::SplitEntry("@", path, text);
    EXPECT_EQ(path, "");
    EXPECT_EQ(text, "");
}

TEST_F(SampleDiscTest, SchemeOfAPhotographByItsFolder)
{
    // Scheme 2 is Graphics\2001\01\: the photographs of Photo\2001\01\ with 7-character names.
    Form().CurrentScheme = 0;
    EXPECT_TRUE(Form().FindSchemeForPhoto("Photo\\2001\\01\\001.jp"));
    EXPECT_EQ(Form().CurrentScheme, 2);
    EXPECT_FALSE(Form().FindSchemeForPhoto("Photo\\2001\\02\\001.jp"));
    EXPECT_FALSE(Form().FindSchemeForPhoto("Photo\\2001\\01\\0001.jp")); // a longer file name
    EXPECT_FALSE(Form().FindSchemeForPhoto(""));
    EXPECT_EQ(Form().CurrentScheme, 2);
}

TEST_F(SampleDiscTest, AllPhotographsStepToTheLastAndBack)
{
    ClickNode(Form().FotoTreeView, Node(Form().FotoTreeView, { "Все" }));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::AllPhotos);
    ASSERT_TRUE(NextActive());
    EXPECT_FALSE(PrevActive());
    int steps = 0;
    while (NextActive() && steps < 100) {
        Next();
        ++steps;
    }
    EXPECT_EQ(steps, Form().PhotoCount() - 1);
    EXPECT_EQ(Form().CurrentPhoto, Form().PhotoCount() - 1);
    EXPECT_TRUE(PrevActive());
    const auto& last = Form().Photos.back();
    EXPECT_EQ(Form().InfoLabel->Caption(), last.Country + " " + last.Place + " " + last.DateText);
    // A press that finds no next photograph (the view state was changed under the button) does
    // not step past the end.
    Form().ImageNextClick(nullptr);
    EXPECT_EQ(Form().CurrentPhoto, Form().PhotoCount() - 1);
    while (PrevActive() && steps > -100) {
        Prev();
        --steps;
    }
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(Form().CurrentPhoto, 0);
    EXPECT_THAT(Errors(), IsEmpty());
}

TEST_F(SampleDiscTest, PlaceByCountryMatchesThePlaceByYear)
{
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "2001", "Великобритания", "Wiltshire, Pewsey" }));
    std::string info = Info();
    int slot_photo = Form().CurrentPhoto;
    TStringList* list = Form().CurrentPlaceList;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(info, "Великобритания Wiltshire, Pewsey 18.08.2001");
    EXPECT_TRUE(NextActive());
    ClickNode(tree, Node(tree, { "Страна", "Великобритания", "2001", "Wiltshire, Pewsey" }));
    EXPECT_EQ(Info(), info);
    EXPECT_EQ(Form().CurrentPlaceList, list);
    EXPECT_EQ(Form().CurrentPhoto, slot_photo);
    EXPECT_TRUE(NextActive());
    EXPECT_EQ(Form().CurrentPlaceText, Ansi("Великобритания Wiltshire, Pewsey"));
}

TEST_F(SampleDiscTest, LeavesThatAreNoPlacesShowNothing)
{
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" }));
    ASSERT_EQ(ViewerClass(), "TBitmap");
    // A year without photographs: the line empties, the buttons go, the picture stays.
    ClickNode(tree, Node(tree, { "Год", "1995" }));
    EXPECT_EQ(Info(), "");
    EXPECT_EQ(Form().CurrentPhoto, -1);
    EXPECT_EQ(Form().CurrentPlaceList, nullptr);
    EXPECT_FALSE(NextActive());
    EXPECT_EQ(ViewerClass(), "TBitmap");
    // A country without photographs (no grandparent) likewise.
    ClickNode(tree, Node(tree, { "Страна", "Швеция" }));
    EXPECT_EQ(Info(), "");
    EXPECT_EQ(Form().CurrentPhoto, -1);
    EXPECT_EQ(ViewerClass(), "TBitmap");
    // A year node with children only expands and empties the viewer.
    ClickNode(tree, Node(tree, { "Год", "2005" }));
    EXPECT_EQ(ViewerClass(), "none");
    EXPECT_TRUE(Node(tree, { "Год", "2005" })->Expanded());
    EXPECT_THAT(Errors(), IsEmpty());
}

TEST_F(SampleDiscTest, PlaceWithOnePhotographKeepsNextInactive)
{
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "2001", "Великобритания", "Hampshire, Danebury" }));
    EXPECT_EQ(Form().CurrentPhoto, 0);
    EXPECT_FALSE(NextActive());
    EXPECT_FALSE(PrevActive());
    // Danebury's photograph has scheme 2, so the Scheme button comes up.
    EXPECT_GT(AppZ(Form().Scheme), AppZ(Form().body));
    EXPECT_EQ(Form().CurrentScheme, 2);
}

TEST_F(SampleDiscTest, ViewerTransparencyFollowsTheSchemesAndPhotoTabs)
{
    ClickControl(Form().ImageSchemeH);
    EXPECT_TRUE(Form().Image->Transparent());
    EXPECT_TRUE(Form().FonImage->Visible());
    ClickControl(Form().ImageArticlesH);
    EXPECT_TRUE(Form().Image->Transparent()); // Articles leaves it as it was
    ClickControl(Form().ImagePhotoH);
    EXPECT_FALSE(Form().Image->Transparent());
    ClickControl(Form().ImageBonusH);
    EXPECT_FALSE(Form().Image->Transparent());
}

TEST_F(SampleDiscTest, SchemeButtonStaysInOtherSections)
{
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" }));
    ASSERT_GT(AppZ(Form().Scheme), AppZ(Form().body));
    ClickControl(Form().ImageArticlesH);
    EXPECT_GT(AppZ(Form().Scheme), AppZ(Form().body));
    ClickControl(Form().Scheme);
    // Only the Photo and Schemes tabs change: the Articles picture stays selected too.
    EXPECT_GT(AppZ(Form().ImageScheme), AppZ(Form().body));
    EXPECT_GT(AppZ(Form().ImageArticles), AppZ(Form().body));
    EXPECT_TRUE(Form().SchemeListBox->Visible());
    EXPECT_TRUE(Form().ArticlesListBox->Visible());
    EXPECT_EQ(Form().SchemeListBox->ItemIndex(), 0);
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::SchemePictures);
    EXPECT_LT(AppZ(Form().Scheme), AppZ(Form().body));
}

TEST_F(SampleDiscTest, ListHoverShowsTheHandAndTheCaption)
{
    ClickControl(Form().ImageVideoH);
    TbsSkinListBox* list = Form().VideoListBox;
    Point origin = list->ListBox().WindowOrigin();
    int row = list->ItemHeight();
    harness->Move(origin.x + 20, origin.y + row + row / 2);
    EXPECT_EQ(Screen.Cursor(), crHandPoint);
    EXPECT_EQ(list->Hint(), list->Items()[1]);
    EXPECT_EQ(list->ItemIndex(), 0); // hovering selects nothing
    // Below the last entry the hint stays.
    harness->Move(origin.x + 20, origin.y + row * 14 + row / 2);
    EXPECT_EQ(list->Hint(), list->Items()[1]);
    // Over other controls the hand stays until the mouse crosses the background picture.
    ClickControl(Form().ImagePrevH);
    EXPECT_EQ(Screen.Cursor(), crHandPoint);
    harness->Move(210, 400); // bare background between the list and the viewer
    EXPECT_EQ(Screen.Cursor(), crDefault);
}

TEST_F(SampleDiscTest, NaskaFigureOfOnePictureAndOfThree)
{
    TTreeView* tree = Form().NaskaTreeView;
    ClickControl(Form().ImageBonusH);
    ClickNode(tree, Node(tree, { "Наска", "Фото", "Кит" }));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::NaskaPictures);
    EXPECT_EQ(Info(), "Кит");
    EXPECT_FALSE(NextActive());
    ClickNode(tree, Node(tree, { "Наска", "Фото", "Колибри" }));
    ASSERT_TRUE(NextActive());
    Next();
    Next();
    EXPECT_EQ(Form().CurrentNaskaPicture, 2);
    EXPECT_FALSE(NextActive());
    EXPECT_TRUE(PrevActive());
    // Selecting a branch node resets the mode and empties the viewer.
    ClickNode(tree, Node(tree, { "Наска", "Статьи" }));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::PlacePhotos);
    EXPECT_EQ(ViewerClass(), "none");
    EXPECT_FALSE(NextActive());
    EXPECT_THAT(Errors(), IsEmpty());
}

// Schemes numbered past 09: a scheme of twelve drawings 00 ... 11.
TEST_F(SampleDiscTest, SchemeDrawingsFromTenOn)
{
    std::string graphics;
    for (int i = 0; i < 12; ++i)
        graphics += std::to_string(i + 1) + "@Graphics\\2001\\09\\@" + ViewPaths::PictureNumber(i) + ".gif\r\n";
    WriteFile("db\\Graphics.txt", graphics);
    std::filesystem::create_directories(ScratchPath("Graphics\\2001\\09"));
    for (int i = 0; i < 12; ++i)
        std::filesystem::copy_file(ScratchPath("Graphics\\1990\\01\\00.gif"),
            ScratchPath("Graphics\\2001\\09\\" + ViewPaths::PictureNumber(i) + ".gif"));
    Reopen();
    ClickControl(Form().ImageSchemeH);
    ASSERT_EQ(Form().SchemeCount(), 1);
    EXPECT_EQ(Form().Schemes[0].LastPicture, 11);
    int steps = 0;
    while (NextActive() && steps < 20) {
        Next();
        ++steps;
    }
    EXPECT_EQ(steps, 11);
    EXPECT_EQ(Form().CurrentSchemePicture, 11);
    EXPECT_THAT(Errors(), IsEmpty());
    Prev();
    EXPECT_EQ(Form().CurrentSchemePicture, 10);
    EXPECT_TRUE(NextActive());
    EXPECT_THAT(Errors(), IsEmpty());
}

TEST_F(SampleDiscTest, EmptySchemeCatalogueGivesAnEmptyViewer)
{
    WriteFile("db\\Graphics.txt", "");
    Reopen();
    ClickControl(Form().ImageSchemeH);
    EXPECT_EQ(Form().SchemeCount(), 0);
    EXPECT_EQ(ViewerClass(), "none");
    EXPECT_EQ(Info(), "");
    EXPECT_FALSE(NextActive());
    EXPECT_FALSE(PrevActive());
    EXPECT_TRUE(Form().SchemeListBox->Visible());
    Form().SchemeListBoxListBoxClick(nullptr); // nothing selected: nothing to show
    EXPECT_THAT(Errors(), IsEmpty());
}

TEST_F(SampleDiscTest, AllWithOnePhotographOrNone)
{
    WriteFile("db\\Photo.txt", "1@001.jpg@Photo\\1990\\01\\@1990@Великобритания@Wiltshire, Avebury@05.07.1990\r\n");
    Reopen();
    ClickNode(Form().FotoTreeView, Node(Form().FotoTreeView, { "Все" }));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::AllPhotos);
    EXPECT_EQ(ViewerClass(), "TBitmap");
    EXPECT_FALSE(NextActive());

    WriteFile("db\\Photo.txt", "");
    Reopen();
    ASSERT_EQ(Form().PhotoCount(), 0);
    ClickNode(Form().FotoTreeView, Node(Form().FotoTreeView, { "Все" }));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::AllPhotos);
    EXPECT_EQ(ViewerClass(), "none");
    EXPECT_EQ(Info(), "");
    EXPECT_FALSE(NextActive());
    Form().ImageNextClick(nullptr);
    Form().ImagePrevClick(nullptr);
    EXPECT_THAT(Errors(), IsEmpty());
}

// The selected node is painted bold on the tree's grey: no highlight bar behind its caption.
TEST_F(SampleDiscTest, SelectedNodeShowsOnTheTreesGrey)
{
    TTreeView* tree = Form().FotoTreeView;
    TTreeNode* node = Node(tree, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" });
    ClickNode(tree, node);
    harness->Wait(20);
    Rect rect = node->DisplayRect(true);
    ASSERT_FALSE(rect.IsEmpty());
    Point origin = tree->WindowOrigin();
    const PixelBuffer& surface = harness->Backend().Surface();
    constexpr std::uint32_t grey = 0xA0AAB4; // red 160, green 170, blue 180
    int grey_pixels = 0, dark_pixels = 0, other_pixels = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < std::min(rect.right, tree->Width()); ++x) {
            std::uint32_t pixel = surface.At(origin.x + x, origin.y + y) & 0xFFFFFF;
            int r = int(pixel >> 16), g = int((pixel >> 8) & 0xFF), b = int(pixel & 0xFF);
            if (pixel == grey)
                ++grey_pixels;
            else if (r < 160 && g < 170 && b < 180 && b - r >= 0 && b - r <= 20)
                ++dark_pixels; // the caption's black, anti-aliased into the grey
            else
                ++other_pixels;
        }
    EXPECT_GT(grey_pixels, dark_pixels);
    EXPECT_GT(dark_pixels, 0);
    EXPECT_EQ(other_pixels, 0); // nothing of a highlight colour
    // The tree's own background is the grey too, below the last row.
    EXPECT_EQ(surface.At(origin.x + 5, origin.y + tree->Height() - 5) & 0xFFFFFF, grey);
}
