// The tolerant reader: what loads with warnings, what fails and with which message.

#include "GifWriter.h"
#include "framework/TBitmap.h"
#include "imaging/TGIFImage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using giftest::Bytes;
using testing::ElementsAre;
using testing::HasSubstr;

const std::vector<std::uint8_t> kFourColors = { 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255 };

giftest::File TwoFrames()
{
    giftest::File file;
    file.width = 8;
    file.height = 6;
    file.global_colors = kFourColors;
    for (int i = 0; i < 2; ++i) {
        giftest::Frame f;
        f.width = 8;
        f.height = 6;
        f.pixels = giftest::Noise(8, 6, 4, unsigned(i + 1));
        f.lzw.min_code_size = 2;
        f.control = true;
        f.delay = 5;
        file.frames.push_back(f);
    }
    return file;
}

struct Loaded {
    std::unique_ptr<TGIFImage> image;
    std::vector<std::string> warnings;
    std::string error; // empty when it loaded
};

Loaded Load(const Bytes& bytes)
{
    Loaded result;
    result.image = std::make_unique<TGIFImage>();
    result.image->OnWarning = [&result](const TGIFItem*, int severity, const std::string& message) {
        EXPECT_EQ(severity, 1);
        result.warnings.push_back(message);
    };
    try {
        result.image->LoadFromBytes(bytes);
    } catch (const Exception& error) {
        result.error = error.Message();
    }
    result.image->OnWarning = nullptr;
    return result;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Header of a 4 x 2 screen with a 4-colour global table.
Bytes Header(const char* signature = "GIF89a")
{
    Bytes out(signature, signature + 6);
    out.insert(out.end(), { 4, 0, 2, 0, 0x81, 0, 0 });
    out.insert(out.end(), kFourColors.begin(), kFourColors.end());
    return out;
}

// One 4 x 2 frame of index 1: descriptor, code size 2 and the data.
Bytes Image(std::uint8_t packed = 0, int width = 4, int height = 2)
{
    giftest::LzwOptions lzw;
    lzw.min_code_size = 2;
    std::vector<std::uint8_t> pixels(std::size_t(width == 0 ? 4 : width) * std::size_t(height == 0 ? 2 : height), 1);
    Bytes data = giftest::LzwEncode(pixels.data(), pixels.size(), lzw);
    Bytes out = { 0x2C, 0, 0, 0, 0, std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
        std::uint8_t(height >> 8), packed, 2 };
    giftest::PutBlocks(out, data, 255);
    return out;
}

const Bytes kTrailer = { 0x3B };

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// Every message the reader may fail with.
const std::vector<std::string> kErrors = { "Premature end of data", "Invalid GIF signature", "Unknown extension type",
    "Unsupported Application Extension block size", "Invalid GIF data", "Invalid LZW code size",
    "Invalid extension introducer", "Internal error: Extension Instance does not match Extension Label",
    "Out of memory" };

TEST(GifReader, SignatureVariantsLoad)
{
    for (const char* signature : { "gif89a", "GIF87a", "GIF12x", "Gif89A" }) {
        Loaded r = Load(Concat(Concat(Header(signature), Image()), kTrailer));
        EXPECT_EQ(r.error, "") << signature;
        EXPECT_EQ(r.image->FrameCount(), 1) << signature;
        EXPECT_TRUE(r.warnings.empty()) << signature;
    }
    // Four bytes of something else ahead of the signature.
    Loaded r = Load(Concat(Concat(Concat(Bytes { 1, 2, 3, 4 }, Header()), Image()), kTrailer));
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.image->Width(), 4);
}

struct Rejected {
    const char* name;
    Bytes bytes;
    const char* message;
};

class GifReaderRejects : public testing::TestWithParam<Rejected> { };

TEST_P(GifReaderRejects, WithTheProgramsMessage)
{
    Loaded r = Load(GetParam().bytes);
    EXPECT_EQ(r.error, GetParam().message);
    EXPECT_TRUE(r.image->Empty()) << "a failed load leaves the image empty";
}

