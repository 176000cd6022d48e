#include "LayoutPictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct DecodedPicture {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// Decodes PNG bytes to 8-bit RGB; fails the test when they are not a PNG.
DecodedPicture Decode(std::span<const std::uint8_t> bytes)
{
    DecodedPicture picture;
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        ADD_FAILURE() << "not a PNG: " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        ADD_FAILURE() << "broken PNG: " << image.message;
    return picture;
}

DecodedPicture Embedded(std::string_view name)
{
    return Decode(LayoutPicture(name));
}

bool SamePixel(const DecodedPicture& a, int ax, int ay, const DecodedPicture& b, int bx, int by)
{
    return std::equal(a.At(ax, ay), a.At(ax, ay) + 3, b.At(bx, by));
}

struct LayoutSize {
    const char* name;
    int width;
    int height;
};

// The picture sizes the window's layout stores.
constexpr LayoutSize LayoutSizes[] = {
    { "header", 1024, 67 }, { "body", 1024, 671 }, { "ImageMC", 35, 21 }, { "ImageNext", 19, 19 },
    { "ImagePrev", 19, 19 }, { "ImagePhoto", 98, 40 }, { "ImageScheme", 123, 44 }, { "ImageVideo", 102, 39 },
    { "ImageArticles", 115, 40 }, { "ImageBonus", 103, 43 }, { "Scheme", 142, 43 }, { "FonImage", 160, 150 },
    { "ImageUFO", 180, 80 }, { "FonVideoImage", 130, 25 }, { "ImageBackwardH", 19, 19 }, { "ImagePlayH", 19, 19 },
    { "ImagePauseH", 19, 19 }, { "ImageStopH", 19, 19 }, { "ImageForwardH", 19, 19 }, { "ImageStop", 19, 19 },
    { "ImagePlay", 19, 19 }, { "ImageForward", 19, 19 }, { "ImagePause", 19, 19 }, { "ImageBackward", 19, 19 },
};

TEST(LayoutPictures, EveryPictureHasTheSizeOfTheLayout)
{
    for (const LayoutSize& size : LayoutSizes) {
        SCOPED_TRACE(size.name);
        DecodedPicture picture = Embedded(size.name);
        EXPECT_EQ(picture.width, size.width);
        EXPECT_EQ(picture.height, size.height);
    }
    EXPECT_EQ(LayoutPictureNames().size(), std::size(LayoutSizes));
    for (std::string_view name : LayoutPictureNames())
        EXPECT_FALSE(LayoutPicture(name).empty()) << name;
}

TEST(LayoutPictures, UnknownNamesHaveNoPicture)
{
    EXPECT_TRUE(LayoutPicture("").empty());
    EXPECT_TRUE(LayoutPicture("Image").empty()); // the viewer has no picture of its own
    EXPECT_TRUE(LayoutPicture("ImagePhotoH").empty());
    EXPECT_TRUE(LayoutPicture("BODY").empty());
    EXPECT_TRUE(LayoutPicture("body.png").empty());
}

// The pictures shown above `body` or `header` must continue them seamlessly: wherever a picture
// does not show its own mark, it must hold exactly the pixels it covers.
TEST(LayoutPictures, MarksAndArrowsLineUpWithWhatTheyCover)
{
    DecodedPicture header = Embedded("header");
    DecodedPicture marks = Embedded("ImageMC");
    for (int y = 0; y < marks.height; ++y)
        for (int x = 0; x < marks.width; ++x)
            ASSERT_TRUE(SamePixel(marks, x, y, header, 981 + x, 13 + y)) << "ImageMC at " << x << "," << y;

    DecodedPicture body = Embedded("body");
    struct Arrow {
        const char* name;
        int left;
    };
    for (Arrow arrow : { Arrow { "ImagePrev", 954 }, Arrow { "ImageNext", 974 } }) {
        SCOPED_TRACE(arrow.name);
        DecodedPicture active = Embedded(arrow.name);
        // The corners lie outside the round arrow; the centre shows the active arrow, unlike the
        // greyed one painted in the background.
        EXPECT_TRUE(SamePixel(active, 0, 0, body, arrow.left, 578));
        EXPECT_TRUE(SamePixel(active, 18, 18, body, arrow.left + 18, 596));
        EXPECT_FALSE(SamePixel(active, 9, 5, body, arrow.left + 9, 583));
    }

    DecodedPicture strip = Embedded("FonVideoImage");
    struct Mark {
        const char* name;
        int left;
    };
    for (Mark mark : { Mark { "ImageBackwardH", 898 }, Mark { "ImagePlayH", 917 }, Mark { "ImagePauseH", 936 },
             Mark { "ImageStopH", 954 }, Mark { "ImageForwardH", 973 }, Mark { "ImageStop", 954 },
             Mark { "ImagePlay", 917 }, Mark { "ImageForward", 973 }, Mark { "ImagePause", 935 },
             Mark { "ImageBackward", 898 } }) {
        SCOPED_TRACE(mark.name);
        DecodedPicture picture = Embedded(mark.name);
        int dx = mark.left - 867;
        int dy = 578 - 575;
        int differing = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                differing += !SamePixel(picture, x, y, strip, dx + x, dy + y);
        for (int y : { 0, 18 })
            for (int x : { 0, 18 })
                EXPECT_TRUE(SamePixel(picture, x, y, strip, dx + x, dy + y)) << "corner " << x << "," << y;
        EXPECT_GT(differing, 20) << "the mark is missing";
    }
}

