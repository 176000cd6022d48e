#include "platform/media/MciPictureScaler.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>

namespace {

using FramePtr = std::unique_ptr<AVFrame, void (*)(AVFrame*)>;

// A 64 x 48 picture of one colour, given as its Y, Cb and Cr samples.
struct Flat {
    const char* name;
    AVPixelFormat format;
    AVColorRange range;
    AVColorSpace matrix;
    int y, cb, cr;
};

FramePtr Make(const Flat& flat)
{
    FramePtr frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    frame->format = flat.format;
    frame->width = 64;
    frame->height = 48;
    frame->color_range = flat.range;
    frame->colorspace = flat.matrix;
    EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
    const int values[3] = { flat.y, flat.cb, flat.cr };
    for (int plane = 0; plane < 3; ++plane) {
        int rows = plane ? 24 : 48;
        for (int row = 0; row < rows; ++row)
            std::fill_n(frame->data[plane] + row * frame->linesize[plane], plane ? 32 : 64, std::uint8_t(values[plane]));
    }
    return frame;
}

Pixel Drawn(MciPictureScaler& scaler, const AVFrame& frame)
{
    PixelBuffer target;
    target.Resize(96, 80, 0);
    scaler.Draw(frame, target, Rect::FromSize(0, 0, 96, 80), target.Bounds());
    return target.At(48, 40);
}

void ExpectNear(Pixel pixel, int r, int g, int b, const char* what)
{
    EXPECT_LE(std::abs(int((pixel >> 16) & 0xFF) - r), 3) << what << std::hex << " " << pixel;
    EXPECT_LE(std::abs(int((pixel >> 8) & 0xFF) - g), 3) << what << std::hex << " " << pixel;
    EXPECT_LE(std::abs(int(pixel & 0xFF) - b), 3) << what << std::hex << " " << pixel;
}

// Pure red in each coding; every one must come out red, whatever was drawn before it.
const Flat kReds[] = {
    { "Limited601", AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, AVCOL_SPC_UNSPECIFIED, 81, 90, 240 },
    { "Full601", AV_PIX_FMT_YUV420P, AVCOL_RANGE_JPEG, AVCOL_SPC_BT470BG, 76, 85, 255 },
    { "FullJpegFormat", AV_PIX_FMT_YUVJ420P, AVCOL_RANGE_JPEG, AVCOL_SPC_BT470BG, 76, 85, 255 },
    { "Limited709", AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, AVCOL_SPC_BT709, 63, 102, 240 },
};

TEST(MciPictureScaler, EveryCodingOfRedComesOutRedAfterAnyOther)
{
    for (const Flat& first : kReds) {
        for (const Flat& second : kReds) {
            MciPictureScaler scaler;
            FramePtr a = Make(first);
            FramePtr b = Make(second);
            ExpectNear(Drawn(scaler, *a), 255, 0, 0, first.name);
            std::string what = std::string(second.name) + " after " + first.name;
            ExpectNear(Drawn(scaler, *b), 255, 0, 0, what.c_str());
            MciPictureScaler fresh;
            EXPECT_EQ(Drawn(scaler, *b), Drawn(fresh, *b)) << what;
        }
    }
}

// The same samples mean different colours under another range or matrix: the set-up must follow.
TEST(MciPictureScaler, RangeAndMatrixChangeTheResult)
{
    MciPictureScaler scaler;
    Flat limited = kReds[0];
    Flat full = limited;
    full.range = AVCOL_RANGE_JPEG;
    Flat bt709 = limited;
    bt709.matrix = AVCOL_SPC_BT709;
    Pixel as_limited = Drawn(scaler, *Make(limited));
    Pixel as_full = Drawn(scaler, *Make(full));
    Pixel as_709 = Drawn(scaler, *Make(bt709));
    EXPECT_NE(as_limited, as_full);
    EXPECT_NE(as_limited, as_709);
    EXPECT_EQ(Drawn(scaler, *Make(limited)), as_limited);
}

} // namespace

