#include "ClipWriter.h"

#include "platform/PixelBuffer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;

[[noreturn]] void Fail(const std::string& what, int code = 0)
{
    std::string text = "cannot write the clip: " + what;
    if (code < 0) {
        char reason[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(code, reason, sizeof reason);
        text += std::string(" (") + reason + ")";
    }
    throw std::runtime_error(text);
}

void Check(int result, const std::string& what)
{
    if (result < 0)
        Fail(what, result);
}

struct FormatDeleter {
    void operator()(AVFormatContext* format) const
    {
        if (format->pb)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
};
struct CodecDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

struct Output {
    AVStream* stream { nullptr };
    CodecPtr codec;
    CodecPtr mono; // the sound encoder used from Options::mono_from on
    std::int64_t next_pts { 0 };
    bool done { false };
};

// Sends one frame (or the end, for null) and writes every packet the encoder hands back.
void Encode(AVFormatContext* format, AVCodecContext* codec, AVStream* stream, AVFrame* frame, AVPacket* packet)
{
    Check(avcodec_send_frame(codec, frame), "encoding");
    for (;;) {
        int result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        Check(result, "encoding");
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        Check(av_interleaved_write_frame(format, packet), "writing a packet");
    }
}

// The numbered pattern, written straight into the planes.
void PaintNumbered(AVFrame* frame, int number)
{
    const int width = frame->width;
    const int height = frame->height;
    const int band_width = std::max(1, width / 8);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0];
        int band = std::min(7, y * 8 / height);
        bool light = (number >> (7 - band)) & 1;
        for (int x = 0; x < width; ++x) {
            if (x < band_width) {
                row[x] = light ? 235 : 16;
            } else {
                int v = (x * 3 + y * 2 + number * 5) ^ ((x * y) >> 5);
                row[x] = std::uint8_t(32 + (v & 0xFF) * 192 / 255);
            }
        }
    }
    for (int y = 0; y < (height + 1) / 2; ++y) {
        std::uint8_t* u = frame->data[1] + std::ptrdiff_t(y) * frame->linesize[1];
        std::uint8_t* v = frame->data[2] + std::ptrdiff_t(y) * frame->linesize[2];
        for (int x = 0; x < (width + 1) / 2; ++x) {
            bool band = x * 2 < band_width;
            u[x] = band ? 128 : std::uint8_t(128 + 60 * std::sin((x + number) * 0.05));
            v[x] = band ? 128 : std::uint8_t(128 + 60 * std::cos((y + number * 2) * 0.04));
        }
    }
}

std::uint8_t ToByte(float value)
{
    return std::uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

// RGB to studio-range YCbCr with the BT.601 matrix, as MPEG expects; chroma averaged over 2 x 2.
void FillYuv(AVFrame* frame, const std::vector<std::uint8_t>& rgb)
{
    const int width = frame->width;
    const int height = frame->height;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb.data() + std::size_t(y) * width * 3;
        std::uint8_t* luma = frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0];
        for (int x = 0; x < width; ++x) {
            float r = row[x * 3], g = row[x * 3 + 1], b = row[x * 3 + 2];
            luma[x] = ToByte(16 + 0.257f * r + 0.504f * g + 0.098f * b);
        }
    }
    for (int y = 0; y < (height + 1) / 2; ++y) {
        std::uint8_t* cb = frame->data[1] + std::ptrdiff_t(y) * frame->linesize[1];
        std::uint8_t* cr = frame->data[2] + std::ptrdiff_t(y) * frame->linesize[2];
        for (int x = 0; x < (width + 1) / 2; ++x) {
            float r = 0, g = 0, b = 0;
            int count = 0;
            for (int dy = 0; dy < 2 && 2 * y + dy < height; ++dy) {
                for (int dx = 0; dx < 2 && 2 * x + dx < width; ++dx) {
                    const std::uint8_t* p = rgb.data() + (std::size_t(2 * y + dy) * width + 2 * x + dx) * 3;
                    r += p[0];
                    g += p[1];
                    b += p[2];
                    ++count;
                }
            }
            r /= float(count);
            g /= float(count);
            b /= float(count);
            cb[x] = ToByte(128 - 0.148f * r - 0.291f * g + 0.439f * b);
            cr[x] = ToByte(128 + 0.439f * r - 0.368f * g - 0.071f * b);
        }
    }
}

