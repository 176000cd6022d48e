#include "SkinTestSupport.h"

#include "skin/SkinPictures.h"
#include "skin/TbsSkinCustomControl.h"

#include <gtest/gtest.h>

namespace {

// A limit larger than any strip below: the strips are built whole.
constexpr Size Room { 1000, 1000 };

// A skin with one record of the custom-control family on a 120 x 90 coordinate picture.
std::string RecordSkin(std::string_view values)
{
    return SkinIni({ "part:panel" }, std::string("[part]\npictureindex=0\n") + std::string(values) + "\n");
}

std::vector<std::unique_ptr<TBitmap>> Picture()
{
    std::vector<std::unique_ptr<TBitmap>> pictures;
    pictures.push_back(CoordinatePicture(120, 90));
    return pictures;
}

TBitmap Render(TbsSkinCustomControl& control)
{
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(control.Width(), control.Height());
    control.Paint(target.Canvas());
    return target;
}

} // namespace

TEST(TileHorizontally, RepeatsTheMiddleAndCutsTheLastTile)
{
    // A 53 x 18 strip with fixed ends of 17 and 15 columns, stretched to 100: the 21-column middle
    // repeats, the last repetition cut.
    auto picture = CoordinatePicture(120, 90);
    TBitmap bitmap;
    TileHorizontally(17, 15, bitmap, 100, { 30, 40, 83, 58 }, *picture, Room);
    ASSERT_EQ(bitmap.Width(), 100);
    ASSERT_EQ(bitmap.Height(), 18);
    for (int x = 0; x < 100; ++x) {
        int expected = x < 17 ? x : x >= 85 ? x - 100 + 53 : 17 + (x - 17) % 21;
        EXPECT_EQ(SourceOf(bitmap, x, 5), (Point { 30 + expected, 45 })) << "column " << x;
    }
}

TEST(TileVertically, RepeatsTheMiddleAndCutsTheLastTile)
{
    auto picture = CoordinatePicture(120, 90);
    TBitmap bitmap;
    // An 18 x 53 strip with ends of 18 and 20 rows, stretched to 433.
    TileVertically(18, 20, bitmap, 433, { 2, 3, 20, 56 }, *picture, Room);
    ASSERT_EQ(bitmap.Width(), 18);
    ASSERT_EQ(bitmap.Height(), 433);
    for (int y = 0; y < 433; ++y) {
        int expected = y < 18 ? y : y >= 413 ? y - 433 + 53 : 18 + (y - 18) % 15;
        EXPECT_EQ(SourceOf(bitmap, 4, y), (Point { 6, 3 + expected })) << "row " << y;
    }
}

TEST(TileStrips, AnEmptyMiddleRepeatsOnePixel)
{
    auto picture = CoordinatePicture(120, 90);
    TBitmap horizontal;
    TileHorizontally(10, 10, horizontal, 40, { 0, 0, 20, 4 }, *picture, Room);
    for (int x = 10; x < 30; ++x)
        EXPECT_EQ(SourceOf(horizontal, x, 0).x, 10) << x;
    EXPECT_EQ(SourceOf(horizontal, 30, 0).x, 10);
    EXPECT_EQ(SourceOf(horizontal, 39, 0).x, 19);
    TBitmap vertical;
    TileVertically(3, 4, vertical, 30, { 0, 10, 5, 17 }, *picture, Room);
    for (int y = 3; y < 26; ++y)
        EXPECT_EQ(SourceOf(vertical, 0, y).y, 13) << y;
    EXPECT_EQ(SourceOf(vertical, 0, 29).y, 16);
}

TEST(SkinnedControl, HorizontalStretchingFixesTheHeight)
{
    LoadedSkin skin(RecordSkin("skinrect=30,40,83,58\nlefttoppoint=17,0\nrighttoppoint=38,17"), Picture());
    TbsSkinCustomControl control(nullptr);
    control.SetSkinDataName("part");
    control.SetSkinData(&skin.data);
    control.SetBounds(0, 0, 100, 40);
    EXPECT_EQ(control.StretchMode(), TbsStretchMode::Horizontal);
    EXPECT_EQ(control.Width(), 100);
    EXPECT_EQ(control.Height(), 18);
    TBitmap image = Render(control);
    EXPECT_EQ(SourceOf(image, 16, 0), (Point { 46, 40 }));
    EXPECT_EQ(SourceOf(image, 17 + 21, 0), (Point { 47, 40 })); // the second repetition starts over
    EXPECT_EQ(SourceOf(image, 99, 17), (Point { 82, 57 }));
    EXPECT_EQ(SourceOf(image, 85, 0), (Point { 68, 40 }));
}

