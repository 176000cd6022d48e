// One full repaint of the main window into the headless backend's buffer, and the heap
// allocations it makes once warm (reported as the counter allocs_per_repaint).
#include "framework/TApplication.h"
#include "platform/HeadlessBackend.h"
#include "shell/TVelmarForm.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#pragma GCC diagnostic ignored "-Wmismatched-new-delete" // new and delete both use malloc here

namespace {

std::atomic<long> s_allocations { 0 };

} // namespace

void* operator new(std::size_t size)
{
    s_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

static void BM_FullRepaint(benchmark::State& state)
{
    // An empty disc: the window opens with its whole layout and empty lists.
    auto disc = std::filesystem::temp_directory_path() / "velmar-bench-empty-disc";
    std::filesystem::create_directories(disc);
    std::filesystem::current_path(disc);
    TApplication application(std::make_unique<HeadlessBackend>(), "velmar");
    auto* form = application.CreateForm<TVelmarForm>();
    application.ProcessMessages();
    form->PaintWindow(); // warm: glyph caches, converted pictures
    long before = s_allocations.load();
    long repaints = 0;
    for (auto _ : state) {
        form->PaintWindow();
        ++repaints;
    }
    state.counters["allocs_per_repaint"] = double(s_allocations.load() - before) / double(repaints);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
