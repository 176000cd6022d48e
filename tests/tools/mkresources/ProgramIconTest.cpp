// The program's icon: drawn at every size of the icon theme, committed as the tool draws it, and
// the window's own copy is the same file.
#include "IconArt.h"
#include "PngWriter.h"
#include "ProgramIcon.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

std::filesystem::path Committed(int size)
{
    return std::filesystem::path(VELMAR_SOURCE_DIR) / "resources" / "icons" / ("velmar-" + std::to_string(size) + ".png");
}

// The committed icons are the tool's current output; after a change to the drawing, run the build
// target update-layout-pictures and commit resources/icons/*.png.
TEST(ProgramIcon, CommittedIconsAreTheToolsCurrentOutput)
{
    std::filesystem::path out = std::filesystem::temp_directory_path() / ("velmar-icon-" + std::to_string(::getpid()) + ".png");
    for (int size : ProgramIconSizes) {
        SCOPED_TRACE(size);
        ProgramIcon icon = DrawProgramIcon(size);
        WritePng(out.string(), icon.drawing, icon.alpha);
        std::vector<std::uint8_t> drawn = ReadFile(out);
        ASSERT_FALSE(drawn.empty());
        EXPECT_TRUE(drawn == ReadFile(Committed(size))) << "run the target update-layout-pictures";
    }
    std::filesystem::remove(out);
}

TEST(ProgramIcon, IsARoundOpaqueDiscOnATransparentSquare)
{
    for (int size : ProgramIconSizes) {
        SCOPED_TRACE(size);
        png_image image {};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, Committed(size).c_str()));
        image.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
        ASSERT_EQ(image.width, std::uint32_t(size));
        ASSERT_EQ(image.height, std::uint32_t(size));
        auto alpha = [&](int x, int y) { return rgba[(std::size_t(y) * size + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0);
        EXPECT_EQ(alpha(size - 1, size - 1), 0);
        EXPECT_EQ(alpha(size / 2, size / 2), 255);
        EXPECT_EQ(alpha(size / 2, size / 10), 255); // inside the rim
    }
}

TEST(ProgramIcon, TheWindowShowsTheCommitted128PixelIcon)
{
    std::span<const std::uint8_t> embedded = ProgramIconPng();
    EXPECT_TRUE(std::vector<std::uint8_t>(embedded.begin(), embedded.end()) == ReadFile(Committed(128)));
}

} // namespace