TEST(SkinnedControl, VerticalStretchingFixesTheWidth)
{
    LoadedSkin skin(RecordSkin("skinrect=2,3,20,56\nlefttoppoint=8,18\nleftbottompoint=8,33"), Picture());
    TbsSkinCustomControl control(nullptr);
    control.SetSkinDataName("part");
    control.SetSkinData(&skin.data);
    control.SetBounds(180, 56, 17, 433);
    EXPECT_EQ(control.StretchMode(), TbsStretchMode::Vertical);
    EXPECT_EQ(control.Width(), 18);
    EXPECT_EQ(control.Height(), 433);
    EXPECT_EQ(control.FittedPoints().LB, (Point { 8, 33 + 380 }));
    TBitmap image = Render(control);
    EXPECT_EQ(SourceOf(image, 0, 432), (Point { 2, 55 }));
    EXPECT_EQ(SourceOf(image, 17, 18 + 15), (Point { 19, 21 }));
}

TEST(SkinnedControl, NinePartStretchingKeepsTheCornersAndRepeatsTheEdges)
{
    LoadedSkin skin(RecordSkin("skinrect=10,20,77,84\nlefttoppoint=2,2\nrighttoppoint=57,4\nleftbottompoint=2,62\n"
                               "rightbottompoint=57,60\nclientrect=1,1,66,63"),
        Picture());
    TbsSkinCustomControl control(nullptr);
    control.SetSkinDataName("part");
    control.SetSkinData(&skin.data);
    control.SetBounds(0, 0, 174, 449);
    EXPECT_EQ(control.StretchMode(), TbsStretchMode::Corners);
    ASSERT_EQ(control.Width(), 174);
    ASSERT_EQ(control.Height(), 449);
    EXPECT_EQ(control.FittedPoints().RB, (Point { 57 + 107, 60 + 385 }));
    EXPECT_EQ(control.FittedPoints().Client, (Rect { 1, 1, 66 + 107, 63 + 385 }));
    TBitmap image = Render(control);
    // Corner pieces keep their pixels.
    EXPECT_EQ(SourceOf(image, 0, 0), (Point { 10, 20 }));
    EXPECT_EQ(SourceOf(image, 173, 0), (Point { 76, 20 }));
    EXPECT_EQ(SourceOf(image, 0, 448), (Point { 10, 83 }));
    EXPECT_EQ(SourceOf(image, 173, 448), (Point { 76, 83 }));
    // The top edge repeats its 55-column strip from x 2.
    EXPECT_EQ(SourceOf(image, 2 + 55 + 3, 0), (Point { 10 + 2 + 3, 20 }));
    // The right edge repeats its strip from y 4 (56 rows).
    EXPECT_EQ(SourceOf(image, 173, 4 + 56 + 1), (Point { 76, 20 + 4 + 1 }));
    // The client image tiles from the client rectangle's corner.
    EXPECT_EQ(SourceOf(image, 1 + 65 + 2, 1 + 62 + 3), (Point { 10 + 1 + 2, 20 + 1 + 3 }));
}

TEST(SkinnedControl, FixedSizeRecordsFixTheSize)
{
    LoadedSkin skin(RecordSkin("skinrect=5,6,25,16"), Picture());
    TbsSkinCustomControl control(nullptr);
    control.SetSkinDataName("part");
    control.SetSkinData(&skin.data);
    control.SetBounds(3, 4, 300, 200);
    EXPECT_EQ(control.StretchMode(), TbsStretchMode::FixedSize);
    EXPECT_EQ(control.BoundsRect(), (Rect { 3, 4, 23, 14 }));
    EXPECT_EQ(SourceOf(Render(control), 19, 9), (Point { 24, 15 }));
}

TEST(SkinnedControl, WithoutASkinDefaultsApplyOnlyWhenSet)
{
    TbsSkinCustomControl control(nullptr);
    control.SetBounds(0, 0, 50, 30);
    control.ApplySkin();
    EXPECT_EQ(control.Width(), 50); // DefaultWidth 0 keeps the width
    control.SetDefaultHeight(22);
    EXPECT_EQ(control.Height(), 22);
    control.SetBounds(0, 0, 80, 90); // unskinned bounds are taken as given
    EXPECT_EQ(control.Width(), 80);
    TBitmap image = Render(control);
    EXPECT_EQ(image.Pixels().At(40, 45) & 0xFFFFFF, ColorToPixel(ColorToRGB(clBtnFace)) & 0xFFFFFF);
}

