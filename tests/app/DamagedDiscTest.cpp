// The section views on a disc with missing and damaged files: photographs leave the viewer empty
// silently; drawings, Nazca pictures, previews and clips report a clear message in the error box;
// nothing crashes and the window goes on working.
#include "DiscDamage.h"
#include "SampleDisc.h"

#include "platform/PngCodec.h"

#include <gmock/gmock.h>

#include <jerror.h>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;
using testing::SizeIs;

namespace {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The first bytes of a file: a JPEG or GIF whose header survives and whose body is cut off.
void Truncate(const std::filesystem::path& path, std::size_t keep)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(keep, '\0');
    in.read(bytes.data(), std::streamsize(keep));
    bytes.resize(std::size_t(in.gcount()));
    in.close();
    WriteBytes(path, bytes);
}

// A JPEG whose header is sound and whose coded data is noise.
void ScrambleBody(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::size_t start = bytes.find("\xFF\xDA"); // start of scan
    ASSERT_NE(start, std::string::npos);
    for (std::size_t i = start + 16; i < bytes.size(); ++i)
        bytes[i] = char((i * 151) & 0xFF);
    WriteBytes(path, bytes);
}

} // namespace

class DamagedDiscTest : public SampleDiscTest {
protected:
    // The window must still paint and switch sections after the damage.
    void ExpectWindowWorks()
    {
        harness->Wait(20);
        ClickControl(Form().ImagePhotoH);
        EXPECT_TRUE(Form().FotoTreeView->Visible());
        TTreeView* tree = Form().FotoTreeView;
        ClickNode(tree, Node(tree, { "Год", "2001", "Великобритания", "Wiltshire, Pewsey" }));
        EXPECT_EQ(ViewerClass(), "TBitmap");
        EXPECT_THAT(Errors(), IsEmpty());
    }
    void ClickListItem(TbsSkinListBox* list, int index)
    {
        Point origin = list->ListBox().WindowOrigin();
        int row = list->ItemHeight();
        harness->Click(origin.x + 20, origin.y + row * index + row / 2);
    }
};

TEST_F(DamagedDiscTest, PhotographsMissingOrDamagedShowNothingSilently)
{
    std::filesystem::remove(ScratchPath("Photo\\1990\\01\\002.jpg"));
    WriteBytes(ScratchPath("Photo\\1990\\01\\003.jpg"), "not a picture at all");
    ScrambleBody(ScratchPath("Photo\\1990\\01\\004.jpg"));
    Reopen();
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" }));
    EXPECT_EQ(ViewerClass(), "TBitmap");
    for (int photo = 1; photo <= 3; ++photo) {
        Next();
        EXPECT_EQ(Form().CurrentPhoto, photo);
        EXPECT_EQ(Info(), "Великобритания Wiltshire, Avebury 05.07.1990");
        if (photo < 3) {
            EXPECT_EQ(ViewerClass(), "none") << "photograph " << photo;
        }
    }
    EXPECT_FALSE(NextActive());
    harness->Wait(20); // whatever the scrambled one left must paint
    Prev();
    Prev();
    Prev();
    EXPECT_EQ(Form().CurrentPhoto, 0);
    EXPECT_EQ(ViewerClass(), "TBitmap");
    EXPECT_THAT(Errors(), IsEmpty());
    ExpectWindowWorks();
}

TEST_F(DamagedDiscTest, SchemeDrawingsMissingOrDamagedAreReported)
{
    // Scheme 2 (Graphics\2001\01\) has the drawings 00, 01, 02.
    std::filesystem::remove(ScratchPath("Graphics\\2001\\01\\01.gif"));
    Truncate(ScratchPath("Graphics\\2001\\01\\02.gif"), 20);
    Reopen();
    ClickControl(Form().ImageSchemeH);
    ClickListItem(Form().SchemeListBox, 2);
    ASSERT_EQ(Form().CurrentScheme, 2);
    TGraphic* shown = Form().Image->Picture().Graphic();
    ASSERT_NE(shown, nullptr);
    Next();
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_EQ(Form().CurrentSchemePicture, 1); // the number has moved, the picture has not
    EXPECT_EQ(Form().Image->Picture().Graphic(), shown);
    Next();
    std::vector<std::string> errors = Errors();
    ASSERT_THAT(errors, SizeIs(1));
    EXPECT_THAT(errors[0], Not(IsEmpty()));
    EXPECT_EQ(Form().CurrentSchemePicture, 2);
    EXPECT_EQ(Form().Image->Picture().Graphic(), shown);
    // The failed load skipped the end test, so Next still shows; a press past the last drawing
    // steps nowhere and puts it out.
    ASSERT_TRUE(NextActive());
    Next();
    EXPECT_EQ(Form().CurrentSchemePicture, 2);
    EXPECT_FALSE(NextActive());
    EXPECT_THAT(Errors(), IsEmpty());
    ExpectWindowWorks();
}

