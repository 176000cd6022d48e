// From a click on Next to the next photograph painted in the window, against a bare libjpeg-turbo
// decode of the same files to the same pixel layout plus one full repaint, in the same run. The
// disc is named by VELMAR_DISC (the default sample disc); without it the benchmarks skip.
#include "Harness.h"
#include "platform/DiscPath.h"

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

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

// Shows the first photograph of "Все" (every photograph of the disc, one after another).
void SelectAll(Harness& harness)
{
    TbsSkinTreeView* tree = harness.Form().FotoTreeView;
    TTreeNode* all = tree->Items()[tree->Items().Count() - 1];
    tree->SetSelected(all);
    harness.Form().FotoTreeViewClick(tree);
    harness.App().ProcessMessages();
}

void ClickNext(Harness& harness)
{
    TImage* next = harness.Form().ImageNext;
    Point origin = next->WindowOrigin();
    int x = origin.x + 9, y = origin.y + 9;
    harness.Backend().Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
    harness.Backend().Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
    harness.App().ProcessMessages(); // the handler loads the picture; the window is repainted
}

// A plain decode of a JPEG file to blue-green-red rows, as the viewer's bitmap holds them.
void BareDecode(const std::filesystem::path& path, std::vector<unsigned char>& pixels)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.out_color_space != JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    std::size_t stride = (std::size_t(cinfo.output_width) * cinfo.output_components + 3) & ~std::size_t(3);
    pixels.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

} // namespace

static void BM_NextPhotoClickToPainted(benchmark::State& state)
{
    auto harness = OpenDisc(state);
    if (!harness)
        return;
    SelectAll(*harness);
    for (auto _ : state) {
        if (!harness->Form().ImageNext->Visible()) {
            state.PauseTiming();
            SelectAll(*harness); // the last photograph: start again
            state.ResumeTiming();
        }
        ClickNext(*harness);
    }
}
BENCHMARK(BM_NextPhotoClickToPainted)->Unit(benchmark::kMillisecond)->MinTime(3.0)->Repetitions(3)->ReportAggregatesOnly(true);

static void BM_BareDecodePlusRepaint(benchmark::State& state)
{
    auto harness = OpenDisc(state);
    if (!harness)
        return;
    std::vector<std::filesystem::path> files;
    for (const Catalogue::TPhoto& photo : harness->Form().Photos)
        files.push_back(ResolveDiscPath(photo.Folder + photo.FileName));
    std::vector<unsigned char> pixels;
    std::size_t next = 1; // the same sequence as Next from the first photograph
    for (auto _ : state) {
        BareDecode(files[next], pixels);
        harness->Form().PaintWindow();
        next = next + 1 < files.size() ? next + 1 : 1;
    }
}
BENCHMARK(BM_BareDecodePlusRepaint)->Unit(benchmark::kMillisecond)->MinTime(3.0)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
