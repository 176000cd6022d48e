#include "platform/media/ClipDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <system_error>

namespace {

// Containers and picture codings our video devices play. Anything else (a text file that happens
// to be named .mpg, a picture, a sound file) is refused at open.
constexpr const char* kFormatWhitelist = "mpeg,mpegvideo,mpegts,avi,mov,mp4,asf,matroska,webm";
constexpr std::array kVideoCodecs = { AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MPEG4,
    AV_CODEC_ID_H263, AV_CODEC_ID_H264, AV_CODEC_ID_MSMPEG4V1, AV_CODEC_ID_MSMPEG4V2,
    AV_CODEC_ID_MSMPEG4V3, AV_CODEC_ID_MJPEG, AV_CODEC_ID_CINEPAK, AV_CODEC_ID_MSVIDEO1,
    AV_CODEC_ID_INDEO3, AV_CODEC_ID_WMV1, AV_CODEC_ID_WMV2, AV_CODEC_ID_RAWVIDEO };

// Largest picture we accept, so that a hostile header cannot make us allocate gigabytes.
constexpr int kMaxPictureSide = 4096;
// A forward seek closer than this is decoded through rather than repositioned.
constexpr int kForwardDecodeLimit = 30;

// Whether an MPEG program stream ends inside a packet: a file cut short. Walks the pack and packet
// headers by their lengths; a file that ends exactly between packets, or loses its way in damaged
// data, counts as not cut (playback then stops cleanly wherever the data runs out).
bool ProgramStreamIsCut(const std::filesystem::path& file, std::uintmax_t size)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::uint64_t pos = 0;
    std::array<unsigned char, 14> head {};
    while (pos < size) {
        if (size - pos < 4)
            return true; // bytes left over after the last packet: a start code cut in two
        in.seekg(std::streamoff(pos));
        std::size_t want = std::min<std::uint64_t>(head.size(), size - pos);
        if (!in.read(reinterpret_cast<char*>(head.data()), std::streamsize(want)))
            return false;
        if (head[0] != 0 || head[1] != 0 || head[2] != 1)
            return false; // lost in damaged data
        unsigned code = head[3];
        std::uint64_t length;
        if (code == 0xB9)
            return false; // program end code
        if (code == 0xBA) {
            if (want < 5)
                return true;
            if ((head[4] & 0xC0) == 0x40) { // MPEG-2 pack header: 14 bytes and stuffing
                if (want < 14)
                    return true;
                length = 14 + (head[13] & 7);
            } else if ((head[4] & 0xF0) == 0x20) {
                length = 12;
            } else {
                return false;
            }
        } else if (code >= 0xBB) {
            if (want < 6)
                return true;
            length = 6 + (std::uint64_t(head[4]) << 8 | head[5]);
        } else {
            return false; // not a program stream structure we know
        }
        if (length > size - pos)
            return true;
        pos += length;
    }
    return false;
}

bool IsWhitelistedCodec(AVCodecID id)
{
    return std::find(kVideoCodecs.begin(), kVideoCodecs.end(), id) != kVideoCodecs.end();
}

} // namespace

ClipDecoder::ClipDecoder()
{
    // The libraries' own messages about damaged data would go to standard error; the device
    // reports through its result codes instead.
    av_log_set_level(AV_LOG_QUIET);
    m_frame = av_frame_alloc();
    m_scratch = av_frame_alloc();
    m_packet = av_packet_alloc();
}

ClipDecoder::~ClipDecoder()
{
    Close();
    av_frame_free(&m_frame);
    av_frame_free(&m_scratch);
    av_packet_free(&m_packet);
}

void ClipDecoder::Close()
{
    avcodec_free_context(&m_video);
    avcodec_free_context(&m_audio);
    avformat_close_input(&m_format);
    sws_freeContext(m_sws);
    m_sws = nullptr;
    swr_free(&m_swr);
    av_channel_layout_uninit(&m_swr_layout);
}

MciError ClipDecoder::Open(const std::filesystem::path& file)
{
    if (!m_frame || !m_scratch || !m_packet)
        return MCIERR_OUT_OF_MEMORY;
    std::error_code error;
    auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status))
        return MCIERR_FILE_NOT_FOUND;
    if (!std::filesystem::is_regular_file(status))
        return MCIERR_INVALID_FILE;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error)
        return MCIERR_FILE_READ;
    if (size == 0)
        return MCIERR_CLIP_EMPTY;
    {
        std::ifstream in(file, std::ios::binary);
        std::array<unsigned char, 4> start {};
        if (!in || !in.read(reinterpret_cast<char*>(start.data()), std::streamsize(std::min<std::uintmax_t>(4, size))))
            return MCIERR_FILE_READ;
        if (start[0] == 0 && start[1] == 0 && start[2] == 1 && start[3] == 0xBA && ProgramStreamIsCut(file, size))
            return MCIERR_CLIP_TRUNCATED;
    }

    if (MciError result = OpenInput(file))
        return result;
    if (MciError result = Scan())
        return result;
    // Check that the pictures decode at all before saying the clip is playable.
    if (!SeekToFrame(0))
        return MCIERR_CLIP_NO_PICTURE;
    if (!Reposition(m_keys.front()))
        return MCIERR_FILE_READ;
    return 0;
}

