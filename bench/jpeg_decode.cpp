// JPEG, file bytes to a bitmap ready for the viewer, against a bare libjpeg-turbo decode of the
// same bytes to the same pixel layout (blue-green-red rows padded to 4 bytes).

#include "../tests/imaging/JpegSupport.h"
#include "framework/TBitmap.h"
#include "framework/TStream.h"
#include "imaging/TJPEGImage.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

const std::vector<std::uint8_t>& Photo()
{
    static const auto bytes = jpegtest::Encode(768, 514, 3, false, 85);
    return bytes;
}

const std::vector<std::uint8_t>& LargePhoto()
{
    static const auto bytes = jpegtest::Encode(2048, 1536, 3, false, 90);
    return bytes;
}

void Bare(benchmark::State& state, const std::vector<std::uint8_t>& (*input)())
{
    const auto& bytes = input();
    for (auto _ : state) {
        int w = 0, h = 0;
        auto pixels = jpegtest::DecodeBgr(bytes, w, h);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// What the viewer does through the picture container: load the file's bytes, decode at first draw.
void Ours(benchmark::State& state, const std::vector<std::uint8_t>& (*input)())
{
    const auto& bytes = input();
    for (auto _ : state) {
        TSpanStream stream(bytes);
        TJPEGImage image;
        image.LoadFromStream(stream);
        benchmark::DoNotOptimize(image.Bitmap().ScanLine(0));
    }
}

// What the photo browser does: decode and move the pixels into a bitmap of its own.
void OursPhotoPath(benchmark::State& state, const std::vector<std::uint8_t>& (*input)())
{
    const auto& bytes = input();
    for (auto _ : state) {
        TSpanStream stream(bytes);
        TJPEGImage image;
        image.LoadFromStream(stream);
        TBitmap bitmap(std::move(image.Bitmap()));
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}

BENCHMARK_CAPTURE(Bare, Photo768x514, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, Photo768x514, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursPhotoPath, Photo768x514, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Bare, Photo2048x1536, LargePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, Photo2048x1536, LargePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursPhotoPath, Photo2048x1536, LargePhoto)->Unit(benchmark::kMillisecond);


} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nour CPU time / bare libjpeg-turbo CPU time (target at most 1.10):\n");
    for (const char* name : { "Photo768x514", "Photo2048x1536" }) {
        auto bare = reporter.times.find(std::string("Bare/") + name);
        for (const char* ours : { "Ours/", "OursPhotoPath/" }) {
            auto mine = reporter.times.find(std::string(ours) + name);
            if (bare != reporter.times.end() && mine != reporter.times.end())
                std::printf("  %-16s %-15s %.3f\n", name, ours, mine->second / bare->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
