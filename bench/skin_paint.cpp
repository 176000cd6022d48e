// The skin's costs: loading the stored skin at start, and painting the skinned controls (every
// paint looks the record up and draws through an off-screen bitmap).
#include "framework/TBitmap.h"
#include "skin/StoredSkinLoader.h"
#include "skin/TbsSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsStoredSkin.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> SkinFile(const char* name)
{
    std::ifstream in(std::string(VELMAR_SOURCE_DIR) + "/resources/skin/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

struct Skin {
    std::vector<std::uint8_t> ini { SkinFile("skin.ini") };
    std::vector<std::uint8_t> pictures { SkinFile("skin.pictures") };
    TbsStoredSkin stored;
    TbsSkinData data;
    Skin() { LoadStoredSkin(stored, data, ini, pictures); }
};

void BM_LoadStoredSkin(benchmark::State& state)
{
    Skin skin;
    for (auto _ : state) {
        TbsStoredSkin stored;
        TbsSkinData data;
        LoadStoredSkin(stored, data, skin.ini, skin.pictures);
        benchmark::DoNotOptimize(data.ControlRecords().size());
    }
}
BENCHMARK(BM_LoadStoredSkin)->Unit(benchmark::kMillisecond);

void BM_PaintListBox(benchmark::State& state)
{
    Skin skin;
    TbsSkinListBox list(nullptr);
    list.SetBounds(0, 0, 174, 450);
    list.SetSkinData(state.range(0) ? &skin.data : nullptr);
    for (int i = 0; i < 40; ++i)
        list.Items().Add("Clip number " + std::to_string(i));
    list.ItemsChanged();
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(174, 450);
    for (auto _ : state) {
        list.Paint(target.Canvas());
        target.Canvas().SetOrigin({ 1, 1 });
        list.ListBox().Paint(target.Canvas());
        target.Canvas().SetOrigin({ 0, 0 });
        if (list.VerticalBar())
            list.VerticalBar()->Paint(target.Canvas());
    }
}
BENCHMARK(BM_PaintListBox)->Arg(0)->Arg(1)->ArgName("skinned")->Unit(benchmark::kMicrosecond);

void BM_PaintScrollBar(benchmark::State& state)
{
    Skin skin;
    TbsSkinScrollBar bar(nullptr);
    bar.SetKind(TScrollBarKind::sbVertical);
    bar.SetSkinDataName("vscrollbar");
    bar.SetBounds(0, 0, 17, 433);
    bar.SetSkinData(state.range(0) ? &skin.data : nullptr);
    bar.SetRange(0, 100, 20, 40);
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(18, 433);
    for (auto _ : state)
        bar.Paint(target.Canvas());
}
BENCHMARK(BM_PaintScrollBar)->Arg(0)->Arg(1)->ArgName("skinned")->Unit(benchmark::kMicrosecond);

} // namespace
BENCHMARK_MAIN();
