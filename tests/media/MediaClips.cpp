#include "MediaClips.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>
#include <unistd.h>
#include <vector>

namespace MediaClips {

namespace {

// Sound goes to SDL's dummy driver in tests: no sound card needed, same timing.
const bool s_dummy_audio = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return true;
}();

ClipWriter::Options Options(ClipWriter::Format format, int width, int height, int frames, ClipWriter::Sound sound, int gop,
    int b_frames, int bit_rate, int mono_from = -1)
{
    ClipWriter::Options options;
    options.format = format;
    options.width = width;
    options.height = height;
    options.frames = frames;
    options.sound = sound;
    options.gop = gop;
    options.b_frames = b_frames;
    options.bit_rate = bit_rate;
    options.mono_from = mono_from;
    return options;
}

struct ClipInfo {
    Clip clip;
    const char* name;
    ClipWriter::Options options;
};

const ClipInfo kClips[] = {
    { Clip::Mpeg1Sound250, "mpeg1-sound-250.mpg", Options(ClipWriter::Format::Mpeg1, 352, 288, 250, ClipWriter::Sound::Tone, 12, 0, 1500000) },
    { Clip::Mpeg1Silent10, "mpeg1-silent-10.mpg", Options(ClipWriter::Format::Mpeg1, 352, 288, 10, ClipWriter::Sound::None, 12, 0, 1500000) },
    { Clip::Mpeg2Sound250, "mpeg2-sound-250.mpg", Options(ClipWriter::Format::Mpeg2, 352, 288, 250, ClipWriter::Sound::Tone, 12, 0, 2500000) },
    { Clip::Mpeg2Silent10, "mpeg2-silent-10.mpg", Options(ClipWriter::Format::Mpeg2, 352, 288, 10, ClipWriter::Sound::None, 12, 0, 2500000) },
    { Clip::Mpeg1Sound10, "mpeg1-sound-10.mpg", Options(ClipWriter::Format::Mpeg1, 352, 288, 10, ClipWriter::Sound::Tone, 12, 0, 1500000) },
    { Clip::Mpeg2BFrames250, "mpeg2-bframes-250.mpg", Options(ClipWriter::Format::Mpeg2, 352, 288, 250, ClipWriter::Sound::Tone, 15, 2, 2500000) },
    { Clip::Mpeg1SoundTurnsMono, "mpeg1-turns-mono.mpg", Options(ClipWriter::Format::Mpeg1, 176, 144, 25, ClipWriter::Sound::Tone, 12, 0, 800000, 12) },
};

std::filesystem::path MakeFolder()
{
    (void)s_dummy_audio;
    auto folder = std::filesystem::temp_directory_path() / ("velmar-media-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

std::vector<char> ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteAll(const std::filesystem::path& file, const char* data, std::size_t size)
{
    std::ofstream out(file, std::ios::binary);
    out.write(data, std::streamsize(size));
}

const ClipInfo& Info(Clip clip)
{
    for (const ClipInfo& info : kClips) {
        if (info.clip == clip)
            return info;
    }
    std::abort();
}

} // namespace

std::filesystem::path Folder()
{
    // Removed at exit with everything written into it.
    static const struct Owned {
        std::filesystem::path path = MakeFolder();
        ~Owned()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    return folder.path;
}

std::string Path(Clip clip)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    const ClipInfo& info = Info(clip);
    auto file = Folder() / info.name;
    if (!std::filesystem::exists(file))
        ClipWriter::Write(file, info.options);
    return file.string();
}

int Frames(Clip clip)
{
    return Info(clip).options.frames;
}

std::string Missing()
{
    return (Folder() / "no-such-clip.mpg").string();
}

std::string Empty()
{
    auto file = Folder() / "empty.mpg";
    WriteAll(file, "", 0);
    return file.string();
}

std::string Text()
{
    auto file = Folder() / "readme.mpg";
    std::string text = "This is not a clip.\r\nJust some text that happens to be named like one.\r\n";
    for (int i = 0; i < 200; ++i)
        text += "Line " + std::to_string(i) + " of plain text.\r\n";
    WriteAll(file, text.data(), text.size());
    return file.string();
}

std::string Truncated()
{
    auto data = ReadAll(Path(Clip::Mpeg1Sound250));
    auto file = Folder() / "truncated.mpg";
    WriteAll(file, data.data(), data.size() * 6 / 10 + 7);
    return file.string();
}

std::string Corrupt()
{
    auto data = ReadAll(Path(Clip::Mpeg2Sound250));
    std::mt19937 random(12345);
    for (std::size_t i = data.size() / 3; i < data.size() / 3 + 60000 && i < data.size(); ++i)
        data[i] = char(random());
    auto file = Folder() / "corrupt.mpg";
    WriteAll(file, data.data(), data.size());
    return file.string();
}

std::string Header()
{
    auto data = ReadAll(Path(Clip::Mpeg1Silent10));
    auto file = Folder() / "header.mpg";
    WriteAll(file, data.data(), std::min<std::size_t>(3000, data.size()));
    return file.string();
}

std::string Sound()
{
    // 44-byte RIFF WAVE header for 8-bit mono 8 kHz, then a second of a square wave.
    std::string data = "RIFF";
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) data += char((v >> (8 * i)) & 0xFF); };
    auto u16 = [&](std::uint16_t v) { data += char(v & 0xFF); data += char(v >> 8); };
    u32(36 + 8000);
    data += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    data += "data";
    u32(8000);
    for (int i = 0; i < 8000; ++i)
        data += char((i / 20) % 2 ? 200 : 56);
    auto file = Folder() / "sound.mpg";
    WriteAll(file, data.data(), data.size());
    return file.string();
}

std::string CutAt(Clip clip, std::size_t size)
{
    auto data = ReadAll(Path(clip));
    auto file = Folder() / ("cut-" + std::to_string(size) + ".mpg");
    WriteAll(file, data.data(), std::min(size, data.size()));
    return file.string();
}

} // namespace MediaClips
