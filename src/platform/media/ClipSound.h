#pragma once

#include <cstdint>
#include <functional>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;

// The sound of a clip: decodes the packets of its sound stream, resamples them to interleaved
// signed 16-bit stereo at the output's rate and hands them to a sink, each run stamped with its
// place in the clip. Used by one thread at a time.
class ClipSound {
public:
    // media_time: seconds since the clip's first picture; samples: interleaved stereo.
    using Sink = std::function<void(double media_time, const std::int16_t* samples, int frames)>;

    ClipSound() = default;
    ~ClipSound();
    ClipSound(const ClipSound&) = delete;
    ClipSound& operator=(const ClipSound&) = delete;

    // False when the stream cannot be decoded (the clip then plays silent).
    bool Open(const AVStream& stream);
    bool IsOpen() const { return m_codec != nullptr; }
    // Where the clip's time starts, in seconds of the stream's clock.
    void SetOrigin(double seconds) { m_origin = seconds; }
    // Sound decoded from now on goes to the sink at `rate` samples per second (null: none).
    void SetSink(int rate, Sink sink);
    bool HasSink() const { return static_cast<bool>(m_sink); }

    void Decode(const AVPacket& packet);
    // Forgets what the decoder and the resampler hold back, after a reposition.
    void Flush();
    // The media time the sound decoded so far reaches; negative before any.
    double End() const { return m_next_time; }

private:
    bool MatchResampler(const AVFrame& sound);

    AVCodecContext* m_codec { nullptr };
    AVFrame* m_frame { nullptr };
    SwrContext* m_swr { nullptr };
    int m_swr_format { -1 }; // what the resampler was set up to take
    int m_swr_rate { 0 };
    AVChannelLayout m_swr_layout {};
    std::vector<std::int16_t> m_buffer;
    Sink m_sink;
    int m_rate { 0 };
    double m_time_base { 0 };
    double m_origin { 0 };
    double m_next_time { -1 };
};
