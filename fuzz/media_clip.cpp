// Feeds arbitrary bytes to the media devices as a clip file named .mpg: open (with the scan that
// counts the pictures), length, seeks and steps across the whole clip, close. Every input must end
// in an error code or a clean close.
//
// Seeds: run once with VELMAR_FUZZ_SEED_DIR=DIR to have small valid clips written into DIR (MPEG-1
// and MPEG-2 program streams with and without sound, and, when the ffmpeg program is at hand, AVI,
// MP4 and ASF files with the picture codings people have in them, and sound alone), then fuzz with
// DIR as the corpus.

#include "ClipWriter.h"
#include "platform/media/MciDevices.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void WriteSeeds(const std::string& folder)
{
    for (auto format : { ClipWriter::Format::Mpeg1, ClipWriter::Format::Mpeg2 }) {
        for (bool sound : { false, true }) {
            ClipWriter::Options options;
            options.format = format;
            options.width = 64;
            options.height = 48;
            options.frames = 6;
            options.gop = 3;
            options.sound = sound ? ClipWriter::Sound::Tone : ClipWriter::Sound::None;
            options.bit_rate = 200000;
            std::string name = format == ClipWriter::Format::Mpeg1 ? "mpeg1" : "mpeg2";
            ClipWriter::Write(folder + "/" + name + (sound ? "-sound" : ""), options);
        }
    }
    const std::string source = "ffmpeg -v error -y -f lavfi -i testsrc2=s=64x48:r=25:d=0.24 "
                               "-f lavfi -i sine=d=0.24:sample_rate=22050 -ac 1 ";
    const char* kinds[][3] = {
        { "-c:v mpeg4 -vtag XVID -g 3 -c:a libmp3lame", "avi", "avi-xvid" },
        { "-c:v mjpeg -c:a pcm_s16le", "avi", "avi-mjpeg" },
        { "-c:v libx264 -preset ultrafast -g 3 -c:a libmp3lame", "avi", "avi-h264" },
        { "-c:v msmpeg4v3 -g 3 -c:a pcm_u8", "avi", "avi-msmpeg4v3" },
        { "-c:v libx264 -preset ultrafast -g 3 -c:a aac -movflags +faststart", "mp4", "mp4-h264" },
        { "-c:v wmv2 -g 3 -c:a wmav2", "asf", "asf-wmv2" },
        { "-vn -c:a libmp3lame", "mp3", "sound-mp3" },
        { "-vn -c:a pcm_s16le", "wav", "sound-wav" },
    };
    for (const auto& kind : kinds) {
        std::string command = source + kind[0] + " -f " + kind[1] + " " + folder + "/" + kind[2] + " 2>/dev/null";
        (void)std::system(command.c_str()); // without the program, the MPEG seeds alone
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (const char* seeds = std::getenv("VELMAR_FUZZ_SEED_DIR"))
        WriteSeeds(seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/velmar-fuzz-media-" + std::to_string(getpid()) + ".mpg";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const MciCompletion wait { true, 0 };
    MciDeviceId id = 0;
    if (Mci::Open({ "", path, false }, wait, id) != 0)
        return 0;
    // A display window that reads every picture it is given, corner to corner.
    static const MciWindow window = MciCreateWindow({ .frame = [](MciFramePtr frame) {
        if (frame) {
            const PixelBuffer& pixels = frame->Pixels();
            if (!pixels.IsEmpty()) {
                volatile Pixel sink = pixels.At(0, 0) ^ pixels.At(pixels.Width() - 1, pixels.Height() - 1);
                (void)sink;
            }
        }
    } });
    Mci::SetWindow(id, window, wait);
    std::uint32_t length = 0;
    Mci::Status(id, MciItem::Length, length);
    Mci::PutDestination(id, MciRect { 0, 0, 40, 30 }, wait);
    for (std::uint32_t to : { length / 2, length, 0u, length - length / 3 })
        Mci::Seek(id, MciSeek::To, to, wait);
    Mci::Status(id, MciItem::Length, length); // final now: the seeks waited for the count
    Mci::Step(id, MciStepDirection::Forward, 2, wait);
    Mci::Step(id, MciStepDirection::Reverse, 2, wait);
    Mci::Seek(id, MciSeek::To, length, wait);
    Mci::Close(id, wait);
    if (MciOpenDeviceCount() != 0)
        std::abort(); // a device left open behind the caller's back
    return 0;
}
