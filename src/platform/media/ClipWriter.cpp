#include "platform/media/ClipWriter.h"

#include "platform/PixelBuffer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct Encoder {
    AVCodecContext* context { nullptr };
    AVStream* stream { nullptr };
    ~Encoder() { avcodec_free_context(&context); }
};

struct Output {
    AVFormatContext* format { nullptr };
    ~Output()
    {
        if (format && !(format->oformat->flags & AVFMT_NOFILE))
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error("cannot write the clip: " + what);
}

void Send(AVFormatContext* format, Encoder& encoder, AVFrame* frame, AVPacket* packet)
{
    if (avcodec_send_frame(encoder.context, frame) < 0)
        Fail("encoding failed");
    while (avcodec_receive_packet(encoder.context, packet) >= 0) {
        av_packet_rescale_ts(packet, encoder.context->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        if (av_interleaved_write_frame(format, packet) < 0)
            Fail("writing a packet failed");
    }
}

void Picture(AVFrame* frame, int number, int width, int height)
{
    int band_width = std::max(1, width / 8);
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
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* u = frame->data[1] + std::ptrdiff_t(y) * frame->linesize[1];
        std::uint8_t* v = frame->data[2] + std::ptrdiff_t(y) * frame->linesize[2];
        for (int x = 0; x < width / 2; ++x) {
            bool band = x * 2 < band_width;
            u[x] = band ? 128 : std::uint8_t(128 + 60 * std::sin((x + number) * 0.05));
            v[x] = band ? 128 : std::uint8_t(128 + 60 * std::cos((y + number * 2) * 0.04));
        }
    }
}

} // namespace

void ClipWriter::Write(const std::filesystem::path& file, const Options& options)
{
    av_log_set_level(AV_LOG_QUIET); // failures are reported by exception
    bool mpeg2 = options.format == Format::Mpeg2;
    Output output;
    if (avformat_alloc_output_context2(&output.format, nullptr, mpeg2 ? "vob" : "mpeg", file.c_str()) < 0)
        Fail("no muxer");
    AVFormatContext* format = output.format;

    Encoder video;
    const AVCodec* video_codec = avcodec_find_encoder(mpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    if (!video_codec)
        Fail("no video encoder");
    video.stream = avformat_new_stream(format, nullptr);
    video.context = avcodec_alloc_context3(video_codec);
    if (!video.stream || !video.context)
        Fail("out of memory");
    AVCodecContext* vc = video.context;
    vc->width = options.width;
    vc->height = options.height;
    vc->time_base = { 1, options.frames_per_second };
    vc->framerate = { options.frames_per_second, 1 };
    vc->pix_fmt = AV_PIX_FMT_YUV420P;
    vc->gop_size = options.gop;
    vc->max_b_frames = options.b_frames;
    vc->bit_rate = options.bit_rate;
    vc->rc_max_rate = 0;
    vc->thread_count = 1;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        vc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(vc, video_codec, nullptr) < 0)
        Fail("cannot open the video encoder");
    avcodec_parameters_from_context(video.stream->codecpar, vc);
    video.stream->time_base = vc->time_base;

    Encoder audio;
    Encoder mono;
    if (options.sound) {
        const AVCodec* audio_codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (!audio_codec)
            Fail("no sound encoder");
        audio.stream = avformat_new_stream(format, nullptr);
        audio.context = avcodec_alloc_context3(audio_codec);
        if (!audio.stream || !audio.context)
            Fail("out of memory");
        AVCodecContext* ac = audio.context;
        ac->sample_fmt = AV_SAMPLE_FMT_S16;
        ac->sample_rate = 44100;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_copy(&ac->ch_layout, &stereo);
        ac->bit_rate = 128000;
        ac->time_base = { 1, ac->sample_rate };
        if (avcodec_open2(ac, audio_codec, nullptr) < 0)
            Fail("cannot open the sound encoder");
        avcodec_parameters_from_context(audio.stream->codecpar, ac);
        audio.stream->time_base = ac->time_base;
        if (options.mono_from >= 0) {
            mono.stream = audio.stream;
            mono.context = avcodec_alloc_context3(audio_codec);
            if (!mono.context)
                Fail("out of memory");
            mono.context->sample_fmt = AV_SAMPLE_FMT_S16;
            mono.context->sample_rate = 44100;
            AVChannelLayout one = AV_CHANNEL_LAYOUT_MONO;
            av_channel_layout_copy(&mono.context->ch_layout, &one);
            mono.context->bit_rate = 64000;
            mono.context->time_base = ac->time_base;
            if (avcodec_open2(mono.context, audio_codec, nullptr) < 0)
                Fail("cannot open the sound encoder");
        }
    }

    if (!(format->oformat->flags & AVFMT_NOFILE) && avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE) < 0)
        Fail("cannot create " + file.string());
    if (avformat_write_header(format, nullptr) < 0)
        Fail("cannot write the header");

    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> sound(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    if (!frame || !sound || !packet)
        Fail("out of memory");
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = options.width;
    frame->height = options.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        Fail("out of memory");

    std::int64_t samples_written = 0;
    for (int n = 0; n < options.frames; ++n) {
        if (av_frame_make_writable(frame.get()) < 0)
            Fail("out of memory");
        Picture(frame.get(), n, options.width, options.height);
        frame->pts = n;
        Send(format, video, frame.get(), packet.get());
        // Sound up to the end of this picture.
        while (audio.context && samples_written * options.frames_per_second < std::int64_t(n + 1) * 44100) {
            Encoder& sound_encoder = mono.context && n >= options.mono_from ? mono : audio;
            AVCodecContext* ac = sound_encoder.context;
            av_frame_unref(sound.get());
            sound->format = ac->sample_fmt;
            sound->sample_rate = ac->sample_rate;
            av_channel_layout_copy(&sound->ch_layout, &ac->ch_layout);
            sound->nb_samples = ac->frame_size;
            if (av_frame_get_buffer(sound.get(), 0) < 0)
                Fail("out of memory");
            auto* samples = reinterpret_cast<std::int16_t*>(sound->data[0]);
            int channels = ac->ch_layout.nb_channels;
            for (int i = 0; i < ac->frame_size; ++i) {
                double t = double(samples_written + i) / ac->sample_rate;
                auto value = std::int16_t(8000 * std::sin(2 * M_PI * 440 * t));
                for (int c = 0; c < channels; ++c)
                    samples[channels * i + c] = value;
            }
            sound->pts = samples_written;
            samples_written += ac->frame_size;
            Send(format, sound_encoder, sound.get(), packet.get());
        }
    }
    Send(format, video, nullptr, packet.get());
    if (audio.context)
        Send(format, audio, nullptr, packet.get());
    if (mono.context)
        Send(format, mono, nullptr, packet.get());
    if (av_write_trailer(format) < 0)
        Fail("cannot finish the file");
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
