#include "SkinTestSupport.h"

#include "framework/Exception.h"
#include "framework/TStream.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> BmpBytes(const TBitmap& bitmap)
{
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    auto bytes = stream.Bytes();
    return { bytes.begin(), bytes.end() };
}

std::unique_ptr<TBitmap> Indexed(int width, int height, TPixelFormat format)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < bitmap->RowBytes(); ++x)
            bitmap->ScanLine(y)[x] = std::uint8_t(x * 31 + y * 7);
    bitmap->Modified();
    return bitmap;
}

// A stored skin with a main picture, no inactive picture, a 1-bit mask and three control pictures.
void Fill(TbsStoredSkin& skin)
{
    skin.MainPicture() = *Indexed(7, 5, TPixelFormat::pf8bit);
    skin.MaskPicture() = *Indexed(7, 5, TPixelFormat::pf1bit);
    skin.AddControlPicture(Indexed(3, 2, TPixelFormat::pf8bit));
    skin.AddControlPicture(CoordinatePicture(9, 4));
    skin.AddControlPicture(Indexed(1, 1, TPixelFormat::pf8bit));
}

std::vector<std::uint8_t> Block(const TbsStoredSkin& skin)
{
    TMemoryStream stream;
    skin.WritePictures(stream);
    auto bytes = stream.Bytes();
    return { bytes.begin(), bytes.end() };
}

} // namespace

TEST(PicturesBlock, RoundTripsAndEndsExactlyAtItsLength)
{
    TbsStoredSkin skin;
    Fill(skin);
    std::vector<std::uint8_t> block = Block(skin);
    std::size_t expected = 3 + 4 + BmpBytes(skin.MainPicture()).size() + BmpBytes(skin.MaskPicture()).size();
    for (const auto& picture : skin.ControlPictures())
        expected += BmpBytes(*picture).size();
    ASSERT_EQ(block.size(), expected);
    EXPECT_EQ(block[0], 0); // main picture present
    EXPECT_EQ(block[1 + BmpBytes(skin.MainPicture()).size()], 1); // inactive picture absent

    block.push_back(0xAB); // whatever follows the block stays unread
    TSpanStream stream(block);
    TbsStoredSkin read;
    read.ReadPictures(stream);
    EXPECT_EQ(stream.Position(), std::int64_t(expected));
    EXPECT_TRUE(read.InactivePicture().Empty());
    EXPECT_EQ(read.MainPicture().PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(read.MaskPicture().PixelFormat(), TPixelFormat::pf1bit);
    ASSERT_EQ(read.ControlPictures().size(), 3u);
    EXPECT_EQ(read.ControlPictures()[1]->PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(BmpBytes(*read.ControlPictures()[1]), BmpBytes(*skin.ControlPictures()[1]));
    EXPECT_EQ(BmpBytes(read.MaskPicture()), BmpBytes(skin.MaskPicture()));
}

TEST(PicturesBlock, ThirteenBytesHoldAnEmptySkin)
{
    std::vector<std::uint8_t> block = { 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0 };
    TbsStoredSkin skin;
    Fill(skin);
    TSpanStream stream(block);
    skin.ReadPictures(stream);
    EXPECT_EQ(stream.Position(), 7);
    EXPECT_TRUE(skin.MainPicture().Empty());
    EXPECT_TRUE(skin.MaskPicture().Empty());
    EXPECT_TRUE(skin.ControlPictures().empty());

    TbsStoredSkin empty;
    std::vector<std::uint8_t> written = Block(empty);
    EXPECT_EQ(written, (std::vector<std::uint8_t> { 1, 1, 1, 0, 0, 0, 0 }));
    // A negative count reads no pictures either.
    std::vector<std::uint8_t> negative = { 1, 1, 1, 0xFF, 0xFF, 0xFF, 0xFF };
    TSpanStream negative_stream(negative);
    skin.ReadPictures(negative_stream);
    EXPECT_TRUE(skin.ControlPictures().empty());
}

TEST(PicturesBlock, AnImageOccupiesTheSizeItsHeaderGives)
{
    // An image padded past its pixel rows: the next field begins after the declared size.
    std::vector<std::uint8_t> image = BmpBytes(*Indexed(3, 2, TPixelFormat::pf8bit));
    std::uint32_t size = std::uint32_t(image.size() + 5);
    image.insert(image.end(), { 9, 9, 9, 9, 9 });
    for (int i = 0; i < 4; ++i)
        image[2 + std::size_t(i)] = std::uint8_t(size >> (8 * i));
    std::vector<std::uint8_t> block = { 0 };
    block.insert(block.end(), image.begin(), image.end());
    block.insert(block.end(), { 1, 1, 0, 0, 0, 0 });
    TSpanStream stream(block);
    TbsStoredSkin skin;
    skin.ReadPictures(stream);
    EXPECT_EQ(skin.MainPicture().Width(), 3);
    EXPECT_EQ(stream.Position(), std::int64_t(block.size()));
}

TEST(PicturesBlock, APictureThatIsNotABmpIsNotValid)
{
    std::vector<std::uint8_t> block = { 0, 'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    TSpanStream stream(block);
    TbsStoredSkin skin;
    try {
        skin.ReadPictures(stream);
        FAIL();
    } catch (const EInvalidGraphic& error) {
        EXPECT_EQ(error.Message(), "Bitmap image is not valid");
    }
}

TEST(PicturesBlock, HeadersThatClaimMoreThanTheImageHoldsAreNotValid)
{
    std::vector<std::uint8_t> image = BmpBytes(*Indexed(3, 2, TPixelFormat::pf8bit));
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            image[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    };
    for (auto damage : { std::pair<std::size_t, std::uint32_t> { 18, 30000 }, { 22, 0x7FFFFFFF }, { 10, 0xFFFFFFF0 },
             { 2, 3 } }) {
        std::vector<std::uint8_t> saved = image;
        put32(damage.first, damage.second);
        std::vector<std::uint8_t> block = { 0 };
        block.insert(block.end(), image.begin(), image.end());
        block.insert(block.end(), { 1, 1, 0, 0, 0, 0 });
        TSpanStream stream(block);
        TbsStoredSkin skin;
        EXPECT_THROW(skin.ReadPictures(stream), EInvalidGraphic) << damage.first;
        image = saved;
    }
    // Both sides huge at once: the size check itself must not overflow (a fuzzer's find).
    put32(18, 0x7FFFFFFF);
    put32(22, 0x7FFFFFFF);
    std::vector<std::uint8_t> block = { 0 };
    block.insert(block.end(), image.begin(), image.end());
    TSpanStream stream(block);
    TbsStoredSkin skin;
    EXPECT_THROW(skin.ReadPictures(stream), EInvalidGraphic);
}

TEST(PicturesBlock, EveryCutEndsInOneOfTheTwoErrors)
{
    TbsStoredSkin skin;
    Fill(skin);
    std::vector<std::uint8_t> block = Block(skin);
    for (std::size_t length = 0; length < block.size(); ++length) {
        std::vector<std::uint8_t> cut(block.begin(), block.begin() + std::ptrdiff_t(length));
        TSpanStream stream(cut);
        TbsStoredSkin target;
        try {
            target.ReadPictures(stream);
            ADD_FAILURE() << "a block cut at " << length << " was read";
        } catch (const EReadError& error) {
            EXPECT_EQ(error.Message(), "Stream read error");
        }
    }
}
