#pragma once

#include "platform/PixelBuffer.h"
#include "platform/media/Mci.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

// Demuxes and decodes one clip file with FFmpeg's libraries: the video stream frame by frame in
// presentation order, numbered from 0, and the sound that the demuxer meets on the way, resampled
// to interleaved signed 16-bit stereo and handed to an audio sink. Used by one thread at a time.
class ClipDecoder {
public:
    // media_time: seconds since the clip's first picture; samples: interleaved stereo.
    using AudioSink = std::function<void(double media_time, const std::int16_t* samples, int frames)>;

    ClipDecoder();
    ~ClipDecoder();
    ClipDecoder(const ClipDecoder&) = delete;
    ClipDecoder& operator=(const ClipDecoder&) = delete;

    // Opens and checks the file: a container we play, a video stream that decodes, every frame
    // counted. On success the decoder stands before frame 0. Returns 0 or an MCIERR_ code.
    MciError Open(const std::filesystem::path& file);

    int FrameCount() const { return m_frame_count; }
    double FrameDuration() const { return m_frame_duration; } // seconds
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool HasAudio() const { return m_audio != nullptr; }

    // Sound decoded from now on goes to the sink at `rate` samples per second (null: none).
    void SetAudioSink(int rate, AudioSink sink);

    // Makes frame `index` current (or the nearest frame after it that the file holds). False when
    // no frame could be decoded.
    bool SeekToFrame(int index);
    // Decodes the frame after the current one. False at the end of the clip or at damage.
    bool DecodeNext();
    int CurrentIndex() const { return m_current_index; }
    // A new reference to the current frame (null when there is none); free with av_frame_free.
    AVFrame* CurrentFrame() const;

    // Scales a frame into `out`, resized to width x height.
    void Render(const AVFrame* frame, PixelBuffer& out, int width, int height);

private:
    struct KeyFrame {
        std::int64_t pos;       // byte position of its packet
        std::int64_t timestamp; // its decoding time stamp, or AV_NOPTS_VALUE
        int decode_index;       // its number among the video packets in file order
    };

    MciError OpenInput(const std::filesystem::path& file);
    MciError Scan();
    bool Reposition(const KeyFrame& key);
    int IndexOf(const AVFrame* frame) const;
    bool ReceiveVideo(); // true: a new current frame
    void DecodeAudio(const AVPacket* packet);
    bool MatchResampler(const AVFrame& sound);
    void Close();

    AVFormatContext* m_format { nullptr };
    AVCodecContext* m_video { nullptr };
    AVCodecContext* m_audio { nullptr };
    int m_video_stream { -1 };
    int m_audio_stream { -1 };
    AVFrame* m_frame { nullptr };   // the current frame
    AVFrame* m_scratch { nullptr }; // receives decoded pictures and sound
    AVPacket* m_packet { nullptr };
    SwsContext* m_sws { nullptr };
    SwrContext* m_swr { nullptr };
    std::vector<std::int16_t> m_audio_buffer;
    int m_audio_rate { 0 };
    int m_swr_format { -1 };     // what the resampler was set up to take
    int m_swr_rate { 0 };
    AVChannelLayout m_swr_layout {};
    AudioSink m_audio_sink;
    double m_audio_next_time { 0 };

    std::vector<KeyFrame> m_keys;
    std::int64_t m_first_pts { 0 };     // in the video stream's time base
    double m_time_base { 0 };           // seconds per time-base unit of the video stream
    double m_audio_time_base { 0 };
    double m_frame_duration { 0.04 };
    int m_frame_count { 0 };
    int m_width { 0 };
    int m_height { 0 };
    int m_current_index { -1 };
    bool m_input_ended { false };   // the demuxer has nothing more
    bool m_decoder_drained { false };
    bool m_packet_held { false }; // m_packet waits to be sent to the video decoder
};