CodecPtr OpenSoundEncoder(const AVCodec* codec, const AVChannelLayout& layout, int bit_rate)
{
    CodecPtr context(avcodec_alloc_context3(codec));
    if (!context)
        Fail("out of memory");
    context->sample_fmt = AV_SAMPLE_FMT_S16;
    context->sample_rate = kSampleRate;
    Check(av_channel_layout_copy(&context->ch_layout, &layout), "channel layout");
    context->bit_rate = bit_rate;
    context->time_base = { 1, kSampleRate };
    context->thread_count = 1;
    context->flags |= AV_CODEC_FLAG_BITEXACT;
    Check(avcodec_open2(context.get(), codec, nullptr), "opening the sound encoder");
    return context;
}

// One sample pair of the sound at sample n of `total`.
void SoundSample(const ClipWriter::Options& options, std::int64_t n, std::int64_t total, std::int16_t& left, std::int16_t& right)
{
    const double t = double(n) / kSampleRate;
    const double f = options.tone_hz;
    if (options.sound == ClipWriter::Sound::Tone) {
        left = right = std::int16_t(8000 * std::sin(2 * M_PI * f * t));
        return;
    }
    // A root, a fifth and an octave, fading in and out, slightly detuned per side.
    double seconds = double(total) / kSampleRate;
    double envelope = std::min({ 1.0, t / 0.3, std::max(0.0, (seconds - t) / 0.5) });
    double l = std::sin(2 * M_PI * f * t) + 0.5 * std::sin(2 * M_PI * f * 1.5 * t) + 0.25 * std::sin(2 * M_PI * f * 2 * t);
    double r = std::sin(2 * M_PI * f * 1.003 * t) + 0.5 * std::sin(2 * M_PI * f * 1.5 * t + 0.7)
        + 0.25 * std::sin(2 * M_PI * f * 2.01 * t);
    double wobble = 0.8 + 0.2 * std::sin(2 * M_PI * 0.5 * t);
    left = std::int16_t(6000 * envelope * wobble * l);
    right = std::int16_t(6000 * envelope * wobble * r);
}

} // namespace