Bytes WithExtension(const Bytes& extension) { return Concat(Concat(Concat(Header(), extension), Image()), kTrailer); }

INSTANTIATE_TEST_SUITE_P(Gif, GifReaderRejects,
    testing::Values(Rejected { "Empty", {}, "Premature end of data" },
        Rejected { "NotAGif", Bytes { 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, "Invalid GIF signature" },
        Rejected { "SignatureOnly", Bytes { 'G', 'I', 'F', '8', '9', 'a' }, "Premature end of data" },
        Rejected { "CutInTheColorTable", Cut(Header(), 16), "Premature end of data" },
        Rejected { "CutInTheImageDescriptor", Concat(Header(), Bytes { 0x2C, 0, 0, 0 }), "Premature end of data" },
        Rejected { "UnknownExtensionLabel", WithExtension({ 0x21, 0x02, 1, 0, 0 }), "Unknown extension type" },
        Rejected { "ApplicationBlockTooShort", WithExtension({ 0x21, 0xFF, 9, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 0 }),
            "Unsupported Application Extension block size" },
        Rejected { "LoopSubBlockTooShort",
            WithExtension({ 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 5, 0 }),
            "Invalid GIF data" },
        Rejected { "BufferSubBlockTooShort",
            WithExtension({ 0x21, 0xFF, 11, 'A', 'N', 'I', 'M', 'E', 'X', 'T', 'S', '1', '.', '0', 4, 2, 1, 2, 3, 0 }),
            "Invalid GIF data" },
        Rejected { "PlainTextCut", Concat(Header(), Bytes { 0x21, 0x01, 12, 0, 0, 0 }), "Premature end of data" },
        Rejected { "CodeSizeAbove11", Concat(Concat(Header(), Bytes { 0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 12, 1, 0xFF, 0 }), kTrailer),
            "Invalid LZW code size" },
        Rejected { "DeclaredSize65535Square",
            Concat(Concat(Header(), Bytes { 0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 0x01, 0 }), kTrailer),
            "Out of memory" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifReader, NoTrailerIsFineAStrayByteEndsTheFramesWithWarnings)
{
    Bytes two = giftest::Write(TwoFrames());
    Bytes no_trailer(two.begin(), two.end() - 1);
    Loaded r = Load(no_trailer);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.image->FrameCount(), 2);
    EXPECT_TRUE(r.warnings.empty());

    no_trailer.push_back('X');
    no_trailer.push_back('Y');
    r = Load(no_trailer);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.image->FrameCount(), 2);
    EXPECT_THAT(r.warnings, ElementsAre("Unknown GIF block type", "Invalid Image trailer"));
}

TEST(GifReader, CommentAfterTheLastImageIsAnExtraEmptyFrame)
{
    Loaded r = Load(Concat(Concat(Concat(Header(), Image()), Bytes { 0x21, 0xFE, 3, 'e', 'n', 'd', 0 }), kTrailer));
    EXPECT_EQ(r.error, "");
    ASSERT_EQ(r.image->FrameCount(), 2);
    EXPECT_TRUE(r.image->Frame(1).Empty());
    auto* comment = dynamic_cast<TGIFCommentExtension*>(&r.image->Frame(1).Extensions()[0]);
    ASSERT_NE(comment, nullptr);
    EXPECT_THAT(comment->Lines(), ElementsAre("end"));
}

TEST(GifReader, DataStoppingHalfwayKeepsTheDecodedRowsAndTheFillBelow)
{
    giftest::File file;
    file.width = 40;
    file.height = 40;
    file.global_colors = kFourColors;
    giftest::Frame f;
    f.width = f.height = 40;
    f.pixels = giftest::Noise(40, 40, 3, 9);
    for (auto& p : f.pixels)
        p = std::uint8_t(p + 1); // indices 1 to 3, so that the fill (0) shows
    f.lzw.min_code_size = 2;
    file.frames.push_back(f);
    Bytes bytes = giftest::Write(file);
    Bytes cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
    Loaded r = Load(cut);
    EXPECT_EQ(r.error, "");
    EXPECT_THAT(r.warnings, ElementsAre("Premature end of data"));
    ASSERT_EQ(r.image->FrameCount(), 1);
    const TGIFSubImage& frame = r.image->Frame(0);
    EXPECT_EQ(frame.Data()[0], f.pixels[0]);
    EXPECT_EQ(frame.Data()[40 * 40 - 1], 0); // never reached: the fill value
    std::size_t decoded = 0;
    while (decoded < f.pixels.size() && frame.Data()[decoded] == f.pixels[decoded])
        ++decoded;
    EXPECT_GT(decoded, 200u);
    for (std::size_t p = decoded; p < f.pixels.size(); ++p)
        ASSERT_EQ(frame.Data()[p], 0) << p;
}

TEST(GifReader, DataEndingBeforeTheFrameIsFullUnderRuns)
{
    // The code stream ends (size-0 block) with pixels still missing and no end code.
    giftest::LzwOptions lzw;
    lzw.min_code_size = 2;
    lzw.end_code = false;
    std::vector<std::uint8_t> pixels(4, 1); // a 4 x 2 frame gets only 4 pixels
    Bytes image = { 0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 2 };
    giftest::PutBlocks(image, giftest::LzwEncode(pixels.data(), pixels.size(), lzw), 255);
    Loaded r = Load(Concat(Concat(Header(), image), kTrailer));
    EXPECT_EQ(r.error, "");
    EXPECT_THAT(r.warnings, testing::Contains("Decoder bit buffer under-run"));
    EXPECT_EQ(r.image->Frame(0).Data()[3], 1);
    EXPECT_EQ(r.image->Frame(0).Data()[7], 0);
}

TEST(GifReader, ZeroWidthFrameTakesTheScreenSize)
{
    Loaded r = Load(Concat(Concat(Header(), Image(0, 0, 2)), kTrailer));
    EXPECT_EQ(r.error, "");
    EXPECT_THAT(r.warnings, ElementsAre("Image exceeds Logical Screen size"));
    EXPECT_EQ(r.image->Frame(0).Width(), 4);
    EXPECT_EQ(r.image->Frame(0).Height(), 2);
}

TEST(GifReader, InterlacedRowsOfAFrameOfHeight3LandInRows0_2_1)
{
    giftest::LzwOptions lzw;
    lzw.min_code_size = 2;
    std::vector<std::uint8_t> file_order = { 1, 1, 2, 2, 3, 3 }; // rows as the file stores them
    Bytes image = { 0x2C, 0, 0, 0, 0, 2, 0, 3, 0, 0x40, 2 };
    giftest::PutBlocks(image, giftest::LzwEncode(file_order.data(), file_order.size(), lzw), 255);
    Loaded r = Load(Concat(Concat(Header(), image), kTrailer));
    ASSERT_EQ(r.error, "");
    const std::uint8_t* px = r.image->Frame(0).Data();
    EXPECT_THAT(std::vector<std::uint8_t>(px, px + 6), ElementsAre(1, 1, 3, 3, 2, 2));
}

TEST(GifReader, NoColorTableLoadsButTheFirstDrawingFails)
{
    Bytes header = { 'G', 'I', 'F', '8', '9', 'a', 4, 0, 2, 0, 0, 0, 0 };
    Loaded r = Load(Concat(Concat(header, Image()), kTrailer));
    EXPECT_EQ(r.error, "");
    TBitmap target;
    target.SetSize(4, 2);
    try {
        r.image->Draw(target.Canvas(), Rect::FromSize(0, 0, 4, 2));
        FAIL() << "drew without a colour table";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), "No global or local color table defined");
    }
}

