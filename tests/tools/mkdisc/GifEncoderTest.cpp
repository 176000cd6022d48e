// The GIF encoder's output, read back by the reference decoder (giflib).

#include "GifEncoder.h"
#include "Random.h"

#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

struct Reader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos { 0 };
};

int ReadBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* reader = static_cast<Reader*>(gif->UserData);
    std::size_t n = std::min<std::size_t>(std::size_t(length), reader->bytes->size() - reader->pos);
    std::memcpy(out, reader->bytes->data() + reader->pos, n);
    reader->pos += n;
    return int(n);
}

// Decodes with giflib; fails the test when giflib rejects the file.
struct Decoded {
    GifFileType* gif { nullptr };
    Reader reader;
    explicit Decoded(const std::vector<std::uint8_t>& bytes)
        : reader { &bytes }
    {
        int error = 0;
        gif = DGifOpen(&reader, ReadBytes, &error);
        EXPECT_NE(gif, nullptr) << GifErrorString(error);
        if (gif && DGifSlurp(gif) != GIF_OK)
            ADD_FAILURE() << "giflib: " << GifErrorString(gif->Error);
    }
    ~Decoded()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
};

IndexedImage Noisy(int width, int height, int colours, std::uint64_t seed, int runs)
{
    Random random(seed);
    IndexedImage image(width, height);
    std::uint8_t value = 0;
    for (auto& p : image.pixels) {
        if (random.Int(0, runs) == 0)
            value = std::uint8_t(random.Int(0, colours - 1));
        p = value;
    }
    return image;
}

std::vector<PaletteColor> Grey(int colours)
{
    std::vector<PaletteColor> palette;
    for (int i = 0; i < colours; ++i)
        palette.push_back({ std::uint8_t(i), std::uint8_t(i), std::uint8_t(i) });
    return palette;
}

} // namespace

// Palettes of every code width, pictures from one pixel to ones that fill the 4096-entry table
// many times over (noise), and long runs (codes that grow long before the table fills).
TEST(GifEncoder, ReferenceDecoderReadsBackEveryPixel)
{
    struct Case {
        int width, height, colours, runs;
    };
    const Case cases[] = {
        { 1, 1, 2, 0 }, { 3, 1, 2, 0 }, { 17, 5, 3, 1 }, { 64, 64, 4, 0 }, { 200, 150, 16, 3 },
        { 300, 200, 256, 0 }, { 511, 77, 256, 40 }, { 640, 480, 8, 200 }, { 255, 255, 2, 0 }, { 1000, 3, 5, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " colours " << c.colours << " runs " << c.runs);
        IndexedImage image = Noisy(c.width, c.height, c.colours, std::uint64_t(c.width * 7919 + c.colours), c.runs);
        GifEncoder encoder(c.width, c.height, Grey(c.colours), {});
        encoder.AddFrame(image, 0, 0);
        std::vector<std::uint8_t> bytes = encoder.Finish();
        ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
        ASSERT_EQ(bytes.back(), 0x3B);
        Decoded decoded(bytes);
        ASSERT_NE(decoded.gif, nullptr);
        ASSERT_EQ(decoded.gif->ImageCount, 1);
        EXPECT_EQ(decoded.gif->SWidth, c.width);
        EXPECT_EQ(decoded.gif->SHeight, c.height);
        ASSERT_NE(decoded.gif->SColorMap, nullptr);
        EXPECT_GE(decoded.gif->SColorMap->ColorCount, c.colours);
        const SavedImage& frame = decoded.gif->SavedImages[0];
        ASSERT_EQ(frame.ImageDesc.Width * frame.ImageDesc.Height, c.width * c.height);
        EXPECT_EQ(std::memcmp(frame.RasterBits, image.pixels.data(), image.pixels.size()), 0);
    }
}

TEST(GifEncoder, InterlacedRowsComeBackInPlace)
{
    for (int height : { 1, 2, 5, 8, 9, 13, 37 }) {
        SCOPED_TRACE(height);
        // Each row a different colour, so a row out of place shows.
        IndexedImage image(7, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 7; ++x)
                image.At(x, y) = std::uint8_t(y % 64);
        GifEncoder encoder(7, height, Grey(64), {});
        encoder.AddFrame(image, 0, 0, 0, GifEncoder::Disposal::None, GifEncoder::RowOrder::Interlaced);
        std::vector<std::uint8_t> bytes = encoder.Finish();
        Decoded decoded(bytes);
        ASSERT_NE(decoded.gif, nullptr);
        ASSERT_EQ(decoded.gif->ImageCount, 1);
        const SavedImage& frame = decoded.gif->SavedImages[0];
        EXPECT_TRUE(frame.ImageDesc.Interlace);
        EXPECT_EQ(std::memcmp(frame.RasterBits, image.pixels.data(), image.pixels.size()), 0);
    }
}

TEST(GifEncoder, AnimationCarriesLoopDelaysDisposalAndTransparency)
{
    GifEncoder encoder(40, 30, Grey(6), { 0, 0 });
    IndexedImage first = Noisy(40, 30, 6, 1, 4), part = Noisy(10, 8, 6, 2, 1);
    encoder.AddFrame(first, 0, 0, 60, GifEncoder::Disposal::Keep);
    encoder.AddFrame(part, 25, 20, 250, GifEncoder::Disposal::Keep);
    std::vector<std::uint8_t> bytes = encoder.Finish();
    Decoded decoded(bytes);
    ASSERT_NE(decoded.gif, nullptr);
    ASSERT_EQ(decoded.gif->ImageCount, 2);
    const SavedImage& second = decoded.gif->SavedImages[1];
    EXPECT_EQ(second.ImageDesc.Left, 25);
    EXPECT_EQ(second.ImageDesc.Top, 20);
    EXPECT_EQ(std::memcmp(second.RasterBits, part.pixels.data(), part.pixels.size()), 0);
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(decoded.gif, 1, &gcb), GIF_OK);
    EXPECT_EQ(gcb.DelayTime, 250);
    EXPECT_EQ(gcb.DisposalMode, DISPOSE_DO_NOT);
    EXPECT_EQ(gcb.TransparentColor, 0);
    // The looping block ("NETSCAPE2.0", sub-block 1, count 0) comes before the first frame.
    bool loops = false;
    const SavedImage& first_saved = decoded.gif->SavedImages[0];
    for (int i = 0; i + 1 < first_saved.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = first_saved.ExtensionBlocks[i];
        const ExtensionBlock& next = first_saved.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11
            && std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1
            && next.Bytes[1] == 0 && next.Bytes[2] == 0)
            loops = true;
    }
    EXPECT_TRUE(loops);
}

TEST(GifEncoder, RefusesFramesOutsideTheScreenAndBadPalettes)
{
    GifEncoder encoder(10, 10, Grey(2), {});
    EXPECT_ANY_THROW(encoder.AddFrame(IndexedImage(5, 5), 6, 0));
    EXPECT_ANY_THROW(encoder.AddFrame(IndexedImage(11, 1), 0, 0));
    EXPECT_ANY_THROW(GifEncoder(10, 10, {}, {}));
    EXPECT_ANY_THROW(GifEncoder(0, 10, Grey(2), {}));
}
