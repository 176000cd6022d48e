// The JPEG loader on arbitrary bytes: load (header), then decode and draw; every input must
// succeed or fail with the program's own exception.

#include "framework/Exception.h"
#include "framework/TBitmap.h"
#include "framework/TStream.h"
#include "imaging/TJPEGImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TJPEGImage image;
    try {
        TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
        image.LoadFromStream(stream);
    } catch (const Exception&) {
        return 0;
    }
    // Declared sizes up to 65535 x 65535: decode only what fits the fuzzer's memory.
    if (std::int64_t(image.Width()) * image.Height() > (std::int64_t(1) << 22))
        return 0;
    try {
        if (size & 1)
            image.Scale = TJPEGScale::jsQuarter;
        if (size & 2)
            image.Performance = TJPEGPerformance::jpBestSpeed;
        TBitmap target;
        target.SetSize(32, 24);
        target.Canvas().StretchDraw(Rect::FromSize(0, 0, 32, 24), image);
    } catch (const Exception&) {
    }
    return 0;
}