MciError ClipDecoder::OpenInput(const std::filesystem::path& file)
{
    m_format = avformat_alloc_context();
    if (!m_format)
        return MCIERR_OUT_OF_MEMORY;
    m_format->format_whitelist = av_strdup(kFormatWhitelist);
    m_format->protocol_whitelist = av_strdup("file");
    AVDictionary* options = nullptr;
    av_dict_set(&options, "probesize", "2000000", 0);
    int result = avformat_open_input(&m_format, file.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0) {
        m_format = nullptr; // freed by avformat_open_input
        return result == AVERROR(ENOENT) ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE;
    }
    m_format->max_analyze_duration = 5 * AV_TIME_BASE;
    if (avformat_find_stream_info(m_format, nullptr) < 0)
        return MCIERR_INVALID_FILE;

    m_video_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_video_stream < 0)
        return MCIERR_CLIP_NO_PICTURE;
    AVStream* video = m_format->streams[m_video_stream];
    const AVCodec* codec = avcodec_find_decoder(video->codecpar->codec_id);
    if (!codec || !IsWhitelistedCodec(codec->id))
        return MCIERR_INVALID_FILE;
    m_video = avcodec_alloc_context3(codec);
    if (!m_video || avcodec_parameters_to_context(m_video, video->codecpar) < 0)
        return MCIERR_OUT_OF_MEMORY;
    m_video->thread_count = 1;
    if (avcodec_open2(m_video, codec, nullptr) < 0)
        return MCIERR_INVALID_FILE;
    m_width = video->codecpar->width;
    m_height = video->codecpar->height;
    if (m_width <= 0 || m_height <= 0 || m_width > kMaxPictureSide || m_height > kMaxPictureSide)
        return MCIERR_INVALID_FILE;
    m_time_base = av_q2d(video->time_base);
    AVRational rate = video->avg_frame_rate.num > 0 && video->avg_frame_rate.den > 0 ? video->avg_frame_rate : video->r_frame_rate;
    double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
    m_frame_duration = fps >= 1 && fps <= 240 ? 1.0 / fps : 0.04;
    if (m_time_base <= 0)
        return MCIERR_INVALID_FILE;

    // Sound is optional: a clip whose sound cannot be decoded plays silent.
    int audio_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, m_video_stream, nullptr, 0);
    if (audio_stream >= 0) {
        AVStream* audio = m_format->streams[audio_stream];
        const AVCodec* audio_codec = avcodec_find_decoder(audio->codecpar->codec_id);
        if (audio_codec) {
            m_audio = avcodec_alloc_context3(audio_codec);
            if (m_audio && avcodec_parameters_to_context(m_audio, audio->codecpar) >= 0) {
                m_audio->thread_count = 1;
                if (avcodec_open2(m_audio, audio_codec, nullptr) >= 0 && m_audio->sample_rate > 0
                    && m_audio->ch_layout.nb_channels > 0) {
                    m_audio_stream = audio_stream;
                    m_audio_time_base = av_q2d(audio->time_base);
                }
            }
            if (m_audio_stream < 0)
                avcodec_free_context(&m_audio);
        }
    }
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (int(i) != m_video_stream && int(i) != m_audio_stream)
            m_format->streams[i]->discard = AVDISCARD_ALL;
    }
    return 0;
}

