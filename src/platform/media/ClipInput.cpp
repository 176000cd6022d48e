#include "platform/media/ClipInput.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
}

#include <cerrno>

namespace {

// Containers our devices play. Anything else (a text file that happens to be named .mpg, a
// picture) is refused at open.
constexpr const char* kFormatWhitelist = "mpeg,mpegvideo,mpegts,avi,mov,mp4,asf,matroska,webm,mp3,wav";

int Interrupted(void* stop)
{
    return static_cast<const std::atomic<bool>*>(stop)->load(std::memory_order_relaxed) ? 1 : 0;
}

} // namespace

MciError ClipInput::Open(const std::filesystem::path& file, AVFormatContext*& format, const std::atomic<bool>* stop)
{
    format = avformat_alloc_context();
    if (!format)
        return MCIERR_OUT_OF_MEMORY;
    format->format_whitelist = av_strdup(kFormatWhitelist);
    format->protocol_whitelist = av_strdup("file");
    if (stop)
        format->interrupt_callback = { &Interrupted, const_cast<std::atomic<bool>*>(stop) };
    AVDictionary* options = nullptr;
    av_dict_set(&options, "probesize", "1000000", 0);
    int result = avformat_open_input(&format, file.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0) {
        format = nullptr; // freed by avformat_open_input
        return result == AVERROR(ENOENT) ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE;
    }
    // Long enough to meet the sound of an MPEG stream, short enough not to stall the open.
    format->max_analyze_duration = 2 * AV_TIME_BASE;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        Close(format);
        return MCIERR_INVALID_FILE;
    }
    return 0;
}

void ClipInput::Close(AVFormatContext*& format)
{
    avformat_close_input(&format);
}

bool ClipInput::SeeksByBytes(const AVFormatContext& format)
{
    return av_match_list(format.iformat->name, "mpeg,mpegvideo,mpegts", ',') > 0;
}
