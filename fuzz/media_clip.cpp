// Feeds arbitrary bytes to the media devices as a clip file named .mpg: open, length, seeks and
// steps across the whole clip, close. Every input must end in an error code or a clean close.
//
// Seeds: run once with VELMAR_FUZZ_SEED_DIR=DIR to have small valid clips (MPEG-1 and MPEG-2,
// with and without sound) written into DIR, then fuzz with DIR as the corpus.

#include "ClipWriter.h"
#include "platform/media/Mci.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (const char* seeds = std::getenv("VELMAR_FUZZ_SEED_DIR")) {
        int n = 0;
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
                ClipWriter::Write(std::string(seeds) + "/seed" + std::to_string(n++) + ".mpg", options);
            }
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/velmar-fuzz-media-" + std::to_string(getpid()) + ".mpg";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    MCI_OPEN_PARMS open {};
    open.lpstrElementName = path.c_str();
    if (MciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0)
        return 0;
    auto id = MciDeviceId(open.wDeviceID);
    // A display window that reads every picture it is given, corner to corner.
    static const MciWindow window = MciCreateWindow({ nullptr, [](MciFramePtr frame) {
        if (frame) {
            const PixelBuffer& pixels = frame->Pixels();
            if (!pixels.IsEmpty()) {
                volatile Pixel sink = pixels.At(0, 0) ^ pixels.At(pixels.Width() - 1, pixels.Height() - 1);
                (void)sink;
            }
        }
    } });
    MCI_DGV_WINDOW_PARMS window_parms {};
    window_parms.hWnd = window;
    MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &window_parms);
    MCI_STATUS_PARMS status {};
    status.dwItem = MCI_STATUS_LENGTH;
    MciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status);
    auto length = std::uint32_t(status.dwReturn);
    MCI_DGV_RECT_PARMS put {};
    put.rc = { 0, 0, 40, 30 };
    MciSendCommand(id, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &put);
    for (std::uint32_t to : { length / 2, length, 0u, length - length / 3 }) {
        MCI_SEEK_PARMS seek {};
        seek.dwTo = to;
        MciSendCommand(id, MCI_SEEK, MCI_TO | MCI_WAIT, &seek);
    }
    MCI_DGV_STEP_PARMS step {};
    step.dwFrames = 2;
    MciSendCommand(id, MCI_STEP, MCI_DGV_STEP_FRAMES | MCI_WAIT, &step);
    MciSendCommand(id, MCI_STEP, MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE | MCI_WAIT, &step);
    MciSendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr);
    if (MciOpenDeviceCount() != 0)
        std::abort(); // a device left open behind the caller's back
    return 0;
}
