// A double click on a clip in the Video list to its first picture in the display, for a one-hour
// 160 x 120 MPEG-1 clip (about 120 MB) and, in the same run, for a 4-second clip of the same kind
// and for a plain FFmpeg open, first decode and scale of the long clip. Meanwhile a ticker thread
// posts to the GUI thread every millisecond; the longest any tick waits to be handled, from the
// double click to 200 ms after the first picture, is the longest gap in the window's answering.
//
// Counters: open_ms (median over the opens), gap_ms (median of each open's longest wait),
// handler_ms (how long the double click's own handling kept the GUI thread), step_ms (a click on
// Forward right after the first picture, while the device still counts the pictures), their maxima, the
// same for the short clip, plain_ms, and ratio_to_short, ratio_to_plain (medians over medians). A
// wait includes the time the system gives other processes; on a busy machine it is longer than any
// handling. The clips and a small sample disc are written once into the build tree.
#include "ClipWriter.h"
#include "Harness.h"
#include "media/TMediaPlayer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kOpens = 15;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

const fs::path& Folder()
{
    static const fs::path folder = fs::path(VELMAR_BINARY_DIR) / "bench-media-open";
    return folder;
}

// The clip of the given length, written once (the hour takes a minute or two).
fs::path Clip(int seconds)
{
    fs::path file = Folder() / ("clip-" + std::to_string(seconds) + "s.mpg");
    if (!fs::exists(file)) {
        ClipWriter::Options options;
        options.width = 160;
        options.height = 120;
        options.frames = seconds * 25;
        options.gop = 12;
        options.b_frames = 2;
        options.bit_rate = 140000;
        fs::path partial = file;
        partial += ".partial";
        ClipWriter::Write(partial, options);
        fs::rename(partial, file);
    }
    return file;
}

fs::path SampleDisc()
{
    fs::path disc = Folder() / "disc";
    if (!fs::exists(disc / "db")) {
        std::string command = std::string(VELMAR_BINARY_DIR) + "/bin/velmar-mkdisc '" + disc.string() + "' --small > /dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("velmar-mkdisc failed");
    }
    return disc;
}

// A disc like the sample one whose first clip is `clip`.
fs::path DiscWith(const fs::path& clip)
{
    fs::path disc = Folder() / ("disc-" + clip.stem().string());
    fs::remove_all(disc);
    fs::create_directories(disc / "Video");
    for (const auto& entry : fs::directory_iterator(SampleDisc())) {
        if (entry.path().filename() != "Video")
            fs::create_directory_symlink(entry.path(), disc / entry.path().filename());
    }
    fs::create_symlink(clip, disc / "Video" / "2005B.mpg");
    return disc;
}

struct Figures {
    std::vector<double> open_ms;
    std::vector<double> gap_ms;
    std::vector<double> handler_ms; // the double click's own handling on the GUI thread
    std::vector<double> step_ms;    // a forward step right after the first picture, while the
                                    // device still counts the pictures
};

