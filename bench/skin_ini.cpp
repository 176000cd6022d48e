// Reading large skin INI texts into skin data: a [SKINCONTROLS] list of 200,000 entries, and
// 100,000 empty sections before the ones a skin needs. Both must take time in proportion to the
// text, not to its square.
#include "framework/TStringList.h"
#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsStoredSkin.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace {

void AddRequiredSections(TStringList& lines)
{
    for (const char* section : { "[VERSION]", "[PICTURES]", "[FORMINFO]", "[SKINOBJECTS]" })
        lines.Add(section);
    lines.Add("skinname=bench");
}

constexpr int BarSections = 10;

// `count` control entries, scroll-bar records that read one of ten sections.
TStringList ManyControls(int count)
{
    TStringList lines;
    AddRequiredSections(lines);
    lines.Add("[SKINCONTROLS]");
    lines.Add("count=" + std::to_string(count));
    for (int i = 0; i < count; ++i)
        lines.Add(std::to_string(i) + "=bar" + std::to_string(i % BarSections) + ":scrollbar");
    for (int i = 0; i < BarSections; ++i) {
        lines.Add("[bar" + std::to_string(i) + "]");
        lines.Add("skinrect=0,0,18," + std::to_string(i + 1));
    }
    return lines;
}

// `count` empty sections, then the sections of a skin with one list-box record.
TStringList ManyEmptySections(int count)
{
    TStringList lines;
    for (int i = 0; i < count; ++i)
        lines.Add("[empty" + std::to_string(i) + "]");
    AddRequiredSections(lines);
    lines.Add("[SKINCONTROLS]");
    lines.Add("count=1");
    lines.Add("0=listbox:listbox");
    lines.Add("[listbox]");
    lines.Add("itemrect=187,199,241,221");
    return lines;
}

// Loads the text into skin data on every iteration; `complete` checks that the work was done.
void Load(benchmark::State& state, const TStringList& lines, const std::function<bool(const TbsSkinData&)>& complete)
{
    TbsStoredSkin stored;
    stored.SetIniStrings(lines);
    for (auto _ : state) {
        TbsSkinData data;
        data.SetStoredSkin(&stored);
        if (data.IsEmpty() || !complete(data)) {
            state.SkipWithError("the skin was not read completely");
            return;
        }
    }
    state.counters["lines"] = double(lines.Count());
}

void BM_ReadSkinControls(benchmark::State& state)
{
    const int count = int(state.range(0));
    Load(state, ManyControls(count), [count](const TbsSkinData& data) {
        // Every record read, the last one with the values of its own section.
        return data.ControlRecords().size() == std::size_t(count)
            && data.ControlRecords().back()->SkinRect.bottom == (count - 1) % BarSections + 1;
    });
}
BENCHMARK(BM_ReadSkinControls)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadEmptySections(benchmark::State& state)
{
    Load(state, ManyEmptySections(int(state.range(0))), [](const TbsSkinData& data) {
        // The record after the empty sections, with its item rectangle.
        auto* list = data.ControlRecords().size() == 1
            ? dynamic_cast<const TbsDataSkinListBox*>(data.ControlRecords()[0].get())
            : nullptr;
        return list && list->ItemRect.Height() == 22;
    });
}
BENCHMARK(BM_ReadEmptySections)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
BENCHMARK_MAIN();
