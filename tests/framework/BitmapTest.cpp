#include "framework/Exception.h"
#include "framework/TBitmap.h"
#include "framework/TStream.h"

#include <gtest/gtest.h>

namespace {

TBitmap Checker(TPixelFormat format)
{
    TBitmap b;
    if (format == TPixelFormat::pf8bit)
        b.SetPixelFormat(format), b.SetPalette({ clBlack, RGB(255, 0, 0), RGB(0, 0, 255) });
    else
        b.SetPixelFormat(format);
    b.SetSize(5, 3);
    b.Canvas().Brush().Color = RGB(255, 0, 0);
    b.Canvas().FillRect({ 0, 0, 5, 3 });
    b.Canvas().Brush().Color = RGB(0, 0, 255);
    b.Canvas().FillRect({ 1, 1, 2, 2 });
    return b;
}

} // namespace

class BitmapFormats : public testing::TestWithParam<TPixelFormat> { };

TEST_P(BitmapFormats, CanvasDrawsAndBmpRoundTripsInEveryFormat)
{
    TBitmap original = Checker(GetParam());
    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.PixelFormat(), GetParam());
    ASSERT_EQ(loaded.Width(), 5);
    ASSERT_EQ(loaded.Height(), 3);
    EXPECT_EQ(loaded.Canvas().Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(loaded.Canvas().Pixel(4, 2), RGB(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, BitmapFormats,
    testing::Values(TPixelFormat::pf8bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit));

TEST(Bitmap, OneBitMasksKeepTheirTwoColours)
{
    TBitmap mask;
    mask.SetPixelFormat(TPixelFormat::pf1bit);
    mask.SetSize(9, 2);
    mask.Canvas().Brush().Color = clWhite;
    mask.Canvas().FillRect({ 8, 0, 9, 1 });
    EXPECT_EQ(mask.ScanLine(0)[1], 0x80); // pixel 8 is the first bit of the second byte
    EXPECT_EQ(mask.Canvas().Pixel(8, 0), clWhite);
    EXPECT_EQ(mask.Canvas().Pixel(7, 0), clBlack);
}

TEST(Bitmap, ConvertingFormatsKeepsThePicture)
{
    TBitmap b = Checker(TPixelFormat::pf24bit);
    b.SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), RGB(0, 0, 255));
    b.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGB(255, 0, 0));
}

TEST(Bitmap, TransparentDrawLeavesTheBottomLeftColourOut)
{
    TBitmap picture = Checker(TPixelFormat::pf24bit); // red, with a blue pixel at 1,1
    picture.SetTransparent(true);
    TBitmap target;
    target.SetSize(5, 3);
    target.Canvas().Brush().Color = clWhite;
    target.Canvas().FillRect({ 0, 0, 5, 3 });
    target.Canvas().Draw(0, 0, picture);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(target.Canvas().Pixel(1, 1), RGB(0, 0, 255));
}

TEST(Bitmap, DamagedFilesAreRejectedWithTheBitmapMessage)
{
    TBitmap good = Checker(TPixelFormat::pf24bit);
    TMemoryStream stream;
    good.SaveToStream(stream);
    std::vector<std::uint8_t> bytes(stream.Bytes().begin(), stream.Bytes().end());
    // Every cut of a valid file fails cleanly with the program's message.
    for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
        TMemoryStream truncated(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)));
        TBitmap b;
        try {
            b.LoadFromStream(truncated);
            FAIL() << "loaded a file cut at " << cut;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Bitmap image is not valid");
        }
    }
    bytes[28] = 7; // 7 bits per pixel
    TMemoryStream odd(bytes);
    TBitmap b;
    EXPECT_THROW(b.LoadFromStream(odd), EInvalidGraphic);
}

TEST(Bitmap, MovingTakesThePixelsOverAndEmptiesTheSource)
{
    TBitmap source = Checker(TPixelFormat::pf24bit);
    const std::uint8_t* pixels = source.ScanLine(0);
    TBitmap moved(std::move(source));
    EXPECT_EQ(moved.ScanLine(0), pixels) << "no copy";
    EXPECT_EQ(moved.Canvas().Pixel(1, 1), RGB(0, 0, 255)); // drawing goes to the new owner
    EXPECT_TRUE(source.Empty());
}

TEST(Bitmap, MoreThanThePixelBudgetIsRefusedBeforeAnythingIsAllocated)
{
    TBitmap bitmap = Checker(TPixelFormat::pf32bit);
    const int width = bitmap.Width();
    for (auto [w, h] : { std::pair { 65535, 65535 }, std::pair { 16385, 16384 }, std::pair { 1 << 28, 2 } }) {
        EXPECT_THROW(bitmap.SetSize(w, h), EOutOfMemory) << w << " x " << h;
        EXPECT_EQ(bitmap.Width(), width) << "the bitmap keeps its pixels";
    }
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), RGB(0, 0, 255));
}