// Each selected-tab picture is the plain background with only its own tab changed.
TEST(LayoutPictures, SelectedTabsDifferFromTheBackgroundOnlyAtTheirTab)
{
    DecodedPicture body = Embedded("body");
    struct Tab {
        const char* name;
        int left, top;            // the picture's place in the content panel
        int click_left, click_right;
    };
    for (Tab tab : { Tab { "ImagePhoto", 427, -2, 430, 522 }, Tab { "ImageScheme", 520, -3, 526, 641 },
             Tab { "ImageVideo", 639, 0, 642, 747 }, Tab { "ImageArticles", 742, -2, 745, 860 },
             Tab { "ImageBonus", 854, -4, 857, 961 } }) {
        SCOPED_TRACE(tab.name);
        DecodedPicture picture = Embedded(tab.name);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < picture.height; ++y) {
            int by = tab.top + y;
            if (by < 0)
                continue; // above the panel: never shown
            for (int x = 0; x < picture.width; ++x) {
                int bx = tab.left + x;
                bool changed = !SamePixel(picture, x, y, body, bx, by);
                bool at_tab = bx >= tab.click_left && bx < tab.click_right;
                (at_tab ? inside : outside) += changed;
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(inside, 1000) << "the tab does not look selected";
    }
}

TEST(LayoutPictures, SchemeButtonHidesNothingOfTheBackgroundOutsideItsControl)
{
    DecodedPicture body = Embedded("body");
    DecodedPicture button = Embedded("Scheme");
    // The control shows 123 x 40 of the picture; the rest is cut from the background so that
    // the picture may also be shown whole.
    for (int y = 0; y < button.height; ++y) {
        for (int x = 0; x < button.width; ++x) {
            if (x >= 123 || y >= 40) {
                ASSERT_TRUE(SamePixel(button, x, y, body, 221 + x, 609 + y)) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(SamePixel(button, 61, 20, body, 282, 629));
}

std::vector<char> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class MkResources : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() / ("mkresources-test-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    std::filesystem::path Run(const std::string& folder)
    {
        std::filesystem::path out = m_root / folder;
        std::string command = std::string("'") + MKRESOURCES_PATH + "' '" + out.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return out;
    }

    std::filesystem::path m_root;
};

TEST_F(MkResources, WritesTheSamePicturesEveryTime)
{
    std::filesystem::path first = Run("first");
    std::filesystem::path second = Run("second");
    for (std::string_view name : LayoutPictureNames()) {
        SCOPED_TRACE(std::string(name));
        std::string file = std::string(name) + ".png";
        std::vector<char> a = ReadFile(first / file);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a, ReadFile(second / file));
    }
    // One picture per name beside the icons' folder.
    auto written = std::count_if(std::filesystem::directory_iterator(first), {},
        [](const auto& entry) { return entry.is_regular_file(); });
    EXPECT_EQ(std::size_t(written), LayoutPictureNames().size());
}

// The committed pictures are the tool's current output; after a change to the drawing, run the
// build target update-layout-pictures and commit resources/*.png.
TEST_F(MkResources, EmbeddedPicturesAreTheToolsCurrentOutput)
{
    std::filesystem::path out = Run("current");
    for (std::string_view name : LayoutPictureNames()) {
        SCOPED_TRACE(std::string(name));
        std::vector<char> file = ReadFile(out / (std::string(name) + ".png"));
        auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
        DecodedPicture fresh = Decode(bytes);
        DecodedPicture embedded = Embedded(name);
        EXPECT_EQ(fresh.width, embedded.width);
        EXPECT_EQ(fresh.height, embedded.height);
        EXPECT_TRUE(fresh.rgb == embedded.rgb) << "resources/" << name << ".png is out of date";
    }
}

TEST_F(MkResources, RejectsAMissingOrUnwritableFolder)
{
    EXPECT_NE(std::system(("'" + std::string(MKRESOURCES_PATH) + "' 2>/dev/null").c_str()), 0);
    std::filesystem::create_directories(m_root);
    std::ofstream(m_root / "file") << "x";
    std::string command = "'" + std::string(MKRESOURCES_PATH) + "' '" + (m_root / "file" / "sub").string() + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}

} // namespace
