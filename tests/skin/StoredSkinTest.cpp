#include "SkinTestSupport.h"

#include "framework/Exception.h"
#include "framework/TStream.h"
#include "skin/StoredSkinLoader.h"
#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsDataSkinScrollBarControl.h"
#include "skin/TbsDataSkinTreeView.h"
#include "skin/TbsSkinScrollBar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> ReadFile(const char* name)
{
    std::ifstream in(std::string(VELMAR_SOURCE_DIR) + "/resources/skin/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

const std::vector<std::uint8_t>& Pictures()
{
    static const std::vector<std::uint8_t> bytes = ReadFile("skin.pictures");
    return bytes;
}

const std::vector<std::uint8_t>& IniText()
{
    static const std::vector<std::uint8_t> bytes = ReadFile("skin.ini");
    return bytes;
}

template<typename T>
T& Record(const TbsSkinData& data, const char* name)
{
    int index = data.IndexOfControlRecord(name);
    EXPECT_GE(index, 0) << name;
    auto* record = dynamic_cast<T*>(data.ControlRecord(index));
    if (!record)
        throw std::runtime_error(std::string("no record ") + name);
    return *record;
}

struct ProgramSkin {
    TbsStoredSkin stored;
    TbsSkinData data;
    ProgramSkin() { LoadStoredSkin(stored, data, IniText(), Pictures()); }
};

} // namespace

TEST(ProgramSkin, ThePicturesBlockParsesToExactlyItsLength)
{
    ASSERT_EQ(Pictures().size(), 545365u);
    TSpanStream stream(Pictures());
    TbsStoredSkin skin;
    skin.ReadPictures(stream);
    EXPECT_EQ(stream.Position(), 545365);
    EXPECT_EQ(Pictures()[0], 0);
    EXPECT_EQ(skin.MainPicture().Width(), 207);
    EXPECT_EQ(skin.MainPicture().Height(), 138);
    EXPECT_EQ(skin.MainPicture().PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_TRUE(skin.InactivePicture().Empty());
    EXPECT_EQ(skin.MaskPicture().PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(skin.MaskPicture().Width(), 207);
    const std::pair<int, int> sizes[] = { { 76, 51 }, { 78, 99 }, { 167, 68 }, { 384, 421 }, { 42, 21 } };
    ASSERT_EQ(skin.ControlPictures().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(skin.ControlPictures()[i]->Width(), sizes[i].first) << i;
        EXPECT_EQ(skin.ControlPictures()[i]->Height(), sizes[i].second) << i;
        EXPECT_EQ(skin.ControlPictures()[i]->PixelFormat(), i == 3 ? TPixelFormat::pf24bit : TPixelFormat::pf8bit);
    }
}

TEST(ProgramSkin, LoadsEveryRecordTheWindowUses)
{
    ProgramSkin skin;
    ASSERT_FALSE(skin.data.IsEmpty());
    EXPECT_EQ(skin.stored.FileName(), "skin.ini");
    EXPECT_EQ(skin.data.ControlRecords().size(), 57u); // 59 entries, "slider" and "bevel" make none
    EXPECT_EQ(skin.data.IndexOfControlRecord("slider"), -1);
    EXPECT_EQ(skin.data.IndexOfControlRecord("bevel"), -1);

    auto& list = Record<TbsDataSkinListBox>(skin.data, "listbox");
    EXPECT_EQ(list.PictureIndex, 3);
    EXPECT_EQ(list.SkinRect, (Rect { 115, 154, 182, 218 }));
    EXPECT_EQ(list.RBPoint, (Point { 57, 60 }));
    EXPECT_EQ(list.ClRect, (Rect { 1, 1, 66, 63 }));
    EXPECT_EQ(list.ItemRect, (Rect { 187, 199, 241, 221 }));
    EXPECT_EQ(list.FocusItemRect, list.ItemRect);
    EXPECT_EQ(list.ItemLeftOffset, 10);
    EXPECT_EQ(list.ItemRightOffset, 5);
    EXPECT_EQ(list.ItemTextRect, (Rect { 2, 1, 53, 21 }));
    EXPECT_EQ(list.FontName, "Arial");
    EXPECT_EQ(list.FontHeight, 14);
    EXPECT_EQ(list.CaptionRect, Rect {});

    auto& tree = Record<TbsDataSkinTreeView>(skin.data, "treeview");
    EXPECT_EQ(tree.PictureIndex, -1);
    EXPECT_EQ(tree.BGColor, 11840160u);

    auto& vbar = Record<TbsDataSkinScrollBarControl>(skin.data, "vscrollbar");
    EXPECT_EQ(vbar.SkinRect, (Rect { 283, 6, 301, 59 }));
    EXPECT_EQ(vbar.LBPoint, (Point { 8, 33 }));
    EXPECT_EQ(vbar.UpButtonRect, (Rect { 0, 36, 18, 53 }));
    EXPECT_EQ(vbar.DownDownButtonRect, (Rect { 253, 27, 265, 39 }));
    EXPECT_EQ(vbar.ThumbRect, (Rect { 240, 6, 254, 24 }));
    EXPECT_EQ(vbar.ActiveThumbRect, Rect {});
    auto& both = Record<TbsDataSkinScrollBarControl>(skin.data, "bothhscrollbar");
    EXPECT_EQ(both.SkinRect, (Rect { 230, 66, 301, 84 }));
    EXPECT_EQ(both.TrackArea, (Rect { 15, 4, 39, 14 }));
    EXPECT_EQ(both.ThumbOffset2, 5);
}

TEST(ProgramSkin, FitsTheWindowsScrollBars)
{
    ProgramSkin skin;
    TbsSkinScrollBar vertical(nullptr);
    vertical.SetKind(TScrollBarKind::sbVertical);
    vertical.SetSkinDataName("vscrollbar");
    vertical.SetBounds(180, 56, 17, 433);
    vertical.SetSkinData(&skin.data);
    EXPECT_EQ(vertical.BoundsRect(), (Rect { 180, 56, 198, 489 }));
    vertical.ComputeGeometry();
    EXPECT_EQ(vertical.Part(TbsSkinScrollBar::UpPart).R, (Rect { 0, 36 + 380, 18, 53 + 380 }));
    EXPECT_EQ(vertical.Part(TbsSkinScrollBar::DownPart).R, (Rect { 0, 0, 18, 15 }));
    EXPECT_EQ(vertical.TrackRect(), (Rect { 0, 14, 18, 37 + 380 }));
    EXPECT_EQ(vertical.Part(TbsSkinScrollBar::ThumbPart).R, (Rect { 2, 14, 16, 32 }));

    TbsSkinScrollBar horizontal(nullptr);
    horizontal.SetSkinDataName("hscrollbar");
    horizontal.SetBounds(23, 489, 174, 17);
    horizontal.SetSkinData(&skin.data);
    EXPECT_EQ(horizontal.Height(), 18);
    horizontal.ComputeGeometry();
    EXPECT_EQ(horizontal.Part(TbsSkinScrollBar::UpPart).R, (Rect { 38 + 121, 0, 52 + 121, 18 }));
    horizontal.SetBoth(true); // the shared-corner record
    EXPECT_EQ(horizontal.SkinDataName(), "bothhscrollbar");
    horizontal.ComputeGeometry();
    EXPECT_EQ(horizontal.Part(TbsSkinScrollBar::UpPart).R, (Rect { 39 + 103, 3, 51 + 103, 15 }));
    horizontal.SetBoth(false);
    EXPECT_EQ(horizontal.SkinDataName(), "hscrollbar");
}

TEST(ProgramSkin, PaintsTheSkinnedBarFromPictureThree)
{
    ProgramSkin skin;
    TbsSkinScrollBar bar(nullptr);
    bar.SetSkinDataName("hscrollbar");
    bar.SetSkinData(&skin.data);
    bar.SetBounds(0, 0, 174, 18);
    TBitmap image;
    image.SetPixelFormat(TPixelFormat::pf32bit);
    image.SetSize(174, 18);
    bar.Paint(image.Canvas());
    const PixelBuffer& picture = skin.data.ControlPicture(3)->Pixels();
    // The right button is the skin's right end, moved to the bar's end.
    for (int x = 0; x < 15; ++x)
        for (int y = 0; y < 18; ++y)
            ASSERT_EQ(image.Pixels().At(159 + x, y), picture.At(230 + 38 + x, 66 + y)) << x << "," << y;
    // The thumb at position 0 shows the thumb image at the track's start.
    bar.ComputeGeometry();
    Rect thumb = bar.Part(TbsSkinScrollBar::ThumbPart).R;
    EXPECT_EQ(image.Pixels().At(thumb.left, thumb.top + 3), picture.At(259, 7 + 3));
}

TEST(DamagedSkin, ErrorsLeaveTheSkinEmptyAndTheControlsUnskinned)
{
    std::vector<std::uint8_t> not_bmp = Pictures();
    not_bmp[2] = 'X'; // the main picture's "BM"
    std::vector<std::uint8_t> cut(Pictures().begin(), Pictures().begin() + 300000);
    std::string text(IniText().begin(), IniText().end());
    std::string no_digits = text;
    no_digits.replace(no_digits.find("skinrect=115,154,182,218"), 24, "skinrect=a,b,c,d");
    std::string no_section = text;
    no_section.replace(no_section.find("[SKINOBJECTS]"), 13, "[SKINOBJECTZ]");
    auto bytes = [](const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };

    struct Case {
        const char* name;
        std::vector<std::uint8_t> ini;
        std::vector<std::uint8_t> pictures;
        const char* message; // empty: no error, the unskinned look
    };
    const Case cases[] = {
        { "NotABitmap", IniText(), not_bmp, "Bitmap image is not valid" },
        { "EndsEarly", IniText(), cut, "Stream read error" },
        { "RectangleWithoutDigits", bytes(no_digits), Pictures(), "'' is not a valid integer value" },
        { "MissingSection", bytes(no_section), Pictures(), "" },
    };
    for (const Case& c : cases) {
        TbsStoredSkin stored;
        TbsSkinData data;
        TbsSkinScrollBar bar(nullptr);
        bar.SetSkinDataName("hscrollbar");
        bar.SetSkinData(&data);
        bar.SetBounds(0, 0, 174, 17);
        std::string message;
        try {
            LoadStoredSkin(stored, data, c.ini, c.pictures);
        } catch (const Exception& error) {
            message = error.Message();
        }
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_TRUE(data.IsEmpty()) << c.name;
        TBitmap image;
        image.SetPixelFormat(TPixelFormat::pf32bit);
        image.SetSize(174, 17);
        bar.Paint(image.Canvas());
        EXPECT_EQ(bar.SkinIndex(), -1) << c.name;
        EXPECT_EQ(bar.Height(), 17) << c.name;
        EXPECT_EQ(image.Pixels().At(100, 8) & 0xFFFFFF, ColorToPixel(ColorToRGB(clBtnFace)) & 0xFFFFFF) << c.name;
    }
}
