// The GIF reader and renderer on arbitrary bytes: every input must load or fail with the program's
// own exception, never crash, hang or use memory beyond what the declared frames need.

#include "framework/Exception.h"
#include "framework/TBitmap.h"
#include "imaging/TGIFImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Keep a hostile file's declared frames within the fuzzer's memory limit.
    TGIFImage::s_pixel_budget = std::size_t(16) << 20;
    TGIFImage image;
    try {
        image.LoadFromBytes({ data, size });
    } catch (const Exception&) {
        return 0;
    }
    // Render and draw what loaded: palettes, masks, placement; both colour paths.
    try {
        TGIFImage::s_palette_display = size & 1;
        image.DrawOptions = TGIFImage::kDefaultDrawOptions & ~unsigned(TGIFImage::PlayFrames);
        {
            TBitmap target;
            target.SetPixelFormat(TPixelFormat::pf32bit);
            target.SetSize(64, 48);
            for (int i = 0; i < image.FrameCount() && i < 8; ++i) {
                if (image.Frame(i).DataSize() > (std::size_t(1) << 20))
                    continue;
                image.ShownFrame = i;
                image.Draw(target.Canvas(), Rect::FromSize(0, 0, 64, 48));
            }
        }
    } catch (const Exception&) {
    }
    return 0;
}
