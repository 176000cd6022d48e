// Runs velmar-mkdisc --small twice and checks the disc it writes the way the program will read it:
// the catalogue lines, the files they name, the pictures and clips themselves.

#include "AutorunScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <jpeglib.h>
#include <map>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The lines of a catalogue file (CR LF separated, the last one terminated).
std::vector<std::string> CatalogueLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A disc path with backslashes, as the catalogue writes it, under the disc's root.
fs::path OnDisc(const fs::path& root, const std::string& disc_path)
{
    fs::path path = root;
    for (const std::string& part : Split(disc_path, '\\'))
        if (!part.empty())
            path /= part;
    return path;
}

struct JpegInfo {
    bool ok { false };
    int width { 0 };
    int height { 0 };
    bool grayscale { false };
    bool progressive { false };
    std::string error;
};

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegFail(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Decodes the whole file with libjpeg; warnings (corrupt data) count as failures too.
JpegInfo DecodeJpeg(const fs::path& path)
{
    JpegInfo result;
    std::string bytes = ReadAll(path);
    jpeg_decompress_struct info {};
    JpegErrors errors {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegFail;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        result.ok = false;
        result.error = errors.message;
        return result;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    result.grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    result.progressive = jpeg_has_multiple_scans(&info);
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(std::size_t(info.output_width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[] = { row.data() };
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    result.ok = errors.base.num_warnings == 0;
    result.error = result.ok ? "" : "libjpeg warnings";
    result.width = int(info.image_width);
    result.height = int(info.image_height);
    jpeg_destroy_decompress(&info);
    return result;
}

struct GifInfo {
    bool ok { false };
    int frames { 0 };
    bool loops { false };
    bool transparent { false };
    bool interlaced { false };
    int total_delay { 0 };
    std::string error;
};

GifInfo DecodeGif(const fs::path& path)
{
    GifInfo result;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) {
        result.error = GifErrorString(error);
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = GifErrorString(gif->Error);
    } else {
        result.ok = ReadAll(path).substr(0, 6) == "GIF89a";
        if (!result.ok)
            result.error = "not GIF89a";
        result.frames = gif->ImageCount;
        for (int i = 0; i < gif->ImageCount; ++i) {
            GraphicsControlBlock gcb;
            if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
                result.transparent = result.transparent || gcb.TransparentColor >= 0;
                result.total_delay += gcb.DelayTime;
            }
            const SavedImage& image = gif->SavedImages[i];
            result.interlaced = result.interlaced || image.ImageDesc.Interlace;
            for (int k = 0; k < image.ExtensionBlockCount; ++k)
                if (image.ExtensionBlocks[k].Function == APPLICATION_EXT_FUNC_CODE
                    && image.ExtensionBlocks[k].ByteCount == 11
                    && std::memcmp(image.ExtensionBlocks[k].Bytes, "NETSCAPE2.0", 11) == 0)
                    result.loops = true;
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

struct ClipInfo {
    bool ok { false };
    std::string error;
    AVCodecID video { AV_CODEC_ID_NONE };
    AVCodecID audio { AV_CODEC_ID_NONE };
    double frame_rate { 0 };
    int width { 0 };
    int height { 0 };
    int frames { 0 };
    std::vector<std::uint8_t> first_luma;
    double change { 0 }; // mean absolute luma difference between the first and the last frame
};

std::vector<std::uint8_t> Luma(const AVFrame* frame)
{
    std::vector<std::uint8_t> plane;
    for (int y = 0; y < frame->height; ++y)
        plane.insert(plane.end(), frame->data[0] + y * frame->linesize[0], frame->data[0] + y * frame->linesize[0] + frame->width);
    return plane;
}

// Opens the clip with libavformat and decodes every video frame.
ClipInfo DecodeClip(const fs::path& path)
{
    ClipInfo info;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        info.error = "libavformat cannot open it";
        return info;
    }
    AVCodecContext* codec = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    do {
        if (avformat_find_stream_info(format, nullptr) < 0) {
            info.error = "no stream information";
            break;
        }
        if (std::strcmp(format->iformat->name, "mpeg") != 0) {
            info.error = std::string("container is ") + format->iformat->name;
            break;
        }
        int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        int audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (video < 0 || audio < 0) {
            info.error = "a stream is missing";
            break;
        }
        const AVStream* vs = format->streams[video];
        info.video = vs->codecpar->codec_id;
        info.audio = format->streams[audio]->codecpar->codec_id;
        info.frame_rate = av_q2d(vs->avg_frame_rate.num ? vs->avg_frame_rate : vs->r_frame_rate);
        const AVCodec* decoder = avcodec_find_decoder(info.video);
        codec = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(codec, vs->codecpar);
        if (avcodec_open2(codec, decoder, nullptr) < 0) {
            info.error = "no video decoder";
            break;
        }
        auto drain = [&] {
            while (avcodec_receive_frame(codec, frame) == 0) {
                std::vector<std::uint8_t> luma = Luma(frame);
                if (info.frames == 0) {
                    info.first_luma = luma;
                } else if (luma.size() == info.first_luma.size()) {
                    double sum = 0;
                    for (std::size_t i = 0; i < luma.size(); ++i)
                        sum += std::abs(int(luma[i]) - int(info.first_luma[i]));
                    info.change = sum / double(luma.size());
                }
                info.width = frame->width;
                info.height = frame->height;
                ++info.frames;
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == video && avcodec_send_packet(codec, packet) == 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        drain();
        info.ok = true;
    } while (false);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return info;
}

std::map<std::string, std::string> AllFiles(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = ReadAll(entry.path());
    return files;
}

class SmallDisc : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_base = fs::temp_directory_path() / ("velmar-mkdisc-test-" + std::to_string(::getpid()));
        fs::remove_all(s_base);
        fs::create_directories(s_base);
        for (const char* name : { "first", "second" }) {
            std::string command = std::string("'") + VELMAR_MKDISC + "' '" + (s_base / name).string() + "' --small > '"
                + (s_base / name).string() + ".log' 2>&1";
            s_exit_codes.push_back(std::system(command.c_str()));
        }
        s_root = s_base / "first";
    }

    static void TearDownTestSuite()
    {
        std::error_code error;
        fs::remove_all(s_base, error);
    }

    void SetUp() override
    {
        ASSERT_EQ(s_exit_codes.size(), 2u);
        ASSERT_EQ(s_exit_codes[0], 0) << ReadAll(s_base / "first.log");
    }

    static std::vector<std::vector<std::string>> Fields(const std::string& db_file)
    {
        std::vector<std::vector<std::string>> rows;
        for (const std::string& line : CatalogueLines(ReadAll(s_root / "db" / db_file)))
            rows.push_back(Split(line, '@'));
        return rows;
    }

    static inline fs::path s_base;
    static inline fs::path s_root;
    static inline std::vector<int> s_exit_codes;
};

} // namespace

TEST_F(SmallDisc, CatalogueFilesAreWindows1251WithCrLf)
{
    // "Великобритания" in Windows-1251.
    const std::string britain = "\xC2\xE5\xEB\xE8\xEA\xEE\xE1\xF0\xE8\xF2\xE0\xED\xE8\xFF";
    for (const char* name : { "Photo.txt", "Graphics.txt", "Naska.txt" }) {
        SCOPED_TRACE(name);
        std::string text = ReadAll(s_root / "db" / name);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos) << "an empty line stops the program's start-up";
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
            }
            if (text[i] == '\r') {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at byte " << i;
            }
        }
        // UTF-8 would put 0xD0/0xD1 before every Cyrillic letter.
        EXPECT_EQ(text.find("\xD0\x92"), std::string::npos);
    }
    EXPECT_NE(ReadAll(s_root / "db" / "Photo.txt").find("@" + britain + "@"), std::string::npos);
}

