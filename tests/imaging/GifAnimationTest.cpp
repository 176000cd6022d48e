// Animation: a real painter thread, the application's synchronise queue on this (the GUI) thread,
// and timing checked with margins that a loaded machine keeps.

#include "GifWriter.h"
#include "framework/TApplication.h"
#include "framework/TBitmap.h"
#include "framework/TPicture.h"
#include "imaging/TGIFImage.h"
#include "imaging/TGIFPainter.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Colours of the test palette by index.
const std::vector<std::uint8_t> kColors = { 0, 0, 0, /*1 red*/ 255, 0, 0, /*2 green*/ 0, 255, 0, /*3 blue*/ 0, 0, 255 };

giftest::Frame Solid(int left, int top, int width, int height, int index, int disposal, int delay, int transparent = -1)
{
    giftest::Frame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.pixels.assign(std::size_t(width) * height, std::uint8_t(index));
    f.control = true;
    f.disposal = disposal;
    f.delay = delay;
    f.transparent = transparent;
    f.lzw.min_code_size = 2;
    return f;
}

std::unique_ptr<TGIFImage> Load(const giftest::File& file)
{
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromBytes(giftest::Write(file));
    return image;
}

class GifAnimation : public testing::Test {
protected:
    GifAnimation()
        : app(std::make_unique<HeadlessBackend>(), "test_imaging")
    {
        target.SetPixelFormat(TPixelFormat::pf32bit);
        target.SetSize(4, 4);
        target.Canvas().Brush().Color = RGB(0, 0, 255); // what lies under the picture
        target.Canvas().FillRect(Rect::FromSize(0, 0, 4, 4));
    }

    // The colour the whole-image bitmap shows at (x, y).
    static TColor Shown(TGIFImage& image, int x, int y)
    {
        TBitmap* bitmap = image.Bitmap();
        return bitmap ? PixelToColor(bitmap->Pixels().At(x, y)) & 0xFFFFFF : 0xFFFFFFFF;
    }

    // Runs the loop until `done` or `ms` have passed.
    template<typename Done>
    void RunUntil(Done done, int ms)
    {
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (!done() && Clock::now() < end)
            app.RunFor(5);
    }

    TApplication app;
    TBitmap target;
};

TEST(GifPainterTiming, DelaysInUnitsOf12Milliseconds)
{
    auto ms = [](int file_delay, bool threaded) { return TGIFPainter::FrameDelay(file_delay, threaded) * TGIFPainter::kMsPerUnit; };
    EXPECT_EQ(ms(0, true), 120);
    EXPECT_EQ(ms(1, true), 36);
    EXPECT_EQ(ms(2, true), 36);
    EXPECT_EQ(ms(50, true), 600);
    EXPECT_EQ(ms(5000, true), 60000);
    EXPECT_EQ(ms(5000, false), 12000);
    // Half the lateness of the previous frame comes off the next wait; speed scales.
    EXPECT_EQ(TGIFPainter::ComputeWait(10, 0, 100), 120);
    EXPECT_EQ(TGIFPainter::ComputeWait(10, 40, 100), 100);
    EXPECT_EQ(TGIFPainter::ComputeWait(10, 0, 200), 60);
}