// Double clicks on the first entry, each time to the first picture in the display at its full
// size, then stops the clip. False when a picture did not come.
bool OpenRepeatedly(const fs::path& clip, Figures& figures)
{
    fs::path start = fs::current_path();
    bool shown = true;
    {
        Harness harness(DiscWith(clip).string());
        TVelmarForm& form = harness.Form();
        TApplication& app = harness.App();
        harness.Click(694, 87); // the Video tab
        Point list = form.VideoListBox->ListBox().WindowOrigin();
        Point entry { list.x + 20, list.y + form.VideoListBox->ItemHeight() / 2 };

        // Each tick notes how long it waited for the GUI thread.
        std::mutex lock;
        std::vector<double> waits;
        std::atomic<bool> ticking { true };
        std::thread ticker([&] {
            while (ticking) {
                Clock::time_point posted = Clock::now();
                app.Post([&, posted] {
                    std::lock_guard guard(lock);
                    waits.push_back(Ms(Clock::now() - posted));
                });
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        for (int i = 0; i < kOpens && shown; ++i) {
            harness.Wait(50);
            int received = form.Video->PicturesReceived();
            {
                std::lock_guard guard(lock);
                waits.clear();
            }
            auto clicked = Clock::now();
            harness.DoubleClick(entry.x, entry.y);
            figures.handler_ms.push_back(Ms(Clock::now() - clicked));
            shown = harness.WaitUntil([&] {
                const MciFramePtr& picture = form.Video->Picture();
                return form.Video->PicturesReceived() > received && picture && picture->width == 768;
            }, 10000);
            auto first_picture = Clock::now();
            int step = form.MediaPlayer->StepFrames();
            Point forward = form.ImageForward->WindowOrigin();
            auto stepping = Clock::now();
            harness.Click(forward.x + form.ImageForward->Width() / 2, forward.y + form.ImageForward->Height() / 2);
            figures.step_ms.push_back(Ms(Clock::now() - stepping));
            shown = shown && form.MediaPlayer->Position() >= step;
            harness.Wait(200); // the window keeps answering while the clip plays on
            shown = shown && form.MediaPlayer->Mode() == dmPlaying && form.MediaPlayer->Position() > step;
            figures.open_ms.push_back(Ms(first_picture - clicked));
            double longest = 0;
            {
                std::lock_guard guard(lock);
                for (double wait : waits)
                    longest = std::max(longest, wait);
            }
            figures.gap_ms.push_back(longest);
            Point stop = form.ImageStop->WindowOrigin();
            harness.Click(stop.x + form.ImageStop->Width() / 2, stop.y + form.ImageStop->Height() / 2);
        }
        ticking = false;
        ticker.join();
        app.ProcessMessages();
        if (!harness.Backend().TakeErrorBoxes().empty())
            shown = false;
    }
    fs::current_path(start);
    return shown;
}

// FFmpeg's own open, stream search, first picture decoded and scaled to the display's size.
double PlainOpenToFirstPicture(const fs::path& clip)
{
    auto start = Clock::now();
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, clip.c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open the clip");
    avformat_find_stream_info(format, nullptr);
    int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* codec = avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
    AVCodecContext* video = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(video, format->streams[index]->codecpar);
    video->thread_count = 1;
    avcodec_open2(video, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool got = false;
    while (!got && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(video, packet) >= 0)
            got = avcodec_receive_frame(video, frame) >= 0;
        av_packet_unref(packet);
    }
    if (!got)
        throw std::runtime_error("no picture");
    std::vector<std::uint32_t> out(768 * 514);
    SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), 768, 514,
        AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    std::uint8_t* planes[4] = { reinterpret_cast<std::uint8_t*>(out.data()), nullptr, nullptr, nullptr };
    int strides[4] = { 768 * 4, 0, 0, 0 };
    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
    benchmark::DoNotOptimize(out.data());
    double took = Ms(Clock::now() - start);
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&video);
    avformat_close_input(&format);
    return took;
}

void BM_DoubleClickToFirstPicture(benchmark::State& state)
{
    fs::create_directories(Folder());
    fs::path hour = Clip(3600);
    fs::path short_clip = Clip(4);
    for (auto _ : state) {
        Figures long_figures, short_figures;
        if (!OpenRepeatedly(hour, long_figures) || !OpenRepeatedly(short_clip, short_figures)) {
            state.SkipWithError("a clip did not show its first picture and play on");
            return;
        }
        std::vector<double> plain;
        for (int i = 0; i < kOpens; ++i)
            plain.push_back(PlainOpenToFirstPicture(hour));
        double open = Median(long_figures.open_ms);
        state.counters["open_ms"] = open;
        state.counters["open_ms_max"] = *std::max_element(long_figures.open_ms.begin(), long_figures.open_ms.end());
        state.counters["gap_ms"] = Median(long_figures.gap_ms);
        state.counters["gap_ms_max"] = *std::max_element(long_figures.gap_ms.begin(), long_figures.gap_ms.end());
        state.counters["handler_ms"] = Median(long_figures.handler_ms);
        state.counters["handler_ms_max"] = *std::max_element(long_figures.handler_ms.begin(), long_figures.handler_ms.end());
        state.counters["step_ms"] = Median(long_figures.step_ms);
        state.counters["step_ms_max"] = *std::max_element(long_figures.step_ms.begin(), long_figures.step_ms.end());
        state.counters["short_open_ms"] = Median(short_figures.open_ms);
        state.counters["short_gap_ms_max"] = *std::max_element(short_figures.gap_ms.begin(), short_figures.gap_ms.end());
        state.counters["plain_ms"] = Median(plain);
        state.counters["ratio_to_short"] = open / Median(short_figures.open_ms);
        state.counters["ratio_to_plain"] = open / Median(plain);
        state.counters["clip_mb"] = double(fs::file_size(hour)) / 1e6;
    }
}
BENCHMARK(BM_DoubleClickToFirstPicture)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
