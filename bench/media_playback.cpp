// Playing a 10-second 352 x 288 clip into the 768 x 514 display on the headless backend, against a
// plain decode and scale of the same clip with FFmpeg's libraries in the same run.
//
// Counters: cpu_per_video_s is process CPU seconds per second of video; ratio is the player's
// figure over the plain one (video and sound decoded in both); late, dropped and skipped count
// pictures shown more than 20 ms after their time, pictures skipped by the device to catch up, and
// pictures replaced before the GUI thread could paint them.

#include "framework/TAnimate.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "media/TMediaPlayer.h"
#include "platform/HeadlessBackend.h"
#include "platform/media/ClipWriter.h"
#include "platform/media/Mci.h"

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
#include <unistd.h>
#include <vector>

namespace {

constexpr double kVideoSeconds = 10.0;

double ProcessCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
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
        options.sound = sound;
        ClipWriter::Write(path, options);
    }
    return path;
}

// Decodes every picture (and, when asked, the sound) and scales each picture to the display's size,
// as directly as the libraries allow. Returns the number of pictures.
int PlainDecodeAndScale(const std::string& file, bool decode_sound)
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
    auto drain_video = [&] {
        while (avcodec_receive_frame(video, frame) >= 0) {
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

    double cpu_start = ProcessCpuSeconds();
    auto wall_start = std::chrono::steady_clock::now();
    player->Play();
    for (int guard = 0; !ended && guard < 1000; ++guard)
        app->RunFor(50);
    figures.cpu_seconds = ProcessCpuSeconds() - cpu_start;
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
        double start = ProcessCpuSeconds();
        int pictures = PlainDecodeAndScale(file, true);
        double plain = ProcessCpuSeconds() - start;
        start = ProcessCpuSeconds();
        PlainDecodeAndScale(file, false);
        double plain_video_only = ProcessCpuSeconds() - start;
        PlaybackFigures played = PlayThroughPlayer(file);
        if (!played.ended || pictures != 250)
            state.SkipWithError("the clip did not play to its end");
        state.counters["plain_cpu_per_video_s"] = plain / kVideoSeconds;
        state.counters["plain_video_only_cpu_per_video_s"] = plain_video_only / kVideoSeconds;
        state.counters["player_cpu_per_video_s"] = played.cpu_seconds / kVideoSeconds;
        state.counters["ratio"] = played.cpu_seconds / plain;
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
