#include "platform/media/ClipSound.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

ClipSound::~ClipSound()
{
    avcodec_free_context(&m_codec);
    av_frame_free(&m_frame);
    swr_free(&m_swr);
    av_channel_layout_uninit(&m_swr_layout);
}

bool ClipSound::Open(const AVStream& stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec)
        return false;
    m_codec = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    if (!m_codec || !m_frame || avcodec_parameters_to_context(m_codec, stream.codecpar) < 0)
        return false;
    m_codec->thread_count = 1;
    if (avcodec_open2(m_codec, codec, nullptr) < 0 || m_codec->sample_rate <= 0 || m_codec->ch_layout.nb_channels <= 0) {
        avcodec_free_context(&m_codec);
        return false;
    }
    m_time_base = av_q2d(stream.time_base);
    return true;
}

void ClipSound::SetSink(int rate, Sink sink)
{
    swr_free(&m_swr);
    m_sink = nullptr;
    if (!m_codec || rate <= 0 || !sink)
        return;
    m_rate = rate;
    m_sink = std::move(sink);
}

// The resampler reads exactly the planes its set-up names, and damaged sound can decode to frames
// of another rate, sample format or channel count than the stream began with: it is set up anew
// whenever the sound's format changes.
bool ClipSound::MatchResampler(const AVFrame& sound)
{
    if (sound.nb_samples <= 0 || sound.sample_rate <= 0 || sound.ch_layout.nb_channels <= 0 || !sound.extended_data)
        return false;
    if (m_swr && sound.format == m_swr_format && sound.sample_rate == m_swr_rate
        && av_channel_layout_compare(&sound.ch_layout, &m_swr_layout) == 0)
        return true;
    swr_free(&m_swr);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, m_rate, const_cast<AVChannelLayout*>(&sound.ch_layout),
            AVSampleFormat(sound.format),
            sound.sample_rate, 0, nullptr) < 0
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

void ClipSound::Decode(const AVPacket& packet)
{
    if (!m_codec)
        return;
    if (avcodec_send_packet(m_codec, &packet) < 0)
        return; // damaged sound is left out
    while (avcodec_receive_frame(m_codec, m_frame) >= 0) {
        double time = m_next_time < 0 ? 0 : m_next_time;
        if (m_frame->best_effort_timestamp != AV_NOPTS_VALUE)
            time = double(m_frame->best_effort_timestamp) * m_time_base - m_origin;
        if (!m_sink) {
            // Nowhere to play it: only how far the sound reaches is kept.
            if (m_frame->sample_rate > 0)
                m_next_time = time + double(m_frame->nb_samples) / m_frame->sample_rate;
            av_frame_unref(m_frame);
            continue;
        }
        if (!MatchResampler(*m_frame)) {
            av_frame_unref(m_frame);
            continue;
        }
        int capacity = swr_get_out_samples(m_swr, m_frame->nb_samples);
        if (capacity > 0) {
            m_buffer.resize(std::size_t(capacity) * 2);
            auto* out = reinterpret_cast<std::uint8_t*>(m_buffer.data());
            int converted = swr_convert(m_swr, &out, capacity, const_cast<const std::uint8_t**>(m_frame->extended_data),
                m_frame->nb_samples);
            if (converted > 0) {
                m_sink(time, m_buffer.data(), converted);
                m_next_time = time + double(converted) / m_rate;
            }
        }
        av_frame_unref(m_frame);
    }
}

void ClipSound::Flush()
{
    if (m_codec)
        avcodec_flush_buffers(m_codec);
    if (m_swr)
        swr_init(m_swr); // drop what the resampler held back
    m_next_time = -1;
}
