#include "ClipWriter.h"

#include "DiscError.h"

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

std::string ErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void Check(int result, const char* what)
{
    if (result < 0)
        throw EDiscError(std::string(what) + ": " + ErrorText(result));
}

struct FormatDeleter {
    void operator()(AVFormatContext* f) const
    {
        if (f->pb)
            avio_closep(&f->pb);
        avformat_free_context(f);
    }
};
struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

struct Output {
    AVStream* stream { nullptr };
    CodecPtr codec;
    std::int64_t next_pts { 0 };
    bool done { false };
};

// Sends one frame (or the end, for nullptr) and writes every packet the encoder hands back.
void Encode(AVFormatContext* format, Output& out, AVFrame* frame, AVPacket* packet)
{
    Check(avcodec_send_frame(out.codec.get(), frame), "sending a frame to the encoder");
    for (;;) {
        int result = avcodec_receive_packet(out.codec.get(), packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        Check(result, "encoding");
        av_packet_rescale_ts(packet, out.codec->time_base, out.stream->time_base);
        packet->stream_index = out.stream->index;
        Check(av_interleaved_write_frame(format, packet), "writing a packet");
    }
}

void FillYuv(AVFrame* frame, const RgbImage& image)
{
    // BT.601, studio range, as MPEG-1 expects.
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y);
        std::uint8_t* luma = frame->data[0] + y * frame->linesize[0];
        for (int x = 0; x < image.Width(); ++x) {
            float r = row[x * 3], g = row[x * 3 + 1], b = row[x * 3 + 2];
            luma[x] = RgbImage::ToByte(16 + 0.257f * r + 0.504f * g + 0.098f * b);
        }
    }
    for (int y = 0; y < image.Height() / 2; ++y) {
        std::uint8_t* cb = frame->data[1] + y * frame->linesize[1];
        std::uint8_t* cr = frame->data[2] + y * frame->linesize[2];
        for (int x = 0; x < image.Width() / 2; ++x) {
            float r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy) {
                const std::uint8_t* p = image.Row(2 * y + dy) + 2 * x * 3;
                r += p[0] + p[3];
                g += p[1] + p[4];
                b += p[2] + p[5];
            }
            r /= 4;
            g /= 4;
            b /= 4;
            cb[x] = RgbImage::ToByte(128 - 0.148f * r - 0.291f * g + 0.439f * b);
            cr[x] = RgbImage::ToByte(128 + 0.439f * r - 0.368f * g - 0.071f * b);
        }
    }
}

} // namespace

