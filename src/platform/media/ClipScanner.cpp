#include "platform/media/ClipScanner.h"

#include "platform/media/ClipInput.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

// The scanning thread's niceness (Linux gives each thread its own).
constexpr int kNice = 5;

} // namespace

ClipScanner::ClipScanner(std::filesystem::path file, int stream, Kind kind, double picture_seconds, ClipIndex& index)
    : m_file(std::move(file))
    , m_stream(stream)
    , m_kind(kind)
    , m_picture_seconds(picture_seconds)
    , m_index(index)
{
    m_thread = std::thread([this] { Run(); });
}

ClipScanner::~ClipScanner()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void ClipScanner::Run()
{
    // Background work: the window's thread and the device's go first on a busy machine.
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), kNice);
    if (!Scan())
        m_index.GiveUp();
}

bool ClipScanner::Scan()
{
    AVFormatContext* format = nullptr;
    if (ClipInput::Open(m_file, format, &m_stop) != 0)
        return false;
    struct Closer {
        AVFormatContext*& format;
        ~Closer() { ClipInput::Close(format); }
    } closer { format };
    // The same file opened the same way lists the same streams; make sure of it all the same.
    if (m_stream < 0 || unsigned(m_stream) >= format->nb_streams)
        return false;
    AVStream* stream = format->streams[m_stream];
    AVMediaType wanted = m_kind == Kind::Pictures ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    if (stream->codecpar->codec_type != wanted)
        return false;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (int(i) != m_stream)
            format->streams[i]->discard = AVDISCARD_ALL;
    }
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return false;
    ClipIndex::Builder builder;
    const double time_base = av_q2d(stream->time_base);
    double sound_start = -1;
    double sound_end = -1;
    while (!m_stop) {
        if (av_read_frame(format, packet) < 0)
            break; // the end, or damage the demuxer cannot pass: the clip is what could be read
        if (packet->stream_index == m_stream && !(packet->flags & AV_PKT_FLAG_DISCARD) && packet->size > 0) {
            if (m_kind == Kind::Pictures) {
                auto time = [](std::int64_t t) { return t == AV_NOPTS_VALUE ? ClipIndex::kNoTime : t; };
                builder.Add(packet->flags & AV_PKT_FLAG_KEY, packet->pos, time(packet->dts), time(packet->pts));
            } else if (packet->pts != AV_NOPTS_VALUE) {
                double start = double(packet->pts) * time_base;
                if (sound_start < 0 || start < sound_start)
                    sound_start = start;
                sound_end = std::max(sound_end, start + double(packet->duration) * time_base);
            }
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (m_stop)
        return false;
    if (m_kind == Kind::Pictures) {
        int count = builder.Count();
        m_index.Fill(builder.TakeKeys(), count);
    } else {
        double seconds = sound_start < 0 ? 0 : sound_end - sound_start;
        m_index.Fill({}, int(std::lround(seconds / m_picture_seconds)));
    }
    return true;
}
