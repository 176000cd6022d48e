// Our GIF decoding against giflib's, pixel for pixel (colour indices through the colour map).

#include "GifReference.h"
#include "GifWriter.h"
#include "imaging/TGIFImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using giftest::Bytes;

// Compares every frame of our decoding with giflib's; returns a description of the first
// difference, or empty.
std::string CompareWithGiflib(const Bytes& bytes)
{
    gifref::MemoryInput input {};
    gifref::Decoded reference = gifref::Slurp(bytes, input);
    if (!reference)
        return "giflib rejects the file";
    TGIFImage image;
    image.LoadFromBytes(bytes);
    if (image.Width() != reference->SWidth || image.Height() != reference->SHeight)
        return "screen size differs";
    if (image.FrameCount() != reference->ImageCount)
        return "frame count " + std::to_string(image.FrameCount()) + " vs " + std::to_string(reference->ImageCount);
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFSubImage& ours = image.Frame(i);
        const SavedImage& theirs = reference->SavedImages[i];
        const GifImageDesc& desc = theirs.ImageDesc;
        if (ours.Left() != desc.Left || ours.Top() != desc.Top || ours.Width() != desc.Width
            || ours.Height() != desc.Height)
            return "frame " + std::to_string(i) + " bounds differ";
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : reference->SColorMap;
        const TGIFColorMap& our_map = ours.ActiveColorMap();
        const std::size_t count = ours.DataSize();
        for (std::size_t p = 0; p < count; ++p) {
            int a = ours.Data()[p];
            int b = theirs.RasterBits[p];
            if (a != b)
                return "frame " + std::to_string(i) + " pixel " + std::to_string(p) + ": index " + std::to_string(a)
                    + " vs " + std::to_string(b);
            if (b < map->ColorCount) {
                const std::uint8_t* c = our_map.Data() + 3 * a;
                const GifColorType& r = map->Colors[b];
                if (c[0] != r.Red || c[1] != r.Green || c[2] != r.Blue)
                    return "frame " + std::to_string(i) + " pixel " + std::to_string(p) + ": colour differs";
            }
        }
    }
    return {};
}

struct SizeCase {
    int width;
    int height;
    int colors;
    bool interlaced;
    bool noisy;
};

class GifMatchesGiflib : public testing::TestWithParam<SizeCase> { };

TEST_P(GifMatchesGiflib, OnFilesOfGiflibsEncoder)
{
    const SizeCase& c = GetParam();
    auto pixels = c.noisy ? giftest::Noise(c.width, c.height, c.colors, unsigned(c.width * 7 + c.height))
                          : giftest::Drawing(c.width, c.height, c.colors, unsigned(c.width));
    Bytes bytes = gifref::Encode(c.width, c.height, pixels, giftest::Palette(c.colors), c.interlaced);
    EXPECT_EQ(CompareWithGiflib(bytes), "");
    // The encoder's input is the truth as well.
    TGIFImage image;
    image.LoadFromBytes(bytes);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), image.Frame(0).Data()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, GifMatchesGiflib,
    testing::Values(SizeCase { 1, 1, 2, false, true }, SizeCase { 1, 1, 2, true, true },
        SizeCase { 1, 300, 4, false, true }, SizeCase { 300, 1, 4, false, true }, SizeCase { 2, 3, 2, true, true },
        SizeCase { 7, 9, 16, true, true }, SizeCase { 17, 13, 256, false, true },
        SizeCase { 640, 480, 256, false, true }, SizeCase { 640, 480, 256, true, true },
        SizeCase { 768, 514, 256, false, true }, SizeCase { 800, 600, 16, false, false },
        SizeCase { 1023, 767, 2, true, false }, SizeCase { 4000, 4000, 16, false, false },
        SizeCase { 4000, 4000, 256, true, true }),
    [](const auto& info) {
        const SizeCase& c = info.param;
        return std::to_string(c.width) + "x" + std::to_string(c.height) + "c" + std::to_string(c.colors)
            + (c.interlaced ? "i" : "") + (c.noisy ? "n" : "d");
    });

// The LZW stream's edge cases, written by our own test encoder.
struct LzwCase {
    const char* name;
    int width;
    int height;
    int colors;
    giftest::LzwOptions lzw;
    bool noisy;
};

class GifLzwEdgeCases : public testing::TestWithParam<LzwCase> { };

TEST_P(GifLzwEdgeCases, DecodeAsTheEncoderMeant)
{
    const LzwCase& c = GetParam();
    giftest::File file;
    file.width = c.width;
    file.height = c.height;
    file.global_colors = giftest::Palette(c.colors);
    giftest::Frame frame;
    frame.width = c.width;
    frame.height = c.height;
    frame.pixels = c.noisy ? giftest::Noise(c.width, c.height, c.colors, 5) : giftest::Drawing(c.width, c.height, c.colors, 5);
    frame.lzw = c.lzw;
    file.frames.push_back(frame);
    Bytes bytes = giftest::Write(file);

    TGIFImage image;
    image.LoadFromBytes(bytes);
    ASSERT_EQ(image.FrameCount(), 1);
    const std::size_t decoded = std::min(frame.pixels.size(), c.lzw.end_after);
    const std::uint8_t* ours = image.Frame(0).Data();
    EXPECT_TRUE(std::equal(frame.pixels.begin(), frame.pixels.begin() + std::ptrdiff_t(decoded), ours));
    for (std::size_t p = decoded; p < frame.pixels.size(); ++p)
        ASSERT_EQ(ours[p], 0) << "pixel " << p << " after the end code keeps the fill value";
    // giflib takes code sizes from 2 up, as the format does.
    if (decoded == frame.pixels.size() && c.lzw.min_code_size >= 2) {
        EXPECT_EQ(CompareWithGiflib(bytes), "");
    }
}