void WriteClip(const std::filesystem::path& path, const ClipSettings& settings, const FramePainter& paint)
{
    AVFormatContext* raw_format = nullptr;
    Check(avformat_alloc_output_context2(&raw_format, nullptr, "mpeg", path.c_str()), "creating the MPEG muxer");
    std::unique_ptr<AVFormatContext, FormatDeleter> format(raw_format);
    format->flags |= AVFMT_FLAG_BITEXACT;
    // Let the system stream run packets up to 0.7 s ahead, as FFmpeg's own tools do; with none the
    // muxer's buffer model underflows on the audio.
    format->max_delay = int(0.7 * AV_TIME_BASE);

    Output video, audio;
    {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
        if (!codec)
            throw EDiscError("FFmpeg has no MPEG-1 video encoder");
        video.stream = avformat_new_stream(format.get(), nullptr);
        video.codec.reset(avcodec_alloc_context3(codec));
        if (!video.stream || !video.codec)
            throw EDiscError("out of memory for the video stream");
        AVCodecContext* c = video.codec.get();
        c->width = settings.width;
        c->height = settings.height;
        c->time_base = { 1, 25 };
        c->framerate = { 25, 1 };
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->bit_rate = std::int64_t(settings.width) * settings.height * 14; // about 1.4 Mbit/s at 352 x 288
        c->rc_max_rate = 2 * c->bit_rate;
        c->rc_buffer_size = 224 * 1024 * 8; // the video buffer verifier's size, in bits
        c->gop_size = 12;
        c->max_b_frames = 2;
        c->thread_count = 1;
        c->flags |= AV_CODEC_FLAG_BITEXACT;
        Check(avcodec_open2(c, codec, nullptr), "opening the MPEG-1 encoder");
        Check(avcodec_parameters_from_context(video.stream->codecpar, c), "video parameters");
        video.stream->time_base = c->time_base;
    }
    {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (!codec)
            throw EDiscError("FFmpeg has no MP2 encoder");
        audio.stream = avformat_new_stream(format.get(), nullptr);
        audio.codec.reset(avcodec_alloc_context3(codec));
        if (!audio.stream || !audio.codec)
            throw EDiscError("out of memory for the audio stream");
        AVCodecContext* c = audio.codec.get();
        c->sample_fmt = AV_SAMPLE_FMT_S16;
        c->sample_rate = 44100;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        Check(av_channel_layout_copy(&c->ch_layout, &stereo), "channel layout");
        c->bit_rate = 128000;
        c->time_base = { 1, 44100 };
        c->thread_count = 1;
        c->flags |= AV_CODEC_FLAG_BITEXACT;
        Check(avcodec_open2(c, codec, nullptr), "opening the MP2 encoder");
        Check(avcodec_parameters_from_context(audio.stream->codecpar, c), "audio parameters");
        audio.stream->time_base = c->time_base;
    }

    // A system clock rate well above the streams' own, so that a burst of intra frames in a short
    // clip never runs the decoder model's buffers dry.
    Check(av_opt_set_int(format->priv_data, "muxrate", 3 * (video.codec->bit_rate + audio.codec->bit_rate), 0),
        "setting the mux rate");
    Check(avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE), ("creating " + path.string()).c_str());
    Check(avformat_write_header(format.get(), nullptr), "writing the stream header");

    FramePtr picture(av_frame_alloc());
    FramePtr sound(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!picture || !sound || !packet)
        throw EDiscError("out of memory for the clip's frames");
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = settings.width;
    picture->height = settings.height;
    Check(av_frame_get_buffer(picture.get(), 0), "picture buffer");
    sound->format = AV_SAMPLE_FMT_S16;
    sound->sample_rate = 44100;
    sound->nb_samples = audio.codec->frame_size;
    Check(av_channel_layout_copy(&sound->ch_layout, &audio.codec->ch_layout), "channel layout");
    Check(av_frame_get_buffer(sound.get(), 0), "sound buffer");

    RgbImage image(settings.width, settings.height);
    const std::int64_t total_samples = std::int64_t(settings.frames) * 44100 / 25;
    while (!video.done || !audio.done) {
        // Feed whichever stream is behind, so the muxer can interleave them evenly.
        bool video_turn = !video.done
            && (audio.done || av_compare_ts(video.next_pts, video.codec->time_base, audio.next_pts, audio.codec->time_base) <= 0);
        if (video_turn) {
            if (video.next_pts >= settings.frames) {
                Encode(format.get(), video, nullptr, packet.get());
                video.done = true;
                continue;
            }
            Check(av_frame_make_writable(picture.get()), "picture buffer");
            paint(int(video.next_pts), image);
            FillYuv(picture.get(), image);
            picture->pts = video.next_pts++;
            Encode(format.get(), video, picture.get(), packet.get());
        } else {
            if (audio.next_pts >= total_samples) {
                Encode(format.get(), audio, nullptr, packet.get());
                audio.done = true;
                continue;
            }
            Check(av_frame_make_writable(sound.get()), "sound buffer");
            auto* samples = reinterpret_cast<std::int16_t*>(sound->data[0]);
            for (int i = 0; i < sound->nb_samples; ++i) {
                std::int64_t n = audio.next_pts + i;
                double t = double(n) / 44100;
                double seconds = double(total_samples) / 44100;
                // A root, a fifth and an octave, fading in and out, slightly detuned per side.
                double envelope = std::min({ 1.0, t / 0.3, std::max(0.0, (seconds - t) / 0.5) });
                double f = settings.tone_hz;
                double left = std::sin(2 * M_PI * f * t) + 0.5 * std::sin(2 * M_PI * f * 1.5 * t) + 0.25 * std::sin(2 * M_PI * f * 2 * t);
                double right = std::sin(2 * M_PI * f * 1.003 * t) + 0.5 * std::sin(2 * M_PI * f * 1.5 * t + 0.7) + 0.25 * std::sin(2 * M_PI * f * 2.01 * t);
                double wobble = 0.8 + 0.2 * std::sin(2 * M_PI * 0.5 * t);
                samples[2 * i] = std::int16_t(6000 * envelope * wobble * left);
                samples[2 * i + 1] = std::int16_t(6000 * envelope * wobble * right);
            }
            sound->pts = audio.next_pts;
            audio.next_pts += sound->nb_samples;
            Encode(format.get(), audio, sound.get(), packet.get());
        }
    }
    Check(av_write_trailer(format.get()), "finishing the clip");
}
