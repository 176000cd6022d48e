// With the skin painting the lists, trees and bars: one full repaint of the window in each of the
// five sections, and one step of dragging the photo tree's thumb to the repainted frame. The disc
// is named by VELMAR_DISC (the default sample disc); without it the benchmarks skip.
#include "Harness.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

namespace {

std::unique_ptr<Harness> OpenDisc(benchmark::State& state)
{
    const char* disc = std::getenv("VELMAR_DISC");
    if (!disc || !std::filesystem::exists(std::filesystem::path(disc) / "db")) {
        state.SkipWithError("set VELMAR_DISC to a disc made by velmar-mkdisc");
        return nullptr;
    }
    static std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::current_path(start);
    return std::make_unique<Harness>(disc);
}

void Run(Harness& harness, const char* commands)
{
    std::istringstream lines(commands);
    std::ostringstream out, err;
    for (std::string line; std::getline(lines, line);)
        harness.Execute(line, out, err);
}

// Tab click areas, window coordinates.
const char* const section_clicks[] = { "", "click 583 87", "click 694 87", "click 802 87", "click 909 87" };

} // namespace

static void BM_SectionRepaint(benchmark::State& state)
{
    auto harness = OpenDisc(state);
    if (!harness)
        return;
    // Photo with a place open, so the tree shows its bars; then the chosen section.
    Run(*harness, "click 40 130\nkey Right\nkey Down\nkey Right\nkey Down\nkey Right\nkey Down\nwait 50");
    Run(*harness, section_clicks[state.range(0)]);
    Run(*harness, "wait 100");
    TVelmarForm& form = harness->Form();
    form.PaintWindow();
    for (auto _ : state)
        form.PaintWindow();
}
BENCHMARK(BM_SectionRepaint)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

static void BM_TreeThumbDragStep(benchmark::State& state)
{
    auto harness = OpenDisc(state);
    if (!harness)
        return;
    // Open every year so the photo tree has far more rows than it shows.
    Run(*harness, "click 40 130\nkey Right");
    for (int year = 0; year < 16; ++year)
        Run(*harness, "key Down\nkey Right");
    Run(*harness, "key Home\nwait 50");
    TVelmarForm& form = harness->Form();
    TbsSkinScrollBar* bar = form.VerSkinScrollBar;
    if (!bar->Visible()) {
        state.SkipWithError("the photo tree's bar is not shown");
        return;
    }
    Rect thumb = bar->Part(TbsSkinScrollBar::ThumbPart).R;
    Point origin = bar->WindowOrigin();
    int x = origin.x + (thumb.left + thumb.right) / 2, y = origin.y + (thumb.top + thumb.bottom) / 2;
    HeadlessBackend& backend = harness->Backend();
    backend.Inject({ .type = WindowEvent::Type::MouseMove, .x = x, .y = y });
    backend.Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
    harness->App().ProcessMessages();
    int step = 0;
    for (auto _ : state) {
        // Down by one step and back again, each step repainted into the window.
        int dy = (step++ % 20 < 10) ? 3 : -3;
        y += dy;
        backend.Inject({ .type = WindowEvent::Type::MouseMove, .x = x, .y = y });
        harness->App().ProcessMessages();
    }
    backend.Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
    harness->App().ProcessMessages();
    state.counters["position"] = bar->Position();
}
BENCHMARK(BM_TreeThumbDragStep)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