TEST_F(GifAnimation, TwoFramesWithoutLoopStayOnTheSecond)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 5), Solid(0, 0, 4, 4, 2, 1, 5) };
    auto image = Load(file);
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_EQ(Shown(*image, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(image->Painters().size(), 1u);
    RunUntil([&] { return image->Painters().empty(); }, 3000);
    EXPECT_TRUE(image->Painters().empty()) << "the painter ends after its one pass";
    EXPECT_EQ(Shown(*image, 1, 1), RGB(0, 255, 0));
    app.RunFor(200);
    EXPECT_EQ(Shown(*image, 1, 1), RGB(0, 255, 0));
    // A repaint copies the last state; no painter starts again.
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_EQ(PixelToColor(target.Pixels().At(2, 2)) & 0xFFFFFF, RGB(0, 255, 0));
}

// A damaged header may declare a logical screen of 65535 x 65535 around tiny frames: the animation's
// screen-size bitmap and the whole-image bitmap are refused with the program's out-of-memory error
// instead of asking for 17 GB, and no painter is left behind.
TEST_F(GifAnimation, ScreenBeyondThePixelBudgetIsRefusedNotAllocated)
{
    giftest::File file;
    file.width = file.height = 65535;
    file.global_colors = kColors;
    file.frames = { Solid(0, 0, 1, 1, 1, 1, 5), Solid(0, 0, 1, 1, 2, 1, 5) };
    auto image = Load(file);
    EXPECT_THROW(image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4)), EOutOfMemory);
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_THROW(image->Bitmap(), EOutOfMemory);
    // Within the budget the same frames animate.
    file.width = file.height = 4;
    auto small = Load(file);
    small->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_EQ(Shown(*small, 0, 0), RGB(255, 0, 0));
}

TEST_F(GifAnimation, LoopCountThreeGivesThreePassesAndRepaintsStartNoSecondPainter)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.loops = 3;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 4, 4, 2, 1, 3) };
    auto image = Load(file);
    int paints = 0;
    image->OnChange = [&](TObject*) { ++paints; };
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_LE(image->Painters().size(), 1u);
    RunUntil([&] { return image->Painters().empty(); }, 5000);
    ASSERT_TRUE(image->Painters().empty());
    EXPECT_EQ(paints, 6); // 2 frames x 3 passes
}

TEST_F(GifAnimation, FramesAreShownForTheirDelay)
{
    struct Case {
        int delay;
        int expected_ms;
    };
    for (Case c : { Case { 0, 120 }, Case { 2, 36 }, Case { 50, 600 } }) {
        giftest::File file;
        file.width = file.height = 4;
        file.global_colors = kColors;
        file.frames = { Solid(0, 0, 4, 4, 1, 1, c.delay), Solid(0, 0, 4, 4, 2, 1, 5), Solid(0, 0, 4, 4, 3, 1, 5) };
        auto image = Load(file);
        std::vector<Clock::time_point> times;
        image->OnChange = [&](TObject*) { times.push_back(Clock::now()); };
        image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
        RunUntil([&] { return image->Painters().empty(); }, 5000);
        ASSERT_EQ(times.size(), 3u) << "delay " << c.delay;
        auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(times[1] - times[0]).count();
        // The painter takes half the lateness of the frame before off the next wait, and the first
        // notification itself may come late on a busy machine: a tenth of the delay below it is
        // still the delay (10 ms units would give 500 for 600).
        EXPECT_GE(shown, c.expected_ms - c.expected_ms / 10 - 5) << "delay " << c.delay;
        EXPECT_LE(shown, c.expected_ms + 60) << "delay " << c.delay;
    }
}

TEST_F(GifAnimation, RestoreToBackgroundWithTransparencyShowsWhatLayBeneath)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.frames = { Solid(0, 0, 2, 2, 1, 2, 3), Solid(2, 2, 2, 2, 2, 1, 3) };
    auto image = Load(file);
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_EQ(Shown(*image, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Shown(*image, 3, 3), RGB(0, 0, 255)); // nothing drawn there yet: what lies beneath
    RunUntil([&] { return image->Painters().empty(); }, 3000);
    EXPECT_EQ(Shown(*image, 0, 0), RGB(0, 0, 255)) << "the disposed frame's area shows the background again";
    EXPECT_EQ(Shown(*image, 3, 3), RGB(0, 255, 0));
}