TEST_F(SmallDisc, EveryPhotographLineNamesADecodableJpeg)
{
    auto rows = Fields("Photo.txt");
    ASSERT_GE(rows.size(), 20u);
    ASSERT_LE(rows.size(), 60u);
    std::set<int> years;
    int grayscale = 0, progressive = 0;
    for (const auto& f : rows) {
        ASSERT_GE(f.size(), 7u);
        SCOPED_TRACE(f[2] + f[1]);
        EXPECT_EQ(f[1].size(), 7u) << "schemes link only to seven-character file names";
        ASSERT_EQ(f[2].substr(0, 6), "Photo\\");
        ASSERT_EQ(f[2].back(), '\\');
        std::string year = f[2].substr(6, 4);
        ASSERT_TRUE(std::all_of(year.begin(), year.end(), ::isdigit));
        years.insert(std::stoi(year));
        EXPECT_FALSE(f[4].empty());
        EXPECT_FALSE(f[5].empty());
        EXPECT_FALSE(f[6].empty());
        JpegInfo jpeg = DecodeJpeg(OnDisc(s_root, f[2] + f[1]));
        EXPECT_TRUE(jpeg.ok) << jpeg.error;
        EXPECT_LE(jpeg.width, 768);
        EXPECT_LE(jpeg.height, 514);
        grayscale += jpeg.grayscale;
        progressive += jpeg.progressive;
    }
    // Both kinds the program's JPEG loader treats specially are on the disc.
    EXPECT_GE(grayscale, 1);
    EXPECT_GE(progressive, 1);
    EXPECT_LT(grayscale + progressive, int(rows.size()) / 2);
    // Years before the tree's range and inside it.
    EXPECT_LT(*years.begin(), 1990);
    EXPECT_GE(*years.rbegin(), 1990);
}