// Reads every packet once: counts the pictures (the clip's length in frames), finds the first
// presentation time, and notes where the key frames lie for seeking.
MciError ClipDecoder::Scan()
{
    std::int64_t first_pts = AV_NOPTS_VALUE;
    std::int64_t first_dts = AV_NOPTS_VALUE;
    int count = 0;
    for (;;) {
        int result = av_read_frame(m_format, m_packet);
        if (result < 0)
            break; // the end, or damage: the clip is as long as what could be read
        if (m_packet->stream_index == m_video_stream) {
            if (m_packet->pts != AV_NOPTS_VALUE && (first_pts == AV_NOPTS_VALUE || m_packet->pts < first_pts))
                first_pts = m_packet->pts;
            if (m_packet->dts != AV_NOPTS_VALUE && first_dts == AV_NOPTS_VALUE)
                first_dts = m_packet->dts;
            if ((m_packet->flags & AV_PKT_FLAG_KEY) || m_keys.empty())
                m_keys.push_back({ m_packet->pos, m_packet->dts != AV_NOPTS_VALUE ? m_packet->dts : m_packet->pts, count });
            ++count;
        }
        av_packet_unref(m_packet);
    }
    if (count == 0)
        return MCIERR_CLIP_NO_PICTURE;
    m_frame_count = count;
    m_first_pts = first_pts != AV_NOPTS_VALUE ? first_pts : first_dts != AV_NOPTS_VALUE ? first_dts : 0;
    // The first key frame entry is the file's start, whatever its packet says.
    m_keys.front().pos = 0;
    m_keys.front().timestamp = AV_NOPTS_VALUE;
    return 0;
}

void ClipDecoder::SetAudioSink(int rate, AudioSink sink)
{
    swr_free(&m_swr);
    m_audio_sink = nullptr;
    if (!m_audio || rate <= 0 || !sink)
        return;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, rate, &m_audio->ch_layout,
            m_audio->sample_fmt, m_audio->sample_rate, 0, nullptr) < 0
        || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return;
    }
    m_swr_format = m_audio->sample_fmt;
    m_swr_rate = m_audio->sample_rate;
    av_channel_layout_uninit(&m_swr_layout);
    av_channel_layout_copy(&m_swr_layout, &m_audio->ch_layout);
    m_audio_rate = rate;
    m_audio_sink = std::move(sink);
}

// Damaged sound can decode to frames of another rate, sample format or channel count than the
// stream began with; the resampler is set up anew for them, since it reads exactly the planes its
// set-up names.
bool ClipDecoder::MatchResampler(const AVFrame& sound)
{
    if (sound.nb_samples <= 0 || sound.sample_rate <= 0 || sound.ch_layout.nb_channels <= 0 || !sound.extended_data)
        return false;
    if (m_swr && sound.format == m_swr_format && sound.sample_rate == m_swr_rate
        && av_channel_layout_compare(&sound.ch_layout, &m_swr_layout) == 0)
        return true;
    swr_free(&m_swr);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, m_audio_rate, const_cast<AVChannelLayout*>(&sound.ch_layout),
            AVSampleFormat(sound.format), sound.sample_rate, 0, nullptr) < 0
        || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    m_swr_format = sound.format;
    m_swr_rate = sound.sample_rate;
    av_channel_layout_uninit(&m_swr_layout);
    av_channel_layout_copy(&m_swr_layout, &sound.ch_layout);
    return true;
}

bool ClipDecoder::Reposition(const KeyFrame& key)
{
    int result;
    if (key.pos == 0 || (key.pos > 0 && !(m_format->iformat->flags & AVFMT_NO_BYTE_SEEK)))
        result = av_seek_frame(m_format, -1, key.pos, AVSEEK_FLAG_BYTE);
    else
        result = av_seek_frame(m_format, m_video_stream, key.timestamp, AVSEEK_FLAG_BACKWARD);
    if (result < 0 && key.pos == 0)
        result = avformat_seek_file(m_format, -1, INT64_MIN, 0, INT64_MAX, 0);
    avcodec_flush_buffers(m_video);
    if (m_audio)
        avcodec_flush_buffers(m_audio);
    if (m_swr)
        swr_init(m_swr); // drop what the resampler held back
    av_packet_unref(m_packet);
    m_packet_held = false;
    m_current_index = -1;
    m_input_ended = false;
    m_decoder_drained = false;
    m_audio_next_time = -1;
    return result >= 0;
}

int ClipDecoder::IndexOf(const AVFrame* frame) const
{
    std::int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE)
        return m_current_index + 1;
    double seconds = double(ts - m_first_pts) * m_time_base;
    return int(std::lround(seconds / m_frame_duration));
}

bool ClipDecoder::ReceiveVideo()
{
    while (avcodec_receive_frame(m_video, m_scratch) >= 0) {
        int index = IndexOf(m_scratch);
        if (index < 0 || (m_current_index >= 0 && index <= m_current_index) || m_scratch->width != m_width
            || m_scratch->height != m_height) {
            av_frame_unref(m_scratch); // a picture from before the start, a repeat, or a size change
            continue;
        }
        av_frame_unref(m_frame);
        av_frame_move_ref(m_frame, m_scratch);
        m_current_index = index;
        return true;
    }
    return false;
}

