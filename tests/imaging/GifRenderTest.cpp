// Rendering frames into bitmaps, masks, drawing with transparency and the placement rule.

#include "GifWriter.h"
#include "framework/TBitmap.h"
#include "imaging/TGIFImage.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::uint8_t> kColors = { 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255 };
constexpr TColor kUnder = RGB(10, 20, 30);

std::unique_ptr<TGIFImage> Image(int sw, int sh, giftest::Frame frame)
{
    giftest::File file;
    file.width = sw;
    file.height = sh;
    file.global_colors = kColors;
    frame.lzw.min_code_size = 2;
    file.frames.push_back(std::move(frame));
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromBytes(giftest::Write(file));
    return image;
}

giftest::Frame Frame(int left, int top, int w, int h, std::vector<std::uint8_t> pixels, int transparent = -1)
{
    giftest::Frame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.pixels = std::move(pixels);
    f.control = transparent >= 0;
    f.transparent = transparent;
    return f;
}

struct Target {
    explicit Target(int w, int h)
    {
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
        bitmap.SetSize(w, h);
        bitmap.Canvas().Brush().Color = kUnder;
        bitmap.Canvas().FillRect(Rect::FromSize(0, 0, w, h));
    }
    TColor At(int x, int y) { return PixelToColor(bitmap.Pixels().At(x, y)) & 0xFFFFFF; }
    TBitmap bitmap;
};

TEST(GifRender, FrameBitmapHasTheColourTableAndTheIndices)
{
    auto image = Image(2, 2, Frame(0, 0, 2, 2, { 0, 1, 2, 3 }));
    TBitmap& bitmap = image->Frame(0).Bitmap();
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_EQ(bitmap.Palette().size(), 256u);
    EXPECT_EQ(bitmap.Palette()[1], RGB(255, 0, 0));
    EXPECT_EQ(bitmap.Palette()[200], clBlack); // padded with black
    EXPECT_EQ(bitmap.ScanLine(1)[1], 3);
}

