#include "platform/DesktopScale.h"
#include "platform/WindowScale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

constexpr Size window_size { 1024, 738 };

PixelBuffer RandomPicture(Size size, unsigned seed)
{
    std::mt19937 random(seed);
    PixelBuffer picture(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            picture.At(x, y) = 0xFF000000u | (random() & 0xFFFFFFu);
    return picture;
}

PixelBuffer Scaled(const WindowScale& scale, const PixelBuffer& window)
{
    PixelBuffer device(scale.Device().width, scale.Device().height);
    scale.Scale(window, window.Bounds(), device);
    return device;
}

int Red(Pixel p) { return int((p >> 16) & 0xFF); }
int Blue(Pixel p) { return int(p & 0xFF); }

class EveryScale : public testing::TestWithParam<double> { };

TEST(WindowScale, WholeFactorsRepeatEveryPixelExactly)
{
    PixelBuffer window = RandomPicture(window_size, 1);
    for (int k : { 1, 2, 3 }) {
        WindowScale scale(k, window_size);
        ASSERT_TRUE(scale.IsWhole());
        ASSERT_EQ(scale.Device(), (Size { 1024 * k, 738 * k }));
        PixelBuffer device = Scaled(scale, window);
        int wrong = 0;
        for (int y = 0; y < device.Height(); ++y)
            for (int x = 0; x < device.Width(); ++x)
                wrong += device.At(x, y) != window.At(x / k, y / k);
        EXPECT_EQ(wrong, 0) << "scale " << k;
    }
}

TEST(WindowScale, WholeFactorsMapEveryScreenPixelOfABlockToItsWindowPixel)
{
    for (int k : { 1, 2, 3 }) {
        WindowScale scale(k, window_size);
        for (int x = 0; x < scale.Device().width; ++x)
            ASSERT_EQ(scale.ToWindow({ x, 5 }).x, x / k) << "scale " << k;
        for (int y = 0; y < scale.Device().height; ++y)
            ASSERT_EQ(scale.ToWindow({ 5, y }).y, y / k) << "scale " << k;
        // The close mark at 1008,17 is at 2016..2017,34..35 on a doubled window.
        EXPECT_EQ(scale.ToWindow({ 1008 * k + k - 1, 17 * k }), (Point { 1008, 17 }));
    }
}

TEST(WindowScale, FractionalSizesRoundToWholePixels)
{
    EXPECT_EQ(WindowScale(1.25, window_size).Device(), (Size { 1280, 923 }));
    EXPECT_EQ(WindowScale(1.5, window_size).Device(), (Size { 1536, 1107 }));
    EXPECT_FALSE(WindowScale(1.5, window_size).IsWhole());
    // Where a picture drawn at the screen's resolution goes: the whole window, and the video display.
    EXPECT_EQ(WindowScale(1.25, window_size).DeviceArea({ 0, 0, 1024, 738 }), (Rect { 0, 0, 1280, 923 }));
    EXPECT_EQ(WindowScale(1.5, window_size).DeviceArea({ 226, 127, 994, 641 }), (Rect { 339, 191, 1491, 962 }));
    EXPECT_EQ(WindowScale(2, window_size).DeviceArea({ 226, 127, 994, 641 }), (Rect { 452, 254, 1988, 1282 }));
}

// A drag that leaves the window goes on getting points, beyond the window's edge.
TEST_P(EveryScale, PointsOutsideTheWindowMapBeyondItsEdge)
{
    WindowScale scale(GetParam(), window_size);
    Size device = scale.Device();
    EXPECT_EQ(scale.ToWindow({ -1, -1 }), (Point { -1, -1 }));
    EXPECT_EQ(scale.ToWindow({ device.width, device.height }), (Point { 1024, 738 }));
    EXPECT_LE(scale.ToWindow({ -100, 0 }).x, -100 / GetParam() + 1);
    EXPECT_GE(scale.ToWindow({ device.width + 99, 0 }).x, 1024 + int(99 / GetParam()) - 1);
    if (GetParam() == 1) {
        EXPECT_EQ(scale.ToWindow({ -37, 2000 }), (Point { -37, 2000 }));
    }
}

TEST_P(EveryScale, EveryWindowPixelCanBeHitAndMappingNeverGoesBack)
{
    WindowScale scale(GetParam(), window_size);
    std::vector<int> hits(std::size_t(window_size.width));
    int previous = 0;
    for (int x = 0; x < scale.Device().width; ++x) {
        int w = scale.ToWindow({ x, 0 }).x;
        ASSERT_GE(w, previous) << x;
        previous = w;
        ++hits[std::size_t(w)];
    }
    for (int w = 0; w < window_size.width; ++w)
        ASSERT_GT(hits[std::size_t(w)], 0) << "window column " << w << " cannot be clicked";
}

// A control drawn over a one-pixel-wide column or row answers a click exactly where the screen shows
// it mostly in its colour: the mapping and the filter agree on every screen pixel (a pixel that
// shows both halves alike may go either way).
TEST_P(EveryScale, ClicksHitTheControlThatShowsThere)
{
    WindowScale scale(GetParam(), window_size);
    for (int size : { 1, 2, 7 }) {
        for (bool columns : { true, false }) {
            PixelBuffer window(window_size.width, window_size.height);
            Rect control = columns ? Rect { 300, 0, 300 + size, window_size.height } : Rect { 0, 200, window_size.width, 200 + size };
            for (int y = 0; y < window.Height(); ++y)
                for (int x = 0; x < window.Width(); ++x)
                    window.At(x, y) = control.Contains({ x, y }) ? 0xFFFF0000u : 0xFF0000FFu;
            PixelBuffer device = Scaled(scale, window);
            for (int d = 0; d < (columns ? device.Width() : device.Height()); ++d) {
                Point at = columns ? Point { d, 100 } : Point { 100, d };
                Pixel shown = device.At(at.x, at.y);
                if (Red(shown) == Blue(shown))
                    continue;
                bool mostly_control = Red(shown) > Blue(shown);
                ASSERT_EQ(control.Contains(scale.ToWindow(at)), mostly_control)
                    << "scale " << GetParam() << ", control " << size << " wide, screen " << d;
            }
        }
    }
}

// Presenting only the changed area gives the same screen as scaling the whole window anew.
TEST_P(EveryScale, PresentingTheDirtyAreaMatchesAFullScale)
{
    WindowScale scale(GetParam(), window_size);
    PixelBuffer window = RandomPicture(window_size, 2);
    PixelBuffer screen = Scaled(scale, window);
    std::mt19937 random(3);
    for (int round = 0; round < 10; ++round) {
        int left = int(random() % 1024), top = int(random() % 738);
        Rect dirty { left, top, std::min(1024, left + 1 + int(random() % 200)), std::min(738, top + 1 + int(random() % 200)) };
        if (round == 0)
            dirty = { 1023, 737, 1024, 738 }; // the last pixel
        for (int y = dirty.top; y < dirty.bottom; ++y)
            for (int x = dirty.left; x < dirty.right; ++x)
                window.At(x, y) = 0xFF000000u | (random() & 0xFFFFFFu);
        scale.Scale(window, dirty, screen);
        PixelBuffer expected = Scaled(scale, window);
        for (int y = 0; y < screen.Height(); ++y)
            for (int x = 0; x < screen.Width(); ++x)
                ASSERT_EQ(screen.At(x, y), expected.At(x, y)) << "scale " << GetParam() << " round " << round << " at " << x << "," << y;
    }
}

// The SDL backend locks just the changed part of its texture and scales into that.
TEST_P(EveryScale, ScalingIntoAPartOfTheScreenWritesThatPart)
{
    WindowScale scale(GetParam(), window_size);
    PixelBuffer window = RandomPicture(window_size, 4);
    PixelBuffer whole = Scaled(scale, window);
    Rect dirty { 500, 300, 611, 377 };
    Rect target = scale.ToDevice(dirty);
    PixelBuffer part(target.Width(), target.Height());
    scale.Scale(window, dirty, part, target.TopLeft());
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x)
            ASSERT_EQ(part.At(x, y), whole.At(target.left + x, target.top + y)) << x << "," << y;
}

