// Start-up of the main window on a disc to its first painted frame: the layout, the stored skin,
// the catalogue construction and one full repaint. The disc is named by VELMAR_DISC (make the
// default one with velmar-mkdisc); without it the benchmark says so and skips.
#include "framework/TApplication.h"
#include "imaging/ImageFormats.h"
#include "platform/HeadlessBackend.h"
#include "shell/TVelmarForm.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

static void BM_StartupToFirstFrame(benchmark::State& state)
{
    const char* disc = std::getenv("VELMAR_DISC");
    if (!disc || !std::filesystem::exists(std::filesystem::path(disc) / "db")) {
        state.SkipWithError("set VELMAR_DISC to a disc made by velmar-mkdisc");
        return;
    }
    std::filesystem::current_path(disc);
    RegisterImageFormats();
    for (auto _ : state) {
        auto owned = std::make_unique<HeadlessBackend>();
        HeadlessBackend* backend = owned.get();
        TApplication application(std::move(owned), "velmar");
        auto* form = application.CreateForm<TVelmarForm>();
        form->PaintWindow();
        benchmark::DoNotOptimize(backend->Surface().At(100, 100));
        state.PauseTiming(); // tearing down is not start-up
        if (!backend->TakeErrorBoxes().empty())
            state.SkipWithError("the disc gave an error box");
        application.Terminate();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
