// The video display on a window shown scaled for a high-density screen: pictures are scaled once,
// straight to the screen's resolution, and the device is told that size; whatever lies over the
// display (a hint) shows the window's own pixels instead.
#include "HeadlessForm.h"
#include "framework/TAnimate.h"
#include "platform/media/MciPictureScaler.h"
#include "platform/media/MciWindowRegistry.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 40 x 30 picture with a diagonal ramp, so that scaling once and scaling twice differ.
std::shared_ptr<const AVFrame> Ramp()
{
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 40;
    frame->height = 30;
    EXPECT_EQ(av_frame_get_buffer(frame, 0), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            frame->data[0][y * frame->linesize[0] + x] = std::uint8_t(16 + (x * 5 + y * 3) % 220);
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x)
                frame->data[plane][y * frame->linesize[plane] + x] = std::uint8_t(plane == 1 ? 90 + x * 3 : 160 - y * 2);
    return std::shared_ptr<const AVFrame>(frame, [](const AVFrame* done) {
        AVFrame* owned = const_cast<AVFrame*>(done);
        av_frame_free(&owned);
    });
}

MciFramePtr FrameOf(std::shared_ptr<const AVFrame> picture, int width, int height)
{
    auto frame = std::make_shared<MciFrame>();
    frame->picture = std::move(picture);
    frame->width = width;
    frame->height = height;
    return frame;
}

// The screen pixels of a window rectangle at scale 2.
PixelBuffer ScreenPart(const HeadlessForm& ui, Rect window_rect)
{
    HeadlessForm& form = const_cast<HeadlessForm&>(ui);
    const PixelBuffer& screen = form.Backend().Presented();
    PixelBuffer part(window_rect.Width() * 2, window_rect.Height() * 2);
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x)
            part.At(x, y) = screen.At(window_rect.left * 2 + x, window_rect.top * 2 + y);
    return part;
}

PixelBuffer Doubled(const PixelBuffer& window, Rect window_rect)
{
    PixelBuffer part(window_rect.Width() * 2, window_rect.Height() * 2);
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x)
            part.At(x, y) = window.At(window_rect.left + x / 2, window_rect.top + y / 2);
    return part;
}

bool Same(const PixelBuffer& a, const PixelBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

TEST(AnimateOnAScaledScreen, PicturesAreScaledOnceToTheScreensResolution)
{
    HeadlessForm ui(200, 150, 2);
    auto* video = ui.Add<TAnimate>(20, 10, 120, 90);
    EXPECT_EQ(MciWindowRegistry::PixelScale(video->Handle()), 2); // the device prepares at that size

    std::shared_ptr<const AVFrame> picture = Ramp();
    MciWindowRegistry::DeliverFrame(video->Handle(), FrameOf(picture, 120, 90));
    ui.Pump();
    ASSERT_TRUE(video->Picture());

    PixelBuffer once(240, 180);
    MciPictureScaler scaler;
    scaler.Draw(*picture, once, once.Bounds(), once.Bounds());
    Rect area = Rect::FromSize(20, 10, 120, 90);
    EXPECT_TRUE(Same(ScreenPart(ui, area), once)) << "the screen does not show the picture scaled once to 240 x 180";

    // A hint over the display: the window's own pixels show there, doubled, hint and all.
    ui.Form().ShowHintWindow("hint", { 30, 20 });
    MciWindowRegistry::DeliverFrame(video->Handle(), FrameOf(picture, 120, 90));
    ui.Pump();
    EXPECT_TRUE(Same(ScreenPart(ui, area), Doubled(ui.Backend().Surface(), area)));
    EXPECT_FALSE(Same(ScreenPart(ui, area), once));

    // Without it the next picture goes straight to the screen again.
    ui.Form().HideHintWindow();
    MciWindowRegistry::DeliverFrame(video->Handle(), FrameOf(picture, 120, 90));
    ui.Pump();
    EXPECT_TRUE(Same(ScreenPart(ui, area), once));
}

TEST(AnimateOnAScaledScreen, PixelForPixelWindowsDrawInTheirOwnPixels)
{
    HeadlessForm ui(200, 150, 1);
    auto* video = ui.Add<TAnimate>(20, 10, 120, 90);
    EXPECT_EQ(MciWindowRegistry::PixelScale(video->Handle()), 1);
    std::shared_ptr<const AVFrame> picture = Ramp();
    MciWindowRegistry::DeliverFrame(video->Handle(), FrameOf(picture, 120, 90));
    ui.Pump();

    PixelBuffer expected(120, 90);
    MciPictureScaler scaler;
    scaler.Draw(*picture, expected, expected.Bounds(), expected.Bounds());
    PixelBuffer window_part(120, 90), screen_part(120, 90);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            window_part.At(x, y) = ui.Backend().Surface().At(20 + x, 10 + y);
            screen_part.At(x, y) = ui.Backend().Presented().At(20 + x, 10 + y);
        }
    EXPECT_TRUE(Same(window_part, expected));
    EXPECT_TRUE(Same(screen_part, expected));
}

} // namespace
