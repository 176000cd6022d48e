// GIF decoding, file bytes to every frame's pixels: ours against giflib's DGifSlurp on the same
// bytes. Prints the ratio giflib CPU time / our CPU time per picture after the run.

#include "../tests/imaging/GifReference.h"
#include "../tests/imaging/GifWriter.h"
#include "imaging/TGIFImage.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

const std::vector<std::uint8_t>& Noisy()
{
    static const auto bytes = gifref::Encode(768, 514, giftest::Noise(768, 514, 256, 3), giftest::Palette(256), false);
    return bytes;
}

const std::vector<std::uint8_t>& LineDrawing()
{
    static const auto bytes = gifref::Encode(768, 514, giftest::Drawing(768, 514, 16, 3), giftest::Palette(16), false);
    return bytes;
}

const std::vector<std::uint8_t>& Animation()
{
    static const auto bytes = [] {
        giftest::File file;
        file.width = 320;
        file.height = 240;
        file.global_colors = giftest::Palette(64);
        file.loops = 0;
        for (int i = 0; i < 40; ++i) {
            giftest::Frame f;
            f.width = 320;
            f.height = 240;
            f.pixels = giftest::Drawing(320, 240, 64, unsigned(i * 13));
            f.control = true;
            f.delay = 10;
            f.disposal = 1;
            file.frames.push_back(f);
        }
        return giftest::Write(file);
    }();
    return bytes;
}

void Ours(benchmark::State& state, const std::vector<std::uint8_t>& (*input)())
{
    const auto& bytes = input();
    for (auto _ : state) {
        TGIFImage image;
        image.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(image.Frame(image.FrameCount() - 1).Data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes.size()));
}

void Giflib(benchmark::State& state, const std::vector<std::uint8_t>& (*input)())
{
    const auto& bytes = input();
    for (auto _ : state) {
        gifref::MemoryInput in {};
        auto gif = gifref::Slurp(bytes, in);
        if (!gif)
            state.SkipWithError("giflib rejected the file");
        benchmark::DoNotOptimize(gif.get());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes.size()));
}

BENCHMARK_CAPTURE(Ours, Noisy768x514, Noisy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Giflib, Noisy768x514, Noisy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, LineDrawing16, LineDrawing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Giflib, LineDrawing16, LineDrawing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, Animation40Frames, Animation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Giflib, Animation40Frames, Animation)->Unit(benchmark::kMillisecond);


} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nspeed-up over giflib (giflib CPU time / our CPU time):\n");
    for (const char* name : { "Noisy768x514", "LineDrawing16", "Animation40Frames" }) {
        auto ours = reporter.times.find(std::string("Ours/") + name);
        auto theirs = reporter.times.find(std::string("Giflib/") + name);
        if (ours != reporter.times.end() && theirs != reporter.times.end())
            std::printf("  %-20s %.2fx\n", name, theirs->second / ours->second);
    }
    benchmark::Shutdown();
    return 0;
}
