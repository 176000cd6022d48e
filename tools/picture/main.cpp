// velmar-picture FILE OUT.png [--frames DIR] [--play MS]
//
// Loads FILE through the program's picture loader (the registry chooses the class by extension)
// and writes, as an RGBA PNG of the picture's size, what the viewer draws at that size; pixels the
// picture leaves transparent have alpha 0. --frames DIR writes each GIF frame's own rendering as
// DIR/N.png; --play MS runs an animation for MS milliseconds first. Warnings go to standard error;
// an error prints its message and exits 1, as does a picture larger than the program's pixel
// budget (TBitmap::kMaxPixels).

#include "framework/Exception.h"
#include "framework/TApplication.h"
#include "framework/TBitmap.h"
#include "framework/TPicture.h"
#include "imaging/ImageFormats.h"
#include "imaging/TGIFImage.h"
#include "platform/Cp1251.h"
#include "platform/HeadlessBackend.h"
#include "platform/PngCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: velmar-picture FILE OUT.png [--frames DIR] [--play MS]\n");
    return 2;
}

// A canvas whose untouched pixels stay fully transparent.
PixelBuffer Render(TGraphic& graphic, int width, int height)
{
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        std::memset(target.ScanLine(y), 0, std::size_t(width) * 4);
    target.Modified();
    target.Canvas().StretchDraw(Rect::FromSize(0, 0, width, height), graphic);
    return target.Pixels();
}

void WriteOrFail(const std::string& path, const PixelBuffer& pixels)
{
    if (!WritePng(path, pixels, true))
        throw EInOutError("Cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string file = argv[1];
    std::string out = argv[2];
    std::string frames_dir;
    int play_ms = -1;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames_dir = argv[++i];
        else if (!std::strcmp(argv[i], "--play") && i + 1 < argc)
            play_ms = std::atoi(argv[++i]);
        else
            return Usage();
    }

    // The application object serves the animation's hand-overs to this (the GUI) thread.
    TApplication application(std::make_unique<HeadlessBackend>(), "velmar-picture");
    RegisterImageFormats();
    TGIFImage::s_warning_handler = [](const TGIFItem*, int, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
    try {
        TPicture picture;
        picture.LoadFromFile(file);
        TGraphic* graphic = picture.Graphic();
        const int width = picture.Width();
        const int height = picture.Height();
        if (!graphic || width <= 0 || height <= 0)
            throw EInvalidGraphic("The picture is empty");
        // A header may declare up to 65535 x 65535: the output keeps to the program's own pixel
        // budget instead of asking for gigabytes.
        if (std::int64_t(width) * height > TBitmap::kMaxPixels)
            throw EOutOfMemory(Format("The picture is %d x %d pixels, more than the %lld pixels "
                                      "a picture may have",
                width, height, static_cast<long long>(TBitmap::kMaxPixels)));
        auto* gif = dynamic_cast<TGIFImage*>(graphic);
        if (!frames_dir.empty() && gif) {
            std::filesystem::create_directories(frames_dir);
            for (int i = 0; i < gif->FrameCount(); ++i) {
                TGIFSubImage& frame = gif->Frame(i);
                if (frame.Empty())
                    continue;
                PixelBuffer pixels = frame.Bitmap().Pixels();
                if (const std::uint8_t* mask = frame.Mask())
                    for (int y = 0; y < pixels.Height(); ++y)
                        for (int x = 0; x < pixels.Width(); ++x)
                            if (mask[std::size_t(y) * frame.MaskStride() + std::size_t(x >> 3)] & (0x80 >> (x & 7)))
                                pixels.At(x, y) = 0;
                WriteOrFail(frames_dir + "/" + std::to_string(i) + ".png", pixels);
            }
        }
        PixelBuffer shown = Render(*graphic, width, height);
        if (play_ms > 0) {
            application.RunFor(play_ms);
            shown = Render(*graphic, width, height);
        }
        WriteOrFail(out, shown);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", Cp1251ToUtf8(error.what()).c_str());
        return 1;
    }
    return 0;
}