TEST_F(DamagedDiscTest, MissingFirstDrawingIsReportedAndTheSectionStillShows)
{
    std::filesystem::remove(ScratchPath("Graphics\\1990\\01\\00.gif"));
    Reopen();
    ClickControl(Form().ImageSchemeH);
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::SchemePictures);
    EXPECT_EQ(ViewerClass(), "none");
    // The section is complete (list and tab strip), so another scheme can be picked and the
    // Photo tab clicked.
    EXPECT_TRUE(Form().SchemeListBox->Visible());
    EXPECT_GT(AppZ(Form().ImageScheme), AppZ(Form().body));
    EXPECT_GT(AppZ(Form().ImagePhotoH), AppZ(Form().body));
    ClickListItem(Form().SchemeListBox, 2);
    EXPECT_EQ(ViewerClass(), "TGIFImage");
    EXPECT_THAT(Errors(), IsEmpty());
    // The Scheme button of a photograph whose scheme lacks its first drawing likewise.
    ClickControl(Form().ImagePhotoH);
    TTreeView* tree = Form().FotoTreeView;
    ClickNode(tree, Node(tree, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" }));
    ASSERT_GT(AppZ(Form().Scheme), AppZ(Form().body));
    ClickControl(Form().Scheme);
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_GT(AppZ(Form().ImageScheme), AppZ(Form().body));
    EXPECT_GT(AppZ(Form().ImagePhotoH), AppZ(Form().body));
    ExpectWindowWorks();
}

TEST_F(DamagedDiscTest, NaskaPicturesMissingOrDamagedAreReported)
{
    std::filesystem::remove(ScratchPath("Naska\\Photo\\Hummingbird\\01.jpg"));
    ScrambleBody(ScratchPath("Naska\\Photo\\Hummingbird\\02.jpg"));
    std::filesystem::remove(ScratchPath("Naska\\Photo\\Whale\\00.jpg"));
    Reopen();
    TTreeView* tree = Form().NaskaTreeView;
    ClickControl(Form().ImageBonusH);
    ClickNode(tree, Node(tree, { "Наска", "Фото", "Колибри" }));
    TGraphic* shown = Form().Image->Picture().Graphic();
    ASSERT_NE(shown, nullptr);
    Next();
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    // A body of noise loads (its header is sound), so the last picture is reached; its first
    // drawing fails, once.
    Next();
    std::vector<std::string> errors = Errors();
    ASSERT_THAT(errors, SizeIs(1));
    EXPECT_THAT(errors[0], HasSubstr("JPEG error #"));
    EXPECT_EQ(Form().CurrentNaskaPicture, 2);
    EXPECT_EQ(ViewerClass(), "TJPEGImage");
    EXPECT_NE(Form().Image->Picture().Graphic(), shown);
    EXPECT_FALSE(NextActive());
    harness->Wait(20);
    EXPECT_THAT(Errors(), IsEmpty());
    // A figure whose first picture is missing: the line stays empty and Next inactive, while the
    // figure is already the current one.
    ClickNode(tree, Node(tree, { "Наска", "Фото", "Кит" }));
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_EQ(Form().CurrentMode, TVelmarForm::NaskaPictures);
    EXPECT_EQ(Info(), "");
    EXPECT_FALSE(NextActive());
    ExpectWindowWorks();
}

TEST_F(DamagedDiscTest, ArticlePreviewsMissingOrDamagedAreReported)
{
    std::filesystem::remove(ScratchPath("Articles\\1\\_http_stile\\1.jpg"));
    WriteBytes(ScratchPath("Articles\\2\\_http_stile\\1.jpg"), std::string("\xFF\xD8\xFF", 3));
    std::filesystem::remove(ScratchPath("Naska\\Articles\\2\\_http_stile\\1.jpg"));
    Reopen();
    ClickControl(Form().ImageArticlesH);
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_EQ(ViewerClass(), "none");
    ClickListItem(Form().ArticlesListBox, 1);
    std::vector<std::string> errors = Errors();
    ASSERT_THAT(errors, SizeIs(1));
    EXPECT_THAT(errors[0], Not(IsEmpty()));
    EXPECT_EQ(ViewerClass(), "none");
    ClickListItem(Form().ArticlesListBox, 2);
    EXPECT_EQ(ViewerClass(), "TJPEGImage");
    EXPECT_THAT(Errors(), IsEmpty());
    // A Nazca article without its picture: reported; its folder is set, so its page still opens.
    TTreeView* tree = Form().NaskaTreeView;
    ClickControl(Form().ImageBonusH);
    ClickNode(tree, Node(tree, { "Наска", "Статьи", "Неземной разум" }));
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("Cannot open file")));
    EXPECT_EQ(Form().CurrentArticleFolder, "Naska\\Articles\\2\\");
    EXPECT_EQ(Info(), "");
    ExpectWindowWorks();
}