giftest::LzwOptions Lzw(int min_code_size) { giftest::LzwOptions o; o.min_code_size = min_code_size; return o; }
giftest::LzwOptions Deferred() { giftest::LzwOptions o = Lzw(8); o.clear_when_full = false; return o; }
giftest::LzwOptions EarlyEnd(std::size_t after) { giftest::LzwOptions o = Lzw(8); o.end_after = after; return o; }
giftest::LzwOptions Clears(int leading, int every, int run) { giftest::LzwOptions o = Lzw(8); o.leading_clears = leading; o.clear_every = every; o.clear_run = run; return o; }
giftest::LzwOptions Blocks(int size) { giftest::LzwOptions o = Lzw(8); o.block_size = size; return o; }

INSTANTIATE_TEST_SUITE_P(Lzw, GifLzwEdgeCases,
    testing::Values(LzwCase { "GrowthTo12Bits", 300, 300, 256, Lzw(8), true },
        LzwCase { "FullTableWithoutClear", 400, 400, 256, Deferred(), true },
        LzwCase { "FullTableWithoutClearLongStrings", 1000, 700, 4, [] { auto o = Deferred(); o.min_code_size = 2; return o; }(), false },
        LzwCase { "EarlyEndCode", 200, 100, 16, EarlyEnd(7777), true },
        LzwCase { "EndCodeFirst", 20, 10, 16, EarlyEnd(0), true },
        LzwCase { "ClearCodesInARow", 300, 200, 16, Clears(4, 100, 3), true },
        LzwCase { "ClearAfterEveryCode", 50, 40, 16, Clears(2, 1, 1), true },
        LzwCase { "OneByteSubBlocks", 120, 90, 256, Blocks(1), true },
        LzwCase { "TwoByteSubBlocks", 120, 90, 4, Blocks(2), false },
        LzwCase { "MinimumCodeSize2", 333, 222, 4, Lzw(2), false },
        LzwCase { "MinimumCodeSize1", 64, 64, 2, Lzw(1), true },
        LzwCase { "LargestCodeSizeOfTheFormat", 256, 256, 256, Lzw(8), false },
        LzwCase { "NoEndCode", 100, 100, 16, [] { auto o = Lzw(8); o.end_code = false; return o; }(), true }),
    [](const auto& info) { return std::string(info.param.name); });

// Several frames with local tables, offsets and interlace.
TEST(GifMatchesGiflib, OnAnAnimationWithLocalTables)
{
    giftest::File file;
    file.width = 200;
    file.height = 150;
    file.global_colors = giftest::Palette(256);
    file.loops = 0;
    for (int i = 0; i < 12; ++i) {
        giftest::Frame f;
        f.left = i * 7;
        f.top = i * 5;
        f.width = 200 - i * 7 - i;
        f.height = 150 - i * 5 - i;
        f.pixels = giftest::Noise(f.width, f.height, i % 3 == 1 ? 16 : 256, unsigned(i));
        if (i % 3 == 1)
            f.local_colors = giftest::Palette(16, unsigned(i) + 3);
        if (i % 3 == 1)
            f.lzw.min_code_size = 4;
        f.interlaced = i % 4 == 2;
        f.control = true;
        f.delay = i;
        f.disposal = i % 4;
        f.transparent = i % 5 == 0 ? 3 : -1;
        file.frames.push_back(f);
    }
    EXPECT_EQ(CompareWithGiflib(giftest::Write(file)), "");
}

// Every GIF of a sample disc, when the disc maker has been built.
TEST(GifMatchesGiflib, OnEveryGifOfTheSampleDisc)
{
    std::filesystem::path maker = std::filesystem::path(VELMAR_BINARY_DIR) / "bin" / "velmar-mkdisc";
    if (!std::filesystem::exists(maker))
        GTEST_SKIP() << "velmar-mkdisc not built";
    std::filesystem::path disc = std::filesystem::temp_directory_path() / ("velmar-gif-disc-" + std::to_string(getpid()));
    std::string command = maker.string() + " " + disc.string() + " --small > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(disc)) {
        std::string ext = entry.path().extension().string();
        for (char& ch : ext)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        if (ext != ".gif")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(CompareWithGiflib(bytes), "") << entry.path();
        ++files;
    }
    std::filesystem::remove_all(disc);
    EXPECT_GT(files, 0);
}

} // namespace
