#include "platform/media/MciPictureScaler.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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