TEST_F(SmallDisc, SchemesAreNumberedGifsAndLinkToPhotographs)
{
    auto rows = Fields("Graphics.txt");
    auto photos = Fields("Photo.txt");
    // Consecutive lines with the same folder form one scheme, pictures 00, 01, ...
    std::vector<std::pair<std::string, int>> schemes;
    for (const auto& f : rows) {
        ASSERT_GE(f.size(), 2u);
        if (schemes.empty() || schemes.back().first != f[1])
            schemes.push_back({ f[1], 0 });
        else
            ++schemes.back().second;
    }
    ASSERT_GE(schemes.size(), 3u);
    int linked = 0, animated = 0, interlaced = 0;
    for (const auto& [folder, last] : schemes) {
        SCOPED_TRACE(folder);
        ASSERT_EQ(folder.substr(0, 9), "Graphics\\");
        for (int k = 0; k <= last; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.gif", k);
            GifInfo gif = DecodeGif(OnDisc(s_root, folder + name));
            EXPECT_TRUE(gif.ok) << name << ": " << gif.error;
            EXPECT_TRUE(gif.transparent) << name << " must let the pattern show through";
            interlaced += gif.interlaced;
            if (gif.frames > 1) {
                ++animated;
                EXPECT_TRUE(gif.loops);
                EXPECT_GT(gif.total_delay, 0);
            }
        }
        char beyond[16];
        std::snprintf(beyond, sizeof beyond, "%02d.gif", last + 1);
        EXPECT_FALSE(fs::exists(OnDisc(s_root, folder + beyond)));
        // The program links a scheme to the photograph whose folder after "Photo\" equals the
        // scheme's folder after "Graphics\".
        for (const auto& p : photos)
            if (p[2].substr(6) == folder.substr(9)) {
                ++linked;
                break;
            }
    }
    EXPECT_GE(animated, 1);
    EXPECT_GE(interlaced, 1);
    EXPECT_EQ(linked, int(schemes.size()) - 1) << "all but the one deliberately unlinked scheme";
}

