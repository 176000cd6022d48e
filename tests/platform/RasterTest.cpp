#include "platform/Raster.h"

#include <gtest/gtest.h>

namespace {

constexpr Pixel red = 0xFFFF0000u, green = 0xFF00FF00u, blue = 0xFF0000FFu, black = 0xFF000000u;
constexpr Rect everywhere { -1000, -1000, 1000, 1000 };

PixelBuffer Filled(int w, int h, Pixel p)
{
    PixelBuffer b;
    b.Resize(w, h, p);
    return b;
}

} // namespace

TEST(Raster, FillStaysInsideClipAndBuffer)
{
    PixelBuffer b = Filled(8, 8, black);
    FillRect(b, { -5, -5, 20, 3 }, red, { 2, 0, 6, 8 });
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(b.At(x, y), (y < 3 && x >= 2 && x < 6) ? red : black) << x << "," << y;
}

TEST(Raster, BlockCopyClipsAgainstSourceAndDestination)
{
    PixelBuffer src = Filled(4, 4, green);
    src.At(0, 0) = blue;
    PixelBuffer dst = Filled(6, 6, black);
    BlockCopy(dst, { 4, 4 }, src, src.Bounds(), RasterOp::Copy, everywhere);
    EXPECT_EQ(dst.At(4, 4), blue);
    EXPECT_EQ(dst.At(5, 5), green);
    EXPECT_EQ(dst.At(3, 3), black);
    // A source rectangle reaching outside the source reads nothing from outside it.
    PixelBuffer dst2 = Filled(6, 6, black);
    BlockCopy(dst2, { 0, 0 }, src, { -2, -2, 4, 4 }, RasterOp::Copy, everywhere);
    EXPECT_EQ(dst2.At(0, 0), black);
    EXPECT_EQ(dst2.At(2, 2), blue);
}

TEST(Raster, StretchByWholeFactorRepeatsEachPixelEqually)
{
    PixelBuffer src = Filled(2, 1, red);
    src.At(1, 0) = blue;
    PixelBuffer dst = Filled(6, 1, black);
    StretchCopy(dst, { 0, 0, 6, 1 }, src, src.Bounds(), RasterOp::Copy, everywhere);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dst.At(x, 0), x < 3 ? red : blue) << x;
}

TEST(Raster, AndOrCombineWithDestination)
{
    PixelBuffer src = Filled(1, 1, 0xFF0F0F0Fu);
    PixelBuffer dst = Filled(1, 1, 0xFFF0F0FFu);
    StretchCopy(dst, { 0, 0, 1, 1 }, src, src.Bounds(), RasterOp::And, everywhere);
    EXPECT_EQ(dst.At(0, 0), 0xFF00000Fu);
    StretchCopy(dst, { 0, 0, 1, 1 }, src, src.Bounds(), RasterOp::Or, everywhere);
    EXPECT_EQ(dst.At(0, 0), 0xFF0F0F0Fu);
}

TEST(Raster, TransparentAndMaskedCopiesLeaveHolesUntouched)
{
    PixelBuffer src = Filled(8, 1, green);
    src.At(3, 0) = red; // the transparent colour
    PixelBuffer dst = Filled(8, 1, black);
    TransparentCopy(dst, { 0, 0, 8, 1 }, src, src.Bounds(), red, everywhere);
    EXPECT_EQ(dst.At(3, 0), black);
    EXPECT_EQ(dst.At(2, 0), green);

    const std::uint8_t mask[] = { 0b01000001 }; // pixels 1 and 7 transparent
    PixelBuffer dst2 = Filled(8, 1, black);
    MaskedCopy(dst2, { 0, 0, 8, 1 }, src, src.Bounds(), mask, 1, everywhere);
    EXPECT_EQ(dst2.At(1, 0), black);
    EXPECT_EQ(dst2.At(7, 0), black);
    EXPECT_EQ(dst2.At(0, 0), green);
}

TEST(Raster, LineLeavesOutItsLastPoint)
{
    PixelBuffer b = Filled(5, 5, black);
    DrawLine(b, { 0, 0 }, { 4, 0 }, red, everywhere);
    EXPECT_EQ(b.At(3, 0), red);
    EXPECT_EQ(b.At(4, 0), black);
}

TEST(PixelBuffer, ResizingToTheSameSizeKeepsItsStorage)
{
    PixelBuffer b(100, 100);
    const Pixel* before = b.Row(0);
    b.Resize(100, 100);
    b.Resize(50, 50);
    EXPECT_EQ(b.Row(0), before);
}

TEST(Raster, AreasBesideTheClipOrTheBufferDrawNothing)
{
    PixelBuffer b = Filled(4, 4, black);
    FillRect(b, { 10, 0, 20, 4 }, red, everywhere);
    FillRect(b, { 0, 0, 4, 4 }, red, { 5, 5, 8, 8 });
    PixelBuffer src = Filled(4, 4, green);
    BlockCopy(b, { -10, 0 }, src, src.Bounds(), RasterOp::Copy, everywhere);
    BlockCopy(b, { 0, 0 }, src, src.Bounds(), RasterOp::Copy, { 3, 3, 1, 1 }); // an inverted clip
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.At(x, y), black);
}