TEST(SkinnedControl, AMissingRecordPaintsUnskinnedAndTheSkinAppliesWhenItLoads)
{
    TbsStoredSkin stored;
    stored.SetIniStrings(Lines(RecordSkin("skinrect=30,40,83,58\nlefttoppoint=17,0\nrighttoppoint=38,17")));
    stored.AddControlPicture(CoordinatePicture(120, 90));
    TbsSkinData data;
    TbsSkinCustomControl control(nullptr);
    control.SetSkinDataName("part");
    control.SetSkinData(&data); // still empty: nothing applies
    control.SetBounds(0, 0, 100, 40);
    EXPECT_EQ(control.Height(), 40);
    EXPECT_EQ(control.SkinIndex(), -1);
    data.SetStoredSkin(&stored); // the load applies the skin to the controls that use it
    EXPECT_EQ(control.SkinIndex(), 0);
    EXPECT_EQ(control.Height(), 18);
    control.SetSkinDataName("other");
    control.LookUpSkinRecord();
    EXPECT_EQ(control.SkinIndex(), -1);
}

TEST(SkinnedControl, ForgetsSkinDataThatIsDestroyed)
{
    TbsSkinCustomControl control(nullptr);
    {
        LoadedSkin skin(RecordSkin("skinrect=5,6,25,16"), Picture());
        control.SetSkinDataName("part");
        control.SetSkinData(&skin.data);
        EXPECT_EQ(control.SkinIndex(), 0);
    }
    EXPECT_EQ(control.SkinData(), nullptr);
    control.SetBounds(0, 0, 40, 40);
    EXPECT_EQ(Render(control).Width(), 40);
}

TEST(RegionFromMask, BlackRunsBecomeRectangles)
{
    TBitmap mask;
    mask.SetPixelFormat(TPixelFormat::pf24bit);
    mask.SetSize(6, 2);
    mask.Canvas().Brush().Color = clWhite;
    mask.Canvas().FillRect({ 0, 0, 6, 2 });
    mask.Canvas().Brush().Color = clBlack;
    mask.Canvas().FillRect({ 1, 0, 3, 1 });
    mask.Canvas().FillRect({ 4, 0, 6, 2 });
    TbsRegion region = RegionFromMask(mask, { 10, 20 });
    ASSERT_EQ(region.Rects.size(), 3u);
    EXPECT_EQ(region.Rects[0], (Rect { 11, 20, 13, 21 }));
    EXPECT_EQ(region.Rects[1], (Rect { 14, 20, 16, 21 }));
    EXPECT_EQ(region.Rects[2], (Rect { 14, 21, 16, 22 }));
    EXPECT_EQ(region.Bounds, (Rect { 10, 20, 16, 22 }));
}

TEST(TileStrips, SourcesReachingPastThePictureCopyOnlyWhatIsThere)
{
    auto picture = CoordinatePicture(20, 10);
    TBitmap bitmap;
    // The strip starts left of the picture and ends below it.
    TileVertically(2, 2, bitmap, 30, { -15, 4, 5, 16 }, *picture, Room);
    ASSERT_EQ(bitmap.Width(), 20);
    EXPECT_EQ(SourceOf(bitmap, 15, 0), (Point { 0, 4 }));
    EXPECT_EQ(SourceOf(bitmap, 19, 1), (Point { 4, 5 }));
    TBitmap wide;
    TileHorizontally(3, 3, wide, 50, { 12, -4, 40, 6 }, *picture, Room);
    EXPECT_EQ(SourceOf(wide, 0, 4), (Point { 12, 0 }));
}

TEST(TileStrips, PiecesPastTheBitmapsEdgeAreCut)
{
    auto picture = CoordinatePicture(30, 30);
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(10, 10);
    CopyPicturePart(bitmap, { -5, 8, 5, 18 }, *picture, { 10, 10, 20, 20 });
    EXPECT_EQ(SourceOf(bitmap, 0, 8), (Point { 15, 10 }));
    EXPECT_EQ(SourceOf(bitmap, 4, 9), (Point { 19, 11 }));
    CopyPicturePart(bitmap, { 20, 20, 30, 30 }, *picture, { 0, 0, 10, 10 }); // wholly outside: nothing
}

TEST(TileStrips, ClippedDrawingKeepsInsideTheTargetBitmap)
{
    auto picture = CoordinatePicture(30, 30);
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(8, 8);
    const PixelBuffer& pixels = picture->Pixels();
    DrawPixelsClipped(target.Canvas(), { 6, -3, 16, 7 }, pixels, { 0, 0, 10, 10 }); // past the right and top
    EXPECT_EQ(SourceOf(target, 7, 0), (Point { 1, 3 }));
    DrawPixelsClipped(target.Canvas(), { 9, 2, 19, 4 }, pixels, { 0, 0, 10, 2 }); // wholly right of it
    DrawPixelsClipped(target.Canvas(), { -12, 0, -2, 4 }, pixels, { 0, 0, 10, 4 }); // wholly left of it
    EXPECT_EQ(SourceOf(target, 7, 0), (Point { 1, 3 }));
}