void ClipWriter::Write(const std::filesystem::path& file, const Options& options)
{
    av_log_set_level(AV_LOG_QUIET); // failures are reported by exception
    const bool mpeg2 = options.format == Format::Mpeg2;
    AVFormatContext* raw_format = nullptr;
    Check(avformat_alloc_output_context2(&raw_format, nullptr, mpeg2 ? "vob" : "mpeg", file.c_str()), "no muxer");
    std::unique_ptr<AVFormatContext, FormatDeleter> format(raw_format);
    format->flags |= AVFMT_FLAG_BITEXACT;
    // Let the system stream run packets up to 0.7 s ahead, as FFmpeg's own tools do; with none the
    // muxer's buffer model underflows on the sound.
    format->max_delay = int(0.7 * AV_TIME_BASE);

    Output video;
    const AVCodec* video_codec = avcodec_find_encoder(mpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    if (!video_codec)
        Fail("no video encoder");
    video.stream = avformat_new_stream(format.get(), nullptr);
    video.codec.reset(avcodec_alloc_context3(video_codec));
    if (!video.stream || !video.codec)
        Fail("out of memory");
    AVCodecContext* vc = video.codec.get();
    vc->width = options.width;
    vc->height = options.height;
    vc->time_base = { 1, options.frames_per_second };
    vc->framerate = { options.frames_per_second, 1 };
    vc->pix_fmt = AV_PIX_FMT_YUV420P;
    vc->gop_size = options.gop;
    vc->max_b_frames = options.b_frames;
    vc->bit_rate = options.bit_rate > 0 ? options.bit_rate : std::int64_t(options.width) * options.height * 14;
    vc->rc_max_rate = 2 * vc->bit_rate;
    vc->rc_buffer_size = 224 * 1024 * 8; // the video buffer verifier's size, in bits
    vc->thread_count = 1;
    vc->flags |= AV_CODEC_FLAG_BITEXACT;
    Check(avcodec_open2(vc, video_codec, nullptr), "opening the video encoder");
    Check(avcodec_parameters_from_context(video.stream->codecpar, vc), "video parameters");
    video.stream->time_base = vc->time_base;

    Output audio;
    audio.done = options.sound == Sound::None;
    if (!audio.done) {
        const AVCodec* audio_codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (!audio_codec)
            Fail("no sound encoder");
        audio.stream = avformat_new_stream(format.get(), nullptr);
        if (!audio.stream)
            Fail("out of memory");
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        audio.codec = OpenSoundEncoder(audio_codec, stereo, 128000);
        if (options.mono_from >= 0) {
            AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
            audio.mono = OpenSoundEncoder(audio_codec, mono, 64000);
        }
        Check(avcodec_parameters_from_context(audio.stream->codecpar, audio.codec.get()), "sound parameters");
        audio.stream->time_base = audio.codec->time_base;
    }

    // A system clock rate well above the streams' own, so that a burst of intra frames in a short
    // clip never runs the decoder model's buffers dry.
    std::int64_t mux_rate = 3 * (vc->bit_rate + (audio.codec ? audio.codec->bit_rate : 0));
    Check(av_opt_set_int(format->priv_data, "muxrate", mux_rate, 0), "setting the mux rate");
    Check(avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE), "creating " + file.string());
    Check(avformat_write_header(format.get(), nullptr), "writing the stream header");

    FramePtr picture(av_frame_alloc());
    FramePtr sound(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!picture || !sound || !packet)
        Fail("out of memory");
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = options.width;
    picture->height = options.height;
    Check(av_frame_get_buffer(picture.get(), 0), "picture buffer");
    std::vector<std::uint8_t> rgb;
    if (options.painter)
        rgb.resize(std::size_t(options.width) * options.height * 3);

    const std::int64_t total_samples = std::int64_t(options.frames) * kSampleRate / options.frames_per_second;
    const std::int64_t mono_sample = std::int64_t(options.mono_from) * kSampleRate / options.frames_per_second;
    while (!video.done || !audio.done) {
        // Feed whichever stream is behind, so that the muxer can interleave them evenly.
        bool video_turn = !video.done
            && (audio.done || av_compare_ts(video.next_pts, vc->time_base, audio.next_pts, audio.codec->time_base) <= 0);
        if (video_turn) {
            if (video.next_pts >= options.frames) {
                Encode(format.get(), vc, video.stream, nullptr, packet.get());
                video.done = true;
                continue;
            }
            Check(av_frame_make_writable(picture.get()), "picture buffer");
            int number = int(video.next_pts);
            if (options.painter) {
                options.painter(number, rgb.data(), options.width, options.height);
                FillYuv(picture.get(), rgb);
            } else {
                PaintNumbered(picture.get(), number);
            }
            picture->pts = video.next_pts++;
            Encode(format.get(), vc, video.stream, picture.get(), packet.get());
            continue;
        }
        if (audio.next_pts >= total_samples) {
            Encode(format.get(), audio.codec.get(), audio.stream, nullptr, packet.get());
            if (audio.mono)
                Encode(format.get(), audio.mono.get(), audio.stream, nullptr, packet.get());
            audio.done = true;
            continue;
        }
        AVCodecContext* encoder = audio.mono && audio.next_pts >= mono_sample ? audio.mono.get() : audio.codec.get();
        av_frame_unref(sound.get());
        sound->format = encoder->sample_fmt;
        sound->sample_rate = encoder->sample_rate;
        Check(av_channel_layout_copy(&sound->ch_layout, &encoder->ch_layout), "channel layout");
        sound->nb_samples = encoder->frame_size;
        Check(av_frame_get_buffer(sound.get(), 0), "sound buffer");
        auto* samples = reinterpret_cast<std::int16_t*>(sound->data[0]);
        const int channels = encoder->ch_layout.nb_channels;
        for (int i = 0; i < sound->nb_samples; ++i) {
            std::int16_t left, right;
            SoundSample(options, audio.next_pts + i, total_samples, left, right);
            samples[channels * i] = left;
            if (channels > 1)
                samples[channels * i + 1] = right;
        }
        sound->pts = audio.next_pts;
        audio.next_pts += sound->nb_samples;
        Encode(format.get(), encoder, audio.stream, sound.get(), packet.get());
    }
    Check(av_write_trailer(format.get()), "finishing the clip");
}

int ClipWriter::ReadFrameNumber(const PixelBuffer& picture)
{
    if (picture.IsEmpty())
        return -1;
    int number = 0;
    int x = picture.Width() / 16;
    for (int band = 0; band < 8; ++band) {
        int y = (2 * band + 1) * picture.Height() / 16;
        Pixel p = picture.At(x, y);
        int gray = (int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF)) / 3;
        if (gray > 180)
            number |= 1 << (7 - band);
        else if (gray >= 75)
            return -1;
    }
    return number;
}