TEST_P(EveryScale, FlatAreasStayExactlyTheirColour)
{
    WindowScale scale(GetParam(), window_size);
    PixelBuffer window(window_size.width, window_size.height);
    for (int y = 0; y < window.Height(); ++y)
        for (int x = 0; x < window.Width(); ++x)
            window.At(x, y) = 0xFFA0AAB4u;
    PixelBuffer device = Scaled(scale, window);
    for (int y = 0; y < device.Height(); ++y)
        for (int x = 0; x < device.Width(); ++x)
            ASSERT_EQ(device.At(x, y), 0xFFA0AAB4u);
}

INSTANTIATE_TEST_SUITE_P(WindowScale, EveryScale, testing::ValuesIn(WindowScale::Supported),
    [](const auto& info) { return "x" + std::to_string(int(info.param * 100)); });

TEST(DesktopScale, ParsesTheSupportedFactorsOnly)
{
    for (auto [text, factor] : { std::pair { "1", 1.0 }, { "1.25", 1.25 }, { "1.5", 1.5 }, { "2", 2.0 }, { "3", 3.0 },
             { "2.0", 2.0 }, { " 2 ", 2.0 }, { "150%", 1.5 } })
        EXPECT_EQ(ParseScale(text), factor) << text;
    for (const char* text : { "", "0", "-2", "2.5", "4", "two", "2x", "nan", "inf", "1e400", "%" })
        EXPECT_FALSE(ParseScale(text)) << text;
}