TEST_F(SmallDisc, NazcaFiguresHaveNumberedPictures)
{
    auto rows = Fields("Naska.txt");
    std::vector<std::pair<std::string, int>> figures;
    for (const auto& f : rows) {
        ASSERT_GE(f.size(), 3u);
        ASSERT_EQ(f[1].find('\\'), std::string::npos);
        if (figures.empty() || figures.back().first != f[1])
            figures.push_back({ f[1], 0 });
        else
            ++figures.back().second;
    }
    ASSERT_EQ(figures.size(), 20u);
    for (const auto& [folder, last] : figures) {
        for (int k = 0; k <= last; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.jpg", k);
            JpegInfo jpeg = DecodeJpeg(OnDisc(s_root, "Naska\\Photo\\" + folder + "\\" + name));
            EXPECT_TRUE(jpeg.ok) << folder << "\\" << name << ": " << jpeg.error;
        }
    }
}

TEST_F(SmallDisc, ArticlesHavePagesAndPreviews)
{
    for (const std::string prefix : { "Articles\\", "Naska\\Articles\\" }) {
        for (int n = 1; n <= 5; ++n) {
            std::string folder = prefix + std::to_string(n) + "\\";
            SCOPED_TRACE(folder);
            std::string page = ReadAll(OnDisc(s_root, folder + "page.htm"));
            EXPECT_NE(page.find("charset=windows-1251"), std::string::npos);
            EXPECT_NE(page.find("src=\"_http_stile/1.jpg\""), std::string::npos);
            EXPECT_NE(page.find("</html>"), std::string::npos);
            // The program composes the preview's path with a doubled backslash.
            JpegInfo preview = DecodeJpeg(OnDisc(s_root, folder + "\\_http_stile\\1.jpg"));
            EXPECT_TRUE(preview.ok) << preview.error;
            EXPECT_TRUE(DecodeJpeg(OnDisc(s_root, folder + "_http_stile\\2.jpg")).ok);
        }
    }
}

TEST_F(SmallDisc, ClipsAreMpeg1WithMp2SoundAndMove)
{
    const char* names[] = { "2005B.mpg", "2002_48.mpg", "2004_31.mpg", "2005_33.MPG", "2005_29.MPG",
        "2005_27.MPG", "2005_34.MPG", "2005_22.MPG", "2001_22.mpg", "2005_47.MPG", "2005_35.MPG",
        "2005_24.MPG", "UFO_Field_Forming.mpg" };
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(s_root / "Video"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, std::size(names));
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ClipInfo clip = DecodeClip(s_root / "Video" / name);
        ASSERT_TRUE(clip.ok) << clip.error;
        EXPECT_EQ(clip.video, AV_CODEC_ID_MPEG1VIDEO);
        EXPECT_EQ(clip.audio, AV_CODEC_ID_MP2);
        EXPECT_NEAR(clip.frame_rate, 25.0, 0.01);
        EXPECT_GE(clip.frames, 20);
        EXPECT_GT(clip.width, 0);
        EXPECT_GT(clip.change, 2.0) << "the picture should move";
    }
}

TEST_F(SmallDisc, SameBytesOnEveryRun)
{
    ASSERT_EQ(s_exit_codes[1], 0) << ReadAll(s_base / "second.log");
    auto first = AllFiles(s_base / "first");
    auto second = AllFiles(s_base / "second");
    ASSERT_EQ(first.size(), second.size());
    EXPECT_GT(first.size(), 100u);
    for (const auto& [name, bytes] : first) {
        auto other = second.find(name);
        ASSERT_NE(other, second.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name << " differs between runs";
    }
}

TEST(MkdiscCommandLine, RejectsMissingOrUnknownArguments)
{
    EXPECT_NE(std::system((std::string("'") + VELMAR_MKDISC + "' > /dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((std::string("'") + VELMAR_MKDISC + "' /tmp/x --big > /dev/null 2>&1").c_str()), 0);
}

TEST_F(SmallDisc, HasAnExecutableAutorunScriptAtItsRoot)
{
    fs::path script = s_root / "autorun.sh";
    ASSERT_TRUE(fs::is_regular_file(script));
    EXPECT_EQ(ReadAll(script), AutorunScript());
    EXPECT_NE(fs::status(script).permissions() & fs::perms::others_exec, fs::perms::none);
}