TEST(GifRender, MaskMarksTransparentPixelsAndTransparentDrawingKeepsTheTarget)
{
    auto image = Image(3, 2, Frame(0, 0, 3, 2, { 1, 0, 2, 0, 3, 0 }, 0));
    TGIFSubImage& frame = image->Frame(0);
    ASSERT_TRUE(frame.HasMask());
    EXPECT_EQ(frame.MaskStride(), 2);
    EXPECT_EQ(frame.Mask()[0], 0x40); // row 0: only x = 1, most significant bit first
    EXPECT_EQ(frame.Mask()[2], 0xA0); // row 1: x = 0 and x = 2
    Target target(3, 2);
    image->Draw(target.bitmap.Canvas(), Rect::FromSize(0, 0, 3, 2));
    EXPECT_EQ(target.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.At(1, 0), kUnder);
    EXPECT_EQ(target.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(target.At(0, 1), kUnder);

    // Without DrawTransparent the frame is opaque.
    image->DrawOptions &= ~unsigned(TGIFImage::DrawTransparent);
    Target opaque(3, 2);
    image->Draw(opaque.bitmap.Canvas(), Rect::FromSize(0, 0, 3, 2));
    EXPECT_EQ(opaque.At(1, 0), RGB(0, 0, 0));
}

TEST(GifRender, TransparentFrameWithoutTransparentPixelsDrawsOpaquely)
{
    auto image = Image(2, 1, Frame(0, 0, 2, 1, { 1, 2 }, 3));
    EXPECT_TRUE(image->Frame(0).Transparent());
    EXPECT_FALSE(image->Frame(0).HasMask());
    Target target(2, 1);
    image->Draw(target.bitmap.Canvas(), Rect::FromSize(0, 0, 2, 1));
    EXPECT_EQ(target.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.At(1, 0), RGB(0, 255, 0));
}

TEST(GifRender, FramePlacementScalesIntoTheTargetRectangle)
{
    // A 2 x 2 frame at (2, 2) of a 4 x 4 screen, drawn into an 8 x 8 rectangle at (1, 1).
    auto image = Image(4, 4, Frame(2, 2, 2, 2, { 1, 1, 1, 1 }));
    Target target(10, 10);
    image->Draw(target.bitmap.Canvas(), Rect::FromSize(1, 1, 8, 8));
    EXPECT_EQ(target.At(4, 4), kUnder);
    EXPECT_EQ(target.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(target.At(8, 8), RGB(255, 0, 0));
    EXPECT_EQ(target.At(9, 9), kUnder);
}

TEST(GifRender, TrueColourDisplayNeverDithersPaletteDisplayDoes)
{
    auto image = Image(2, 1, Frame(0, 0, 2, 1, { 1, 3 }));
    EXPECT_FALSE(image->DoDither());
    EXPECT_EQ(image->Frame(0).Palette().size(), 4u);

    TGIFImage::s_palette_display = true;
    auto dithered = Image(2, 1, Frame(0, 0, 2, 1, { 1, 3 }));
    EXPECT_TRUE(dithered->DoDither());
    TBitmap& bitmap = dithered->Frame(0).Bitmap();
    TGIFImage::s_palette_display = false;
    EXPECT_EQ(bitmap.Palette()[5 * 36], RGB(255, 0, 0));
    EXPECT_EQ(bitmap.ScanLine(0)[0], 5 * 36); // pure red lies on the cube: no error to spread
    EXPECT_EQ(bitmap.ScanLine(0)[1], 5); // pure blue
}

TEST(GifRender, DitheringSpreadsTheErrorOfColoursBetweenLevels)
{
    giftest::File file;
    file.width = 16;
    file.height = 1;
    file.global_colors = { 0, 0, 0, 40, 40, 40 }; // grey 40 lies between levels 0 and 51
    giftest::Frame f = Frame(0, 0, 16, 1, std::vector<std::uint8_t>(16, 1));
    f.lzw.min_code_size = 2;
    file.frames.push_back(f);
    TGIFImage::s_palette_display = true;
    TGIFImage image;
    image.LoadFromBytes(giftest::Write(file));
    TBitmap& bitmap = image.Frame(0).Bitmap();
    TGIFImage::s_palette_display = false;
    int lighter = 0;
    for (int x = 0; x < 16; ++x)
        lighter += bitmap.ScanLine(0)[x] != 0;
    EXPECT_GT(lighter, 4); // about half the pixels go up a level ...
    EXPECT_LT(lighter, 12); // ... and about half stay down
}

TEST(GifRender, WholeImageBitmapHasTheScreenSize)
{
    auto image = Image(4, 3, Frame(1, 1, 2, 2, { 1, 2, 3, 1 }));
    TBitmap* whole = image->Bitmap();
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->Width(), 4);
    EXPECT_EQ(whole->Height(), 3);
    EXPECT_EQ(PixelToColor(whole->Pixels().At(2, 1)) & 0xFFFFFF, RGB(0, 255, 0));
    TBitmap copy;
    image->AssignTo(copy);
    EXPECT_EQ(copy.Width(), 4);
}

TEST(GifRender, IndicesBeyondTheTableDrawBlack)
{
    auto image = Image(2, 1, Frame(0, 0, 2, 1, { 1, 3 }));
    // Patch the pixel data through a file whose code size allows index 9 with a 4-colour table.
    giftest::File file;
    file.width = 2;
    file.height = 1;
    file.global_colors = kColors;
    giftest::Frame f = Frame(0, 0, 2, 1, { 9, 1 });
    f.lzw.min_code_size = 4;
    file.frames.push_back(f);
    TGIFImage wide;
    wide.LoadFromBytes(giftest::Write(file));
    Target target(2, 1);
    wide.Draw(target.bitmap.Canvas(), Rect::FromSize(0, 0, 2, 1));
    EXPECT_EQ(target.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(target.At(1, 0), RGB(255, 0, 0));
}

} // namespace