struct ScaleCase {
    const char* name;
    DesktopScaleSettings settings;
    double factor;
    bool by_user;
    bool warns;
};

class ChoosesWindowScale : public testing::TestWithParam<ScaleCase> { };

TEST_P(ChoosesWindowScale, FromTheSettings)
{
    const ScaleCase& c = GetParam();
    ScaleChoice choice = ChooseWindowScale(c.settings, window_size);
    EXPECT_EQ(choice.factor, c.factor);
    EXPECT_EQ(choice.chosen_by_user, c.by_user);
    EXPECT_EQ(!choice.warning.empty(), c.warns) << choice.warning;
}

const Size big_screen { 3840, 2160 };

INSTANTIATE_TEST_SUITE_P(DesktopScale, ChoosesWindowScale,
    testing::Values(ScaleCase { "NothingSet", { .usable = big_screen }, 1, false, false },
        ScaleCase { "VelmarScaleWins", { .velmar_scale = "1.5", .gdk_scale = "2", .xft_dpi = 288, .usable = big_screen }, 1.5, true, false },
        // The user's own choice holds even where the window will not fit.
        ScaleCase { "VelmarScaleOnASmallScreen", { .velmar_scale = "3", .usable = { 1280, 1024 } }, 3, true, false },
        ScaleCase { "BadVelmarScaleFallsBack", { .velmar_scale = "2.5", .xft_dpi = 192, .usable = big_screen }, 2, false, true },
        // Desktops that set both mean one scale, not their product.
        ScaleCase { "GdkScaleBeforeXftDpi", { .gdk_scale = "2", .xft_dpi = 192, .usable = big_screen }, 2, false, false },
        ScaleCase { "BadGdkScaleIgnored", { .gdk_scale = "1.5", .xft_dpi = 144, .usable = big_screen }, 1.5, false, false },
        ScaleCase { "XftDpi96", { .xft_dpi = 96, .usable = big_screen }, 1, false, false },
        ScaleCase { "XftDpi120", { .xft_dpi = 120, .usable = big_screen }, 1.25, false, false },
        ScaleCase { "XftDpi168", { .xft_dpi = 168, .usable = big_screen }, 1.5, false, false },
        ScaleCase { "XftDpi192", { .xft_dpi = 192, .usable = big_screen }, 2, false, false },
        ScaleCase { "XftDpi384", { .xft_dpi = 384, .usable = { 7680, 4320 } }, 3, false, false },
        ScaleCase { "XftDpiBelow96", { .xft_dpi = 72, .usable = big_screen }, 1, false, false },
        ScaleCase { "CompositorScale", { .display_scale = 2, .usable = big_screen }, 2, false, false },
        // 2048 x 1476 does not fit 1920 x 1080 and neither does 1536 x 1107; 1280 x 923 does.
        ScaleCase { "LoweredToFitTheScreen", { .xft_dpi = 192, .usable = { 1920, 1080 } }, 1.25, false, false },
        ScaleCase { "NeverBelowOne", { .xft_dpi = 192, .usable = { 800, 600 } }, 1, false, false },
        ScaleCase { "UnknownScreenSize", { .xft_dpi = 288 }, 3, false, false }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
