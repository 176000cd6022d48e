#include "ArtKit.h"
#include "LayoutParts.h"
#include "PngWriter.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include <unistd.h>

namespace {

TEST(Shapes, PolygonDistanceIgnoresWinding)
{
    std::vector<float> clockwise { 0, 0, 10, 0, 0, 10 };
    std::vector<float> anticlockwise { 0, 0, 0, 10, 10, 0 };
    for (auto [x, y] : { std::pair { 2.0f, 2.0f }, std::pair { 20.0f, 20.0f }, std::pair { -3.0f, 5.0f } }) {
        EXPECT_FLOAT_EQ(Sdf::Polygon(x, y, clockwise), Sdf::Polygon(x, y, anticlockwise)) << x << "," << y;
    }
    EXPECT_LT(Sdf::Polygon(2, 2, clockwise), 0);
    EXPECT_NEAR(Sdf::Polygon(-3, 5, clockwise), 3, 1e-5);
}

TEST(Shapes, RoundBoxAndSegmentDistances)
{
    Box box { 0, 0, 20, 10 };
    EXPECT_NEAR(Sdf::RoundBox(10, 5, box, 2), -5, 1e-5);
    EXPECT_NEAR(Sdf::RoundBox(25, 5, box, 2), 5, 1e-5);
    // A rounded corner lies further away than the square one would.
    EXPECT_GT(Sdf::RoundBox(0.2f, 0.2f, box, 4), 0);
    EXPECT_NEAR(Sdf::Segment(5, 3, 0, 0, 10, 0, 2), 2, 1e-5);
    EXPECT_NEAR(Sdf::Segment(13, 0, 0, 0, 10, 0, 2), 2, 1e-5); // beyond the round end
}

TEST(Drawing, FillCoversTheInsideBlendsTheEdgeAndLeavesTheRest)
{
    Drawing d(20, 20, { 0, 0, 0 });
    d.FillSolid({ 0, 0, 20, 20 }, [](float x, float y) { return Sdf::Circle(x, y, 10, 10, 5.3f); }, { 255, 255, 255 });
    EXPECT_FLOAT_EQ(d.At(10, 10).r, 255);
    EXPECT_FLOAT_EQ(d.At(0, 0).r, 0);
    EXPECT_FLOAT_EQ(d.At(19, 10).r, 0);
    // Pixel 15's centre is 5.5 from the middle: the edge at 5.3 crosses it.
    EXPECT_GT(d.At(15, 10).r, 0);
    EXPECT_LT(d.At(15, 10).r, 255);
}

TEST(Drawing, CropOutsideRepeatsTheNearestEdge)
{
    Drawing d(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            d.At(x, y) = { float(x * 10), float(y * 10), 0 };
    Drawing part = d.Crop(-1, -2, 5, 5);
    EXPECT_FLOAT_EQ(part.At(0, 0).r, 0);  // (-1, -2) -> (0, 0)
    EXPECT_FLOAT_EQ(part.At(4, 0).r, 20); // (3, -2) -> (2, 0)
    EXPECT_FLOAT_EQ(part.At(2, 4).g, 10); // (1, 2) -> (1, 1)
    EXPECT_FLOAT_EQ(part.At(2, 3).g, 10);
    EXPECT_FLOAT_EQ(part.At(2, 2).g, 0);
    EXPECT_THROW(Drawing(0, 5), Exception);
}

TEST(Drawing, BytesAreRoundedAndClamped)
{
    Drawing d(2, 1);
    d.At(0, 0) = { -20, 127.6f, 300 };
    d.At(1, 0) = { 0.4f, 254.5f, 255 };
    EXPECT_EQ(d.ToRgb8(), (std::vector<std::uint8_t> { 0, 128, 255, 0, 255, 255 }));
}

TEST(Noise, PeriodicNoiseRepeatsAcrossTheTile)
{
    for (float y : { 0.0f, 3.5f, 77.0f }) {
        for (float x : { 0.0f, 12.25f, 99.0f }) {
            EXPECT_NEAR(SmoothNoise(x, y, 10, 5, 16, 15), SmoothNoise(x + 160, y + 150, 10, 5, 16, 15), 1e-5);
            float v = SmoothNoise(x, y, 10, 5);
            EXPECT_GE(v, 0);
            EXPECT_LT(v, 1);
        }
    }
    EXPECT_EQ(HashNoise(3, 4, 5), HashNoise(3, 4, 5));
    EXPECT_NE(HashNoise(3, 4, 5), HashNoise(4, 3, 5));
}

// The schemes' background is stretched about five times across the viewer, pixel by pixel, and
// repeats as a tile: neighbours, the wrap from the last column to the first included, may differ
// only a little or the stretched blocks would show.
TEST(Pattern, IsSmoothAcrossItsEdgesAndBetweenNeighbours)
{
    Drawing pattern = DrawPattern();
    float largest = 0;
    for (int y = 0; y < pattern.Height(); ++y) {
        for (int x = 0; x < pattern.Width(); ++x) {
            const Rgb& p = pattern.At(x, y);
            const Rgb& right = pattern.At((x + 1) % pattern.Width(), y);
            const Rgb& below = pattern.At(x, (y + 1) % pattern.Height());
            largest = std::max({ largest, std::fabs(p.r - right.r), std::fabs(p.g - below.g) });
        }
    }
    EXPECT_LT(largest, 2.5f);
}

TEST(Lettering, MeasuresAndDrawsCyrillicAndSurvivesBadText)
{
    Lettering font("Liberation Sans:bold", 15);
    EXPECT_EQ(font.Measure(""), 0);
    int one = font.Measure("Ф");
    EXPECT_GT(one, 5);
    EXPECT_GT(font.Measure("Фот"), one);
    EXPECT_GT(font.Measure("Фото"), font.Measure("Фот"));
    EXPECT_GT(font.CapHeight(), 8);
    EXPECT_LT(font.CapHeight(), 15);

    Drawing d(60, 20, { 255, 255, 255 });
    font.Draw(d, "Фото", 2, 15, { 0, 0, 0 });
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            inked += d.At(x, y).r < 128;
    EXPECT_GT(inked, 40) << "Cyrillic glyphs missing from " << font.FilePath();

    // A cut sequence, a stray continuation byte and an over-long lead byte each draw a
    // replacement glyph and never read past the text.
    for (std::string bad : { std::string("\xD0"), std::string("a\x80"), std::string("\xF8\x88\x80\x80\x80"),
             std::string("\xE2\x82") }) {
        EXPECT_GT(font.Measure(bad), 0);
        font.Draw(d, bad, 0, 15, { 0, 0, 0 });
    }
}

TEST(PngWriter, WritesWhatWasDrawnAndReportsAFolderThatIsNotThere)
{
    Drawing d(3, 2, { 10, 20, 30 });
    d.At(2, 1) = { 200, 100, 50 };
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("mkres-png-" + std::to_string(getpid()) + ".png");
    WritePng(path.string(), d);

    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    std::filesystem::remove(path);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(rgb, d.ToRgb8());

    EXPECT_THROW(WritePng("/nonexistent-folder/x.png", d), Exception);
}

} // namespace