namespace {

// A picture whose every sample differs, so that a shifted or resampled result shows.
FramePtr Textured(AVPixelFormat format, AVColorRange range, AVColorSpace matrix)
{
    FramePtr frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    frame->format = format;
    frame->width = 96;
    frame->height = 64;
    frame->color_range = range;
    frame->colorspace = matrix;
    EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
    for (int plane = 0; plane < 3; ++plane) {
        int rows = plane && format != AV_PIX_FMT_YUV422P ? 32 : 64;
        int columns = plane ? 48 : 96;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                frame->data[plane][y * frame->linesize[plane] + x] = std::uint8_t(40 + (x * 13 + y * 7 + plane * 60) % 170);
    }
    return frame;
}

PixelBuffer DrawnAt(MciPictureScaler& scaler, const AVFrame& frame, int width, int height)
{
    PixelBuffer target;
    target.Resize(width, height, 0);
    scaler.Draw(frame, target, target.Bounds(), target.Bounds());
    return target;
}

} // namespace

// A device may take the first step of the scaling itself; the display then draws the same pixels
// as from the decoded picture, whatever the range and matrix.
TEST(MciPictureScaler, APreparedPictureDrawsAsTheDecodedOne)
{
    for (auto [format, range, matrix] : { std::tuple { AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, AVCOL_SPC_UNSPECIFIED },
             std::tuple { AV_PIX_FMT_YUV420P, AVCOL_RANGE_JPEG, AVCOL_SPC_BT709 },
             std::tuple { AV_PIX_FMT_YUVJ420P, AVCOL_RANGE_JPEG, AVCOL_SPC_BT470BG },
             std::tuple { AV_PIX_FMT_YUV422P, AVCOL_RANGE_MPEG, AVCOL_SPC_BT709 } }) {
        FramePtr decoded = Textured(format, range, matrix);
        MciPictureScaler device, display, direct;
        std::shared_ptr<const AVFrame> prepared = device.Resize(*decoded, 250, 170);
        ASSERT_TRUE(prepared);
        EXPECT_EQ(prepared->width, 250);
        PixelBuffer from_prepared = DrawnAt(display, *prepared, 250, 170);
        PixelBuffer from_decoded = DrawnAt(direct, *decoded, 250, 170);
        for (int y = 0; y < 170; ++y)
            for (int x = 0; x < 250; ++x)
                ASSERT_EQ(from_prepared.At(x, y), from_decoded.At(x, y)) << x << "," << y << " format " << format;
    }
    // Formats drawn in one step are not prepared.
    FramePtr rgb(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = 8;
    rgb->height = 8;
    ASSERT_EQ(av_frame_get_buffer(rgb.get(), 0), 0);
    MciPictureScaler scaler;
    EXPECT_FALSE(scaler.Resize(*rgb, 16, 16));
}

// Conversions at one size run in blocks of 16 pixels; a picture whose width is not a whole number
// of blocks must not spoil the pixels beside it, nor write past the end of a buffer that ends
// with it.
TEST(MciPictureScaler, LeavesThePixelsBesideThePictureAlone)
{
    constexpr Pixel marker = 0xFF123456;
    for (int width : { 250, 251, 97, 1 }) {
        Flat grey { "Grey", AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, AVCOL_SPC_UNSPECIFIED, 120, 128, 128 };
        FramePtr decoded = Make(grey);
        decoded->width = std::min(width, 64); // its own size: drawn by the one-size conversion
        for (int target_width : { decoded->width, width }) {
            PixelBuffer target;
            target.Resize(target_width + 20, 30, marker);
            MciPictureScaler scaler;
            scaler.Draw(*decoded, target, Rect::FromSize(0, 0, target_width, 30), target.Bounds());
            for (int y = 0; y < 30; ++y) {
                EXPECT_NE(target.At(target_width - 1, y), marker) << width;
                for (int x = target_width; x < target_width + 20; ++x)
                    ASSERT_EQ(target.At(x, y), marker) << "width " << target_width << " at " << x << "," << y;
            }
        }
    }
}
