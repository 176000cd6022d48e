#include "MediaClips.h"

#include "platform/media/ClipDecoder.h"
#include "platform/media/MciPictureScaler.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <gtest/gtest.h>

using MediaClips::Clip;

namespace {

// The number the decoder's current picture shows in its bands.
int ShownNumber(const ClipDecoder& decoder)
{
    AVFrame* frame = decoder.CurrentFrame();
    if (!frame)
        return -2;
    PixelBuffer pixels;
    pixels.Resize(frame->width, frame->height, 0);
    MciPictureScaler scaler;
    scaler.Draw(*frame, pixels, pixels.Bounds(), pixels.Bounds());
    av_frame_free(&frame);
    return ClipWriter::ReadFrameNumber(pixels);
}

class ClipDecoderSeeks : public testing::TestWithParam<Clip> { };

// Until the pictures are counted, a seek goes by the clip's clock: it must land on the very
// picture asked for, back and forth, across key frames and reordered pictures.
TEST_P(ClipDecoderSeeks, ByTimeBeforeThePicturesAreCounted)
{
    ClipDecoder decoder;
    ASSERT_EQ(decoder.Open(MediaClips::Path(GetParam()), ClipDecoder::Counting::Estimate), 0u);
    ASSERT_TRUE(decoder.DecodeNext());
    EXPECT_EQ(decoder.Length(), MediaClips::Frames(GetParam())); // the duration's estimate
    for (int target : { 200, 37, 125, 249, 3, 180, 60 }) {
        ASSERT_TRUE(decoder.SeekTo(target)) << target;
        EXPECT_EQ(decoder.CurrentIndex(), target);
        EXPECT_EQ(ShownNumber(decoder), target);
        if (target + 1 < decoder.Length()) {
            ASSERT_TRUE(decoder.DecodeNext()) << target;
            EXPECT_EQ(ShownNumber(decoder), target + 1);
        }
    }
}

// Counted, the same seeks go by the key frames the scan found.
TEST_P(ClipDecoderSeeks, ByTheCountedKeyFrames)
{
    ClipDecoder decoder;
    ASSERT_EQ(decoder.Open(MediaClips::Path(GetParam())), 0u);
    ASSERT_TRUE(decoder.DecodeNext());
    ASSERT_TRUE(decoder.WaitForLength(std::chrono::seconds(10)));
    EXPECT_EQ(decoder.Length(), MediaClips::Frames(GetParam()));
    for (int target : { 200, 37, 125, 249, 3, 180, 60 }) {
        ASSERT_TRUE(decoder.SeekTo(target)) << target;
        EXPECT_EQ(ShownNumber(decoder), target);
    }
}

std::string NameOf(const testing::TestParamInfo<Clip>& info)
{
    switch (info.param) {
    case Clip::Mpeg1Sound250:
        return "Mpeg1";
    case Clip::Mpeg2Sound250:
        return "Mpeg2";
    default:
        return "Mpeg2Reordered";
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipDecoderSeeks,
    testing::Values(Clip::Mpeg1Sound250, Clip::Mpeg2Sound250, Clip::Mpeg2BFrames250), NameOf);

} // namespace
