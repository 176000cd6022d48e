#pragma once

#include "platform/media/Mci.h"

#include <atomic>
#include <filesystem>

struct AVFormatContext;

// Opens a clip file for demuxing with FFmpeg: only the containers our devices play, only local
// files, the stream parameters found. Shared by the decoder and the scanner, so that both see the
// same streams under the same numbers.
struct ClipInput {
    // Returns 0 and sets `format`, or an MCIERR_ code. With `stop`, reading gives up as soon as
    // it is set.
    static MciError Open(const std::filesystem::path& file, AVFormatContext*& format, const std::atomic<bool>* stop = nullptr);
    static void Close(AVFormatContext*& format);
    // Whether the container is an MPEG stream, which is repositioned by byte offsets (its time
    // stamps may jump); other containers are repositioned by time stamps.
    static bool SeeksByBytes(const AVFormatContext& format);
};
