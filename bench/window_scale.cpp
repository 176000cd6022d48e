// One full repaint of the main window presented on a screen at scale 1, 1.25, 1.5, 2 and 3: the
// window paints in its own pixels and the backend scales the picture into the screen picture, as
// the SDL backend does into its texture. Two scenes: the window on an empty disc (the cheapest
// paint, where the presentation weighs most) and the Photo section of the default sample disc with
// a place's photograph open (VELMAR_DISC; skipped without it).
//
// After timing, the screen picture is checked against the window's own picture; a benchmark whose
// presentation went wrong fails instead of reporting a time. The ratio of scale 2 to scale 1 is
// printed at the end (target at most 2.5).
#include "RatioReporter.h"

#include "framework/TApplication.h"
#include "imaging/ImageFormats.h"
#include "platform/HeadlessBackend.h"
#include "shell/TVelmarForm.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void Click(TApplication& application, HeadlessBackend& backend, int x, int y)
{
    backend.Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
    backend.Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
    application.RunFor(20);
}

void Key(TApplication& application, HeadlessBackend& backend, int key)
{
    backend.Inject({ .type = WindowEvent::Type::KeyDown, .key = key });
    backend.Inject({ .type = WindowEvent::Type::KeyUp, .key = key });
    application.RunFor(20);
}

// Whether the screen picture is the window's picture at the backend's scale: every pixel for a
// whole factor, and for a fractional one every screen pixel whose window pixel sits in a flat
// 3 x 3 patch (where the filter has only that colour to mix).
std::string CheckPresented(const HeadlessBackend& backend)
{
    const WindowScale& scale = backend.Scale();
    const PixelBuffer& window = const_cast<HeadlessBackend&>(backend).Surface();
    const PixelBuffer& screen = backend.Presented();
    if (screen.Width() != scale.Device().width || screen.Height() != scale.Device().height)
        return "the screen picture is " + std::to_string(screen.Width()) + " x " + std::to_string(screen.Height());
    long checked = 0;
    for (int y = 0; y < screen.Height(); ++y) {
        for (int x = 0; x < screen.Width(); ++x) {
            Point p = scale.ToWindow({ x, y });
            Pixel expected = window.At(p.x, p.y);
            if (!scale.IsWhole()) {
                bool flat = true;
                for (int dy = -1; dy <= 1 && flat; ++dy)
                    for (int dx = -1; dx <= 1 && flat; ++dx) {
                        int wx = std::clamp(p.x + dx, 0, window.Width() - 1);
                        int wy = std::clamp(p.y + dy, 0, window.Height() - 1);
                        flat = window.At(wx, wy) == expected;
                    }
                if (!flat)
                    continue;
            }
            ++checked;
            if (screen.At(x, y) != expected)
                return "screen pixel " + std::to_string(x) + "," + std::to_string(y) + " is not the window's";
        }
    }
    if (checked < long(screen.Width()) * screen.Height() / 4)
        return "too few screen pixels could be checked";
    return {};
}

enum class Scene { EmptyDisc, PhotoSection };

void Repaint(benchmark::State& state, Scene scene)
{
    double factor = state.range(0) / 100.0;
    static const std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::current_path(start);
    if (scene == Scene::EmptyDisc) {
        auto disc = std::filesystem::temp_directory_path() / "velmar-bench-empty-disc";
        std::filesystem::create_directories(disc);
        std::filesystem::current_path(disc);
    } else {
        const char* disc = std::getenv("VELMAR_DISC");
        if (!disc || !std::filesystem::exists(std::filesystem::path(disc) / "db")) {
            state.SkipWithError("set VELMAR_DISC to a disc made by velmar-mkdisc");
            return;
        }
        std::filesystem::current_path(disc);
    }

    auto owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend& backend = *owned;
    backend.SetPresentScale(factor);
    TApplication application(std::move(owned), "velmar");
    RegisterImageFormats();
    auto* form = application.CreateForm<TVelmarForm>();
    application.ProcessMessages();
    if (scene == Scene::PhotoSection) {
        // The year branch, its first year, its first place: the place's first photograph shows.
        Click(application, backend, 40, 130);
        for (int key : { VK_RIGHT, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_DOWN })
            Key(application, backend, key);
        application.RunFor(50);
        if (!form->Image->Picture().Graphic()) {
            state.SkipWithError("no photograph shows: the clicks did not open a place");
            return;
        }
    }
    form->PaintWindow(); // warm: glyph caches, converted pictures
    for (auto _ : state)
        form->PaintWindow();

    std::string problem = CheckPresented(backend);
    if (!problem.empty())
        state.SkipWithError(problem.c_str());
    state.counters["screen_pixels"] = double(backend.Presented().Width()) * backend.Presented().Height();
    application.Terminate();
}

void EmptyDisc(benchmark::State& state) { Repaint(state, Scene::EmptyDisc); }
void PhotoSection(benchmark::State& state) { Repaint(state, Scene::PhotoSection); }

} // namespace

BENCHMARK(EmptyDisc)->Arg(100)->Arg(125)->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(PhotoSection)->Arg(100)->Arg(125)->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nfull repaint presented: CPU time at a scale / at scale 1 (target at scale 2: at most 2.5):\n");
    for (const char* scene : { "EmptyDisc", "PhotoSection" }) {
        auto one = reporter.times.find(std::string(scene) + "/100/repeats:5");
        if (one == reporter.times.end())
            continue;
        for (const char* arg : { "125", "150", "200", "300" }) {
            auto other = reporter.times.find(std::string(scene) + "/" + arg + "/repeats:5");
            if (other != reporter.times.end())
                std::printf("  %-13s x%-5.2f %.2f\n", scene, std::atoi(arg) / 100.0, other->second / one->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
