#include "JpegSupport.h"
#include "framework/TBitmap.h"
#include "framework/TPicture.h"
#include "framework/TStream.h"
#include "imaging/ImageFormats.h"
#include "imaging/TGIFImage.h"
#include "imaging/TJPEGImage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using jpegtest::Bytes;
using testing::HasSubstr;

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "(no error)";
}

class PictureRegistry : public testing::Test {
protected:
    void SetUp() override { RegisterImageFormats(); }
    jpegtest::TempDir dir;
};

TEST_F(PictureRegistry, ChoosesTheClassByExtensionWhateverItsCase)
{
    Bytes jpeg = jpegtest::Encode(40, 30, 3);
    for (const char* name : { "a.JPG", "b.jpg", "c.jpeg", "d.JpEg" }) {
        TPicture picture;
        picture.LoadFromFile(dir.Write(name, jpeg));
        ASSERT_NE(picture.Graphic(), nullptr) << name;
        EXPECT_STREQ(picture.Graphic()->ClassName(), "TJPEGImage") << name;
        EXPECT_EQ(picture.Width(), 40);
        EXPECT_EQ(picture.Height(), 30);
    }
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    {
        TFileStream out(dir.Path("e.BMP"), TFileMode::fmCreate);
        bitmap.SaveToStream(out);
    }
    TPicture picture;
    picture.LoadFromFile(dir.Path("e.BMP"));
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 3);
}

TEST_F(PictureRegistry, UnknownExtensionKeepsThePreviousPicture)
{
    TPicture picture;
    picture.LoadFromFile(dir.Write("photo.jpg", jpegtest::Encode(8, 8, 3)));
    TGraphic* previous = picture.Graphic();
    dir.Write("scan.tif", { 1, 2, 3 });
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(dir.Path("scan.tif")); }), "Unknown picture file extension (.tif)");
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(dir.Path("noextension")); }), "Unknown picture file extension (.)");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(dir.Path("folder.jpg/file")); }),
        "Unknown picture file extension (.)");
    EXPECT_EQ(picture.Graphic(), previous);
}

TEST_F(PictureRegistry, MissingFileRaisesEFOpenErrorAndKeepsThePicture)
{
    TPicture picture;
    picture.LoadFromFile(dir.Write("photo.jpg", jpegtest::Encode(8, 8, 3)));
    TGraphic* previous = picture.Graphic();
    std::string missing = dir.Path("missing.jpg");
    try {
        picture.LoadFromFile(missing);
        FAIL() << "a missing file loaded";
    } catch (const EFOpenError& error) {
        EXPECT_THAT(error.Message(), HasSubstr("Cannot open file \"" + missing + "\". "));
    }
    EXPECT_EQ(picture.Graphic(), previous);
}

TEST_F(PictureRegistry, MetafilesAndIconsHaveEntriesButRefuseToLoad)
{
    auto formats = TPicture::FileFormats();
    std::vector<std::string> extensions;
    for (auto& [extension, description] : formats)
        extensions.push_back(extension);
    EXPECT_THAT(extensions, testing::IsSupersetOf({ "wmf", "emf", "ico", "bmp", "gif", "jpeg", "jpg" }));
    EXPECT_THAT(extensions, testing::ElementsAre("wmf", "emf", "ico", "bmp", "gif", "jpeg", "jpg"));
    TPicture picture;
    for (const char* name : { "a.wmf", "b.emf", "c.ico" })
        EXPECT_THAT(MessageOf([&] { picture.LoadFromFile(dir.Write(name, { 0, 0, 0, 0 })); }),
            HasSubstr("not supported"));
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST_F(PictureRegistry, GifFilesGetTGIFImage)
{
    // The smallest GIF: 1 x 1, two colours, one frame.
    Bytes gif = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 1,
        0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B };
    TPicture picture;
    picture.LoadFromFile(dir.Write("scheme.GIF", gif));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TGIFImage");
}

TEST(JPEGImage, DecodesExactlyAsLibjpegIntoA24BitBitmap)
{
    Bytes jpeg = jpegtest::Encode(123, 77, 3);
    int width = 0, height = 0;
    Bytes expected = jpegtest::DecodeBgr(jpeg, width, height);
    TJPEGImage image;
    TMemoryStream stream(jpeg);
    image.LoadFromStream(stream);
    EXPECT_FALSE(image.Decoded()); // decoding waits for the first use
    TBitmap bitmap;
    image.AssignTo(bitmap);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    ASSERT_EQ(bitmap.Width(), width);
    ASSERT_EQ(bitmap.Height(), height);
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    for (int y = 0; y < height; ++y)
        ASSERT_EQ(std::memcmp(bitmap.ScanLine(y), expected.data() + stride * std::size_t(y), std::size_t(width) * 3), 0)
            << "row " << y;
    EXPECT_TRUE(image.Decoded());
}

TEST(JPEGImage, GrayscaleFileDecodesTo8BitsWithAGreyPalette)
{
    TJPEGImage image;
    TMemoryStream stream(jpegtest::Encode(64, 48, 1));
    image.LoadFromStream(stream);
    TBitmap& bitmap = image.Bitmap();
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_FALSE(bitmap.Palette().empty());
    EXPECT_LE(bitmap.Palette().size(), 236u);
    for (TColor c : bitmap.Palette())
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
}

TEST(JPEGImage, TruncatedFileDrawsWithoutError)
{
    Bytes jpeg = jpegtest::Encode(200, 150, 3);
    jpeg.resize(jpeg.size() / 2);
    TJPEGImage image;
    TMemoryStream stream(jpeg);
    image.LoadFromStream(stream);
    TBitmap target;
    target.SetSize(200, 150);
    EXPECT_NO_THROW(target.Canvas().StretchDraw(Rect::FromSize(0, 0, 200, 150), image));
    EXPECT_EQ(image.Bitmap().Width(), 200);
}