TEST(GifReader, UnknownApplicationKeepsItsBlocksAndLoopExtensionsAreRead)
{
    Bytes unknown = { 0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 3, 'a', 'b', 'c', 1, 'd', 0 };
    Bytes loop = { 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 7, 0, 0 };
    Loaded r = Load(Concat(Concat(Concat(Concat(Header(), unknown), loop), Image()), kTrailer));
    ASSERT_EQ(r.error, "");
    const TGIFExtensionList& extensions = r.image->Frame(0).Extensions();
    ASSERT_EQ(extensions.Count(), 2u);
    auto* raw = dynamic_cast<TGIFUnknownAppExtension*>(&extensions[0]);
    ASSERT_NE(raw, nullptr);
    ASSERT_EQ(raw->Blocks().size(), 2u);
    EXPECT_EQ(std::string(raw->Blocks()[0].data.begin(), raw->Blocks()[0].data.end()), "abc");
    auto* looping = dynamic_cast<TGIFAppExtNSLoop*>(&extensions[1]);
    ASSERT_NE(looping, nullptr);
    EXPECT_EQ(looping->Loops(), 7);
}

TEST(GifReader, ShortGraphicControlAndStrayIntroducerAreWarnings)
{
    Loaded r = Load(Concat(Header(), Bytes { 0x21, 0xF9, 4, 1 }));
    EXPECT_EQ(r.error, "");
    EXPECT_THAT(r.warnings, ElementsAre("Premature end of data"));
    ASSERT_EQ(r.image->FrameCount(), 1);
    EXPECT_TRUE(r.image->Frame(0).Transparent()); // the packed fields were read

    // A byte other than "!", "," or ";" after an extension ends the frame's extensions.
    r = Load(Concat(Concat(Concat(Header(), Bytes { 0x21, 0xFE, 1, 'c', 0, 'Q' }), Image()), kTrailer));
    EXPECT_THAT(r.warnings, testing::Contains("Invalid extension introducer"));
}