// A preview whose header reads but which cannot be decoded (four CMYK components) loads; its first
// drawing fails. Each click shows one box, the viewer holds the new picture and paints nothing of
// it, and the next sound preview shows again.
TEST_F(DamagedDiscTest, PreviewThatCannotBeDecodedIsReportedOncePerClick)
{
    damage::WriteBytes(ScratchPath("Articles\\1\\_http_stile\\1.jpg"), damage::CmykJpeg());
    damage::WriteBytes(ScratchPath("Naska\\Articles\\2\\_http_stile\\1.jpg"), damage::CmykJpeg());
    Reopen();
    const std::string error = "JPEG error #" + std::to_string(JERR_CONVERSION_NOTIMPL) + ".";
    ClickControl(Form().ImageArticlesH); // shows the first article's preview
    EXPECT_THAT(Errors(), ElementsAre(error));
    EXPECT_EQ(ViewerClass(), "TJPEGImage");
    EXPECT_EQ(Form().Image->Picture().Width(), 64);
    harness->Wait(50); // repaints do not report it again
    EXPECT_THAT(Errors(), IsEmpty());
    ClickListItem(Form().ArticlesListBox, 1);
    EXPECT_THAT(Errors(), IsEmpty());
    ClickListItem(Form().ArticlesListBox, 0);
    EXPECT_THAT(Errors(), ElementsAre(error));
    ClickListItem(Form().ArticlesListBox, 2);
    harness->Wait(20);
    EXPECT_THAT(Errors(), IsEmpty());
    EXPECT_EQ(ViewerClass(), "TJPEGImage");

    // The Nazca article's picture likewise; its headline shows, as the load succeeded.
    TTreeView* tree = Form().NaskaTreeView;
    ClickControl(Form().ImageBonusH);
    ClickNode(tree, Node(tree, { "Наска", "Статьи", "Неземной разум" }));
    EXPECT_THAT(Errors(), ElementsAre(error));
    EXPECT_EQ(ViewerClass(), "TJPEGImage");
    EXPECT_EQ(Info(), "Наска - творение неземного разума");
    ExpectWindowWorks();
}

TEST_F(DamagedDiscTest, ClipsMissingOrDamagedAreReported)
{
    std::filesystem::remove(ScratchPath("Video\\2002_48.mpg"));
    WriteBytes(ScratchPath("Video\\2004_31.mpg"), std::string(4096, 'x'));
    Reopen();
    ClickControl(Form().ImageVideoH);
    TbsSkinListBox* list = Form().VideoListBox;
    ClickListItem(list, 1);
    harness->DoubleClick(list->ListBox().WindowOrigin().x + 20,
        list->ListBox().WindowOrigin().y + list->ItemHeight() + list->ItemHeight() / 2);
    std::vector<std::string> errors = Errors();
    ASSERT_THAT(errors, SizeIs(1));
    EXPECT_THAT(errors[0], Not(IsEmpty()));
    EXPECT_FALSE(Form().MediaPlayer->IsOpen());
    EXPECT_TRUE(Form().ImagePlay->Visible()); // the entry layout stays
    EXPECT_FALSE(Form().ImagePause->Visible());

    // A playing clip, then a damaged one by Enter: the first is closed, the layout stays Playing,
    // and pause finds no clip open.
    ClickListItem(list, 0);
    harness->DoubleClick(list->ListBox().WindowOrigin().x + 20, list->ListBox().WindowOrigin().y + 3);
    ASSERT_TRUE(Form().MediaPlayer->IsOpen());
    EXPECT_THAT(Errors(), IsEmpty());
    ClickListItem(list, 2);
    harness->Execute("key Enter", std::cout, std::cerr);
    errors = Errors();
    ASSERT_THAT(errors, SizeIs(1));
    EXPECT_THAT(errors[0], Not(IsEmpty()));
    EXPECT_FALSE(Form().MediaPlayer->IsOpen());
    ASSERT_TRUE(Form().ImagePause->Visible());
    ClickControl(Form().ImagePause);
    EXPECT_THAT(Errors(), ElementsAre(HasSubstr("No MCI device open")));
    ClickControl(Form().ImageStop);
    EXPECT_THAT(Errors(), IsEmpty());
    ExpectWindowWorks();
}