TEST(JPEGImage, EmptyFileLoadsButFailsAtFirstDrawWithError42)
{
    TJPEGImage image;
    TMemoryStream stream(Bytes {});
    EXPECT_NO_THROW(image.LoadFromStream(stream));
    EXPECT_FALSE(image.Empty());
    TBitmap target;
    target.SetSize(10, 10);
    EXPECT_EQ(MessageOf([&] { target.Canvas().Draw(0, 0, image); }), "JPEG error #42");
}

TEST(JPEGImage, BadHeaderFailsWhileLoadingBadBodyAtFirstDecode)
{
    TJPEGImage image;
    TMemoryStream not_jpeg(Bytes { 'G', 'I', 'F', '8', '9', 'a', 0, 0 });
    EXPECT_THAT(MessageOf([&] { image.LoadFromStream(not_jpeg); }), testing::MatchesRegex("JPEG error #[0-9]+"));

    Bytes jpeg = jpegtest::Encode(64, 64, 3);
    // Damage the entropy-coded data after the headers: a marker that does not belong there.
    for (std::size_t i = jpeg.size() / 2; i < jpeg.size() / 2 + 16; ++i)
        jpeg[i] = 0xFF;
    jpeg[jpeg.size() / 2 + 16] = 0xC4; // a Huffman table marker inside the scan
    TMemoryStream damaged(jpeg);
    EXPECT_NO_THROW(image.LoadFromStream(damaged));
    // libjpeg may resynchronise; either way nothing escapes but EJPEG.
    try {
        image.Bitmap();
    } catch (const EJPEG& error) {
        EXPECT_THAT(error.Message(), testing::MatchesRegex("JPEG error #[0-9]+"));
    }
}

TEST(JPEGImage, AssignedImagesShareOneCopyOfTheCompressedBytes)
{
    TJPEGImage first;
    TMemoryStream stream(jpegtest::Encode(32, 32, 3));
    first.LoadFromStream(stream);
    TJPEGImage second;
    second.Assign(first);
    EXPECT_EQ(first.Data().get(), second.Data().get());
    auto clone = first.Clone();
    EXPECT_EQ(static_cast<TJPEGImage&>(*clone).Data().get(), first.Data().get());
    // Decoding one does not decode the other, and both give the same pixels.
    TBitmap a, b;
    first.AssignTo(a);
    EXPECT_FALSE(second.Decoded());
    second.AssignTo(b);
    EXPECT_EQ(std::memcmp(a.ScanLine(0), b.ScanLine(0), std::size_t(a.RowBytes())), 0);
}

TEST(JPEGImage, SizeCannotBeSetAndScaleShrinksTheOutput)
{
    TJPEGImage image;
    TMemoryStream stream(jpegtest::Encode(101, 51, 3));
    image.LoadFromStream(stream);
    EXPECT_EQ(MessageOf([&] { image.SetWidth(5); }), "Cannot change the size of a JPEG image");
    EXPECT_EQ(MessageOf([&] { image.SetHeight(5); }), "Cannot change the size of a JPEG image");
    image.Scale = TJPEGScale::jsHalf;
    EXPECT_EQ(image.Width(), 51);
    EXPECT_EQ(image.Height(), 26);
    EXPECT_EQ(image.Bitmap().Width(), 51);
}

TEST(JPEGImage, ProgressiveFileIsRecognisedAndDecodes)
{
    TJPEGImage image;
    Bytes jpeg = jpegtest::Encode(80, 60, 3, true);
    TMemoryStream stream(jpeg);
    image.LoadFromStream(stream);
    EXPECT_TRUE(image.ProgressiveEncoding);
    int width = 0, height = 0;
    Bytes expected = jpegtest::DecodeBgr(jpeg, width, height);
    EXPECT_EQ(std::memcmp(image.Bitmap().ScanLine(10), expected.data() + 10 * ((width * 3 + 3) & ~3), std::size_t(width) * 3), 0);
}

TEST(JPEGImage, AbortFromAProgressHandlerKeepsThePartialBitmap)
{
    TJPEGImage image;
    TMemoryStream stream(jpegtest::Encode(64, 64, 3));
    image.LoadFromStream(stream);
    int calls = 0;
    image.OnProgress = [&](TProgressStage stage, int, int, int, bool& abort) {
        ++calls;
        if (stage == TProgressStage::psRunning)
            abort = true;
    };
    EXPECT_NO_THROW(image.Bitmap());
    EXPECT_GE(calls, 2); // starting and ending at least
    EXPECT_EQ(image.Bitmap().Width(), 64);
}

} // namespace

namespace {

TEST(JPEGImage, DeclaredHugeSizeFailsCleanlyInsteadOfAllocating)
{
    Bytes jpeg = jpegtest::Encode(16, 16, 3);
    // Patch the frame header (SOF0: FF C0, length, precision, height, width) to 65500 x 65500.
    for (std::size_t i = 0; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xFF, jpeg[i + 6] = 0xDC, jpeg[i + 7] = 0xFF, jpeg[i + 8] = 0xDC;
            break;
        }
    TJPEGImage image;
    TMemoryStream stream(jpeg);
    image.LoadFromStream(stream);
    EXPECT_EQ(image.Width(), 65500);
    EXPECT_EQ(MessageOf([&] { image.Bitmap(); }), "Out of memory");
}

} // namespace