TEST(GifReader, ColourIndexBeyondTheTableWarnsAndGivesColour0)
{
    Loaded r = Load(Concat(Concat(Header(), Image()), kTrailer));
    std::vector<std::string> warnings;
    r.image->OnWarning = [&](const TGIFItem*, int, const std::string& message) { warnings.push_back(message); };
    EXPECT_EQ(r.image->Header().ColorMap().Color(9), RGB(0, 0, 0));
    EXPECT_EQ(r.image->Header().ColorMap().Color(1), RGB(255, 0, 0));
    EXPECT_THAT(warnings, ElementsAre("Invalid color index"));
    TGIFColorMap empty(nullptr);
    try {
        empty.Color(0);
        FAIL();
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), "Color table is empty");
    }
}

// Every cut of a valid file either loads as far as it goes or fails with one of our messages.
TEST(GifReader, EveryCutOfAValidFileLoadsOrFailsCleanly)
{
    giftest::File file = TwoFrames();
    file.loops = 2;
    file.frames[1].interlaced = true;
    file.frames[1].local_colors = kFourColors;
    Bytes bytes = giftest::Write(file);
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        Loaded r = Load(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(n)));
        if (!r.error.empty()) {
            EXPECT_THAT(r.error, testing::AnyOf("Premature end of data", "Invalid GIF signature")) << n;
        }
    }
}

// Garbage after a valid header: never a crash, only the program's own errors.
TEST(GifReader, GarbageNeverEscapesAsAnythingButOurErrors)
{
    std::uint32_t state = 12345;
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = Header();
        for (int i = 0; i < 200; ++i) {
            state = state * 1103515245 + 12345;
            bytes.push_back(std::uint8_t(state >> 16));
        }
        if (round % 3 == 0)
            bytes[13 + 12] = 0x2C;
        Loaded r = Load(bytes);
        if (!r.error.empty()) {
            EXPECT_THAT(kErrors, testing::Contains(r.error)) << round;
        }
    }
}

} // namespace
