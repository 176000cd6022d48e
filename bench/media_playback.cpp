// Playing a 10-second 352 x 288 clip into the 768 x 514 display on the headless backend, against a
// plain decode and scale of the same clip with FFmpeg's libraries in the same run.
//
// A player decodes and scales one picture every 40 ms and sleeps in between, so it always starts on
// cold caches; a loop that decodes the whole clip flat out keeps them warm and costs about a quarter
// less per picture on the same machine. The like-for-like peer is therefore the plain loop paced at
// the clip's rate (each picture decoded, then scaled when its time comes); the flat-out loop is
// reported beside it.
//
// Counters: cpu_per_video_s is process CPU seconds per second of video; ratio is the player's
// figure over the paced plain one, ratio_flat_out over the flat-out one (video and sound decoded in
// all); late, dropped and skipped count pictures shown more than 20 ms after their time, pictures
// skipped by the device to catch up, and pictures replaced before the GUI thread could paint them.

#include "framework/TAnimate.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "media/TMediaPlayer.h"
#include "platform/HeadlessBackend.h"
#include "ClipWriter.h"
#include "platform/media/MciDevices.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kVideoSeconds = 10.0;

double CpuSeconds(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID)
{
    timespec ts {};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        auto made = std::filesystem::temp_directory_path() / ("velmar-bench-media-" + std::to_string(getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return folder;
}

const std::string& ClipPath(bool sound)
{
    const std::filesystem::path& folder = Folder();
    static std::string paths[2];
    std::string& path = paths[sound ? 1 : 0];
    if (path.empty()) {
        path = (folder / (sound ? "clip-sound.mpg" : "clip-silent.mpg")).string();
        ClipWriter::Options options;
        options.format = ClipWriter::Format::Mpeg1;
        options.frames = 250;
        options.sound = sound ? ClipWriter::Sound::Tone : ClipWriter::Sound::None;
        options.bit_rate = 1500000;
        ClipWriter::Write(path, options);
    }
    return path;
}

enum class Pace { FlatOut, ClipRate };

// Decodes every picture (and, when asked, the sound) and scales each picture to the display's size,
// as directly as the libraries allow; paced, each picture is scaled when its time comes. Returns the
// number of pictures.
int PlainDecodeAndScale(const std::string& file, bool decode_sound, Pace pace = Pace::FlatOut)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open the clip");
    avformat_find_stream_info(format, nullptr);
    int video_index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int audio_index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, video_index, nullptr, 0);
    auto open_decoder = [&](int index) -> AVCodecContext* {
        if (index < 0)
            return nullptr;
        const AVCodec* codec = avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
        AVCodecContext* context = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(context, format->streams[index]->codecpar);
        context->thread_count = 1;
        avcodec_open2(context, codec, nullptr);
        return context;
    };
    AVCodecContext* video = open_decoder(video_index);
    AVCodecContext* audio = decode_sound ? open_decoder(audio_index) : nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    std::vector<std::uint32_t> out(768 * 514);
    int pictures = 0;
    const AVStream* stream = format->streams[video_index];
    double picture_seconds = av_q2d(av_inv_q(stream->avg_frame_rate.num ? stream->avg_frame_rate : stream->r_frame_rate));
    auto start = std::chrono::steady_clock::now();
    auto drain_video = [&] {
        while (avcodec_receive_frame(video, frame) >= 0) {
            if (pace == Pace::ClipRate)
                std::this_thread::sleep_until(start + std::chrono::duration<double>(pictures * picture_seconds));
            sws = sws_getCachedContext(sws, frame->width, frame->height, AVPixelFormat(frame->format), 768, 514,
                AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            std::uint8_t* planes[4] = { reinterpret_cast<std::uint8_t*>(out.data()), nullptr, nullptr, nullptr };
            int strides[4] = { 768 * 4, 0, 0, 0 };
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
            benchmark::DoNotOptimize(out.data());
            ++pictures;
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == video_index) {
            avcodec_send_packet(video, packet);
            drain_video();
        } else if (audio && packet->stream_index == audio_index) {
            avcodec_send_packet(audio, packet);
            while (avcodec_receive_frame(audio, frame) >= 0)
                benchmark::DoNotOptimize(frame->data[0]);
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(video, nullptr);
    drain_video();
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    avformat_close_input(&format);
    return pictures;
}

struct PlaybackFigures {
    double cpu_seconds { 0 };
    double wall_seconds { 0 };
    MciPlaybackStats stats;
    int received { 0 };
    int skipped { 0 };
    bool ended { false };
};

// The program's path: player, device, display control, message loop, headless painting.
PlaybackFigures PlayThroughPlayer(const std::string& file)
{
    PlaybackFigures figures;
    auto owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* backend = owned.get();
    auto app = std::make_unique<TApplication>(std::move(owned), "velmar");
    auto created = std::make_unique<TForm>(app.get());
    TForm* form = created.get();
    form->SetBounds(0, 0, 1024, 738);
    app->Adopt(std::move(created));
    form->CreateWindow(*backend);
    auto* video = form->Create<TAnimate>("Video");
    video->SetParent(form);
    video->SetBounds(226, 60, 768, 514);
    auto* player = form->Create<TMediaPlayer>("MediaPlayer");
    player->SetParent(form);
    player->SetVisible(false);
    player->SetDisplay(video);
    bool ended = false;
    player->OnNotify = [&](TObject*) { ended = true; };
    player->SetFileName(file);
    player->Open();
    player->SetDisplayArea(video->ClientRect());
    app->ProcessMessages();

    double cpu_start = CpuSeconds();
    auto wall_start = std::chrono::steady_clock::now();
    player->Play();
    for (int guard = 0; !ended && guard < 1000; ++guard)
        app->RunFor(50);
    figures.cpu_seconds = CpuSeconds() - cpu_start;
    figures.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    figures.ended = ended && player->LastNotice() == noticeSuccessful;
    MciGetPlaybackStats(player->DeviceID(), figures.stats);
    figures.received = video->PicturesReceived();
    figures.skipped = video->PicturesSkipped();
    player->Close();
    return figures;
}

void PlaybackAgainstPlainDecode(benchmark::State& state, bool sound)
{
    const std::string& file = ClipPath(sound);
    for (auto _ : state) {
        double start = CpuSeconds();
        int pictures = PlainDecodeAndScale(file, true, Pace::ClipRate);
        double plain = CpuSeconds() - start;
        start = CpuSeconds();
        PlainDecodeAndScale(file, true, Pace::FlatOut);
        double plain_flat_out = CpuSeconds() - start;
        PlaybackFigures played = PlayThroughPlayer(file);
        // The work must have happened: every picture decoded by the peer, the clip played to its
        // end, and (nearly) every picture handed to the display.
        if (!played.ended || pictures != 250)
            state.SkipWithError("the clip did not play to its end");
        else if (played.stats.frames_shown < 240 || played.received < 200)
            state.SkipWithError("the display was not given the clip's pictures");
        state.counters["plain_cpu_per_video_s"] = plain / kVideoSeconds;
        state.counters["plain_flat_out_cpu_per_video_s"] = plain_flat_out / kVideoSeconds;
        state.counters["player_cpu_per_video_s"] = played.cpu_seconds / kVideoSeconds;
        state.counters["ratio"] = played.cpu_seconds / plain;
        state.counters["ratio_flat_out"] = played.cpu_seconds / plain_flat_out;
        state.counters["wall_s"] = played.wall_seconds;
        state.counters["shown"] = played.stats.frames_shown;
        state.counters["late"] = played.stats.frames_late;
        state.counters["dropped"] = played.stats.frames_dropped;
        state.counters["early"] = played.stats.frames_early;
        state.counters["gui_skipped"] = played.skipped;
        state.counters["max_late_ms"] = played.stats.max_late_ms;
        state.counters["max_av_ms"] = played.stats.max_av_offset_ms;
    }
}

void BM_PlayerVersusPlainDecode(benchmark::State& state)
{
    PlaybackAgainstPlainDecode(state, state.range(0) != 0);
}
BENCHMARK(BM_PlayerVersusPlainDecode)->Arg(1)->Arg(0)->ArgName("sound")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlainDecodeAndScale(benchmark::State& state)
{
    const std::string& file = ClipPath(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainDecodeAndScale(file, true));
}
BENCHMARK(BM_PlainDecodeAndScale)->Unit(benchmark::kMillisecond);

// The same scaling of one 352 x 288 picture into the display's size, back to back or after the
// thread has slept for a picture's time (argument: milliseconds asleep before each scaling). Shows
// what a paced player pays for starting each picture on cold caches.
void BM_ScaleAfterIdle(benchmark::State& state)
{
    AVFrame* picture = av_frame_alloc();
    picture->width = 352;
    picture->height = 288;
    picture->format = AV_PIX_FMT_YUV420P;
    av_frame_get_buffer(picture, 32);
    for (int plane = 0; plane < 3; ++plane) {
        int rows = plane ? 144 : 288;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < picture->linesize[plane]; ++x)
                picture->data[plane][y * picture->linesize[plane] + x] = std::uint8_t(x * 7 + y * 3 + plane);
    }
    SwsContext* sws = sws_getContext(352, 288, AV_PIX_FMT_YUV420P, 768, 514, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    std::vector<std::uint32_t> out(768 * 514);
    std::uint8_t* planes[4] = { reinterpret_cast<std::uint8_t*>(out.data()), nullptr, nullptr, nullptr };
    int strides[4] = { 768 * 4, 0, 0, 0 };
    const auto idle = std::chrono::milliseconds(state.range(0));
    for (auto _ : state) {
        if (idle.count())
            std::this_thread::sleep_for(idle);
        double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        sws_scale(sws, picture->data, picture->linesize, 0, 288, planes, strides);
        benchmark::DoNotOptimize(out.data());
        state.SetIterationTime(CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start);
    }
    sws_freeContext(sws);
    av_frame_free(&picture);
}
BENCHMARK(BM_ScaleAfterIdle)->Arg(0)->Arg(40)->ArgName("idle_ms")->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return 0;
}