bool ClipDecoder::DecodeNext()
{
    if (!m_format)
        return false;
    for (;;) {
        if (ReceiveVideo())
            return true;
        if (m_decoder_drained)
            return false;
        if (m_packet_held) {
            // The decoder refused this packet while it was full; it has been emptied since.
            if (avcodec_send_packet(m_video, m_packet) == AVERROR(EAGAIN))
                continue;
            av_packet_unref(m_packet);
            m_packet_held = false;
            continue;
        }
        if (m_input_ended) {
            // Everything read: let the decoder give up the pictures it still holds.
            avcodec_send_packet(m_video, nullptr);
            m_decoder_drained = true;
            continue;
        }
        int result = av_read_frame(m_format, m_packet);
        if (result < 0) {
            m_input_ended = true;
            continue;
        }
        if (m_packet->stream_index == m_video_stream) {
            // A damaged packet is refused by the decoder; the next one goes on.
            if (avcodec_send_packet(m_video, m_packet) == AVERROR(EAGAIN)) {
                m_packet_held = true;
                continue;
            }
        } else if (m_packet->stream_index == m_audio_stream) {
            DecodeAudio(m_packet);
        }
        av_packet_unref(m_packet);
    }
}

void ClipDecoder::DecodeAudio(const AVPacket* packet)
{
    if (!m_audio || !m_audio_sink)
        return;
    if (avcodec_send_packet(m_audio, packet) < 0)
        return;
    while (avcodec_receive_frame(m_audio, m_scratch) >= 0) {
        double time = m_audio_next_time;
        if (m_scratch->best_effort_timestamp != AV_NOPTS_VALUE)
            time = double(m_scratch->best_effort_timestamp) * m_audio_time_base - double(m_first_pts) * m_time_base;
        if (time < -1e8)
            time = 0;
        if (!MatchResampler(*m_scratch)) {
            av_frame_unref(m_scratch); // damaged sound that no resampler takes: left out
            continue;
        }
        int capacity = swr_get_out_samples(m_swr, m_scratch->nb_samples);
        if (capacity > 0) {
            m_audio_buffer.resize(std::size_t(capacity) * 2);
            auto* out = reinterpret_cast<std::uint8_t*>(m_audio_buffer.data());
            int converted = swr_convert(m_swr, &out, capacity, const_cast<const std::uint8_t**>(m_scratch->extended_data),
                m_scratch->nb_samples);
            if (converted > 0) {
                m_audio_sink(time, m_audio_buffer.data(), converted);
                m_audio_next_time = time + double(converted) / m_audio_rate;
            }
        }
        av_frame_unref(m_scratch);
    }
}

bool ClipDecoder::SeekToFrame(int index)
{
    if (!m_format || m_keys.empty())
        return false;
    index = std::clamp(index, 0, std::max(0, m_frame_count - 1));
    if (m_current_index == index)
        return true;
    if (m_current_index >= 0 && index > m_current_index && index - m_current_index <= kForwardDecodeLimit) {
        while (m_current_index < index) {
            if (!DecodeNext())
                return m_frame->data[0] != nullptr;
        }
        return true;
    }
    // The last key frame at or before the wanted frame in file order. With reordered pictures a
    // key frame can be shown after frames filed before it; then an earlier key frame is taken.
    auto key = std::upper_bound(m_keys.begin(), m_keys.end(), index,
        [](int wanted, const KeyFrame& k) { return wanted < k.decode_index; });
    std::size_t k = key == m_keys.begin() ? 0 : std::size_t(key - m_keys.begin()) - 1;
    for (;;) {
        if (!Reposition(m_keys[k]))
            return false;
        bool got = DecodeNext();
        if (got && m_current_index > index && k > 0) {
            --k;
            continue;
        }
        if (!got)
            return false;
        while (m_current_index < index) {
            if (!DecodeNext())
                break; // damage or the end: the last picture decoded stays
        }
        return true;
    }
}

AVFrame* ClipDecoder::CurrentFrame() const
{
    if (m_current_index < 0 || !m_frame->data[0])
        return nullptr;
    return av_frame_clone(m_frame);
}

void ClipDecoder::Render(const AVFrame* frame, PixelBuffer& out, int width, int height)
{
    out.Resize(width, height);
    m_sws = sws_getCachedContext(m_sws, frame->width, frame->height, AVPixelFormat(frame->format), width, height,
        AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_sws) {
        for (int y = 0; y < height; ++y)
            std::fill_n(out.Row(y), width, Pixel(0xFF000000));
        return;
    }
    std::uint8_t* planes[4] = { reinterpret_cast<std::uint8_t*>(out.Row(0)), nullptr, nullptr, nullptr };
    int strides[4] = { out.Stride() * 4, 0, 0, 0 };
    sws_scale(m_sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
}