TEST_F(GifAnimation, RestoreToPreviousRemovesTheFrameAtTheNextOne)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 2, 2, 2, 3, 3), Solid(2, 2, 2, 2, 3, 1, 3) };
    auto image = Load(file);
    std::vector<TColor> at_origin;
    image->OnChange = [&](TObject*) { at_origin.push_back(Shown(*image, 0, 0)); };
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    RunUntil([&] { return image->Painters().empty(); }, 3000);
    ASSERT_EQ(at_origin.size(), 3u);
    EXPECT_EQ(at_origin[1], RGB(0, 255, 0)); // the restore-to-previous frame is shown ...
    EXPECT_EQ(at_origin[2], RGB(255, 0, 0)); // ... and gone with the next frame
    EXPECT_EQ(Shown(*image, 3, 3), RGB(0, 0, 255));
}

TEST_F(GifAnimation, ReplacingThePictureStopsTheAnimationBeforeTheImageIsFreed)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.loops = 0; // endlessly
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 4, 4, 2, 1, 3) };
    TPicture picture;
    picture.SetGraphic(Load(file));
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.Graphic()->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    app.RunFor(150);
    EXPECT_GT(changes, 1) << "the animation runs";
    auto still = std::make_unique<TBitmap>();
    still->SetSize(4, 4);
    picture.SetGraphic(std::move(still));
    changes = 0;
    app.RunFor(200);
    EXPECT_EQ(changes, 0) << "no frame of the old image is painted after it was replaced";
}

TEST_F(GifAnimation, SingleFrameNeverStartsAPainter)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.loops = 0;
    file.frames = { Solid(1, 1, 2, 2, 1, 2, 3) };
    auto image = Load(file);
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_EQ(image->DrawPainter(), nullptr);
    EXPECT_EQ(PixelToColor(target.Pixels().At(1, 1)) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(PixelToColor(target.Pixels().At(0, 0)) & 0xFFFFFF, RGB(0, 0, 255));
}

TEST_F(GifAnimation, AnEmptyFrameEndsThePass)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 4, 4, 2, 1, 3) };
    giftest::Bytes bytes = giftest::Write(file);
    // A comment that a stray zero byte, not an image, follows forms a frame without pixels.
    giftest::Bytes comment = { 0x21, 0xFE, 2, 'h', 'i', 0, 0 };
    const std::uint8_t control[] = { 0x21, 0xF9 };
    auto first = std::search(bytes.begin(), bytes.end(), std::begin(control), std::end(control));
    auto second = std::search(first + 1, bytes.end(), std::begin(control), std::end(control));
    bytes.insert(second, comment.begin(), comment.end());
    TGIFImage image;
    image.LoadFromBytes(bytes);
    ASSERT_EQ(image.FrameCount(), 3);
    EXPECT_TRUE(image.Frame(1).Empty());
    int paints = 0;
    image.OnChange = [&](TObject*) { ++paints; };
    image.Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    RunUntil([&] { return image.Painters().empty(); }, 3000);
    EXPECT_EQ(paints, 1) << "the pass ends at the empty frame";
}

TEST_F(GifAnimation, AFrameThatCannotBeRenderedEndsTheAnimationNotTheProgram)
{
    // No colour table at all: the first frame's rendering fails on its way to the screen.
    giftest::File file;
    file.width = file.height = 4;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 4, 4, 2, 1, 3) };
    auto image = Load(file);
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    RunUntil([&] { return image->Painters().empty(); }, 3000);
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_EQ(image->LastAnimationError(), "No global or local color table defined");
}

TEST_F(GifAnimation, SynchronousPainterPlaysOnceInTheCaller)
{
    giftest::File file;
    file.width = file.height = 4;
    file.global_colors = kColors;
    file.loops = 0;
    file.frames = { Solid(0, 0, 4, 4, 1, 1, 3), Solid(0, 0, 4, 4, 2, 1, 3) };
    auto image = Load(file);
    image->DrawOptions &= ~unsigned(TGIFImage::ThreadedPainting);
    auto start = Clock::now();
    image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 4));
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_EQ(PixelToColor(target.Pixels().At(0, 0)) & 0xFFFFFF, RGB(0, 255, 0));
    EXPECT_GE(took, 30); // the second frame waited for the first one's delay
}

} // namespace
