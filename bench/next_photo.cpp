// From a click on Next to the next photograph painted in the window, against a bare libjpeg-turbo
// decode of the same files to the same pixel layout plus one full repaint, in the same run.
//
// The disc is named by VELMAR_DISC, relative to where the program starts or absolute (the default
// sample disc gives the figures worth quoting); without it a small disc is written to a temporary
// folder first. Every Next must show the next photograph of "Все": the viewer holds a new bitmap
// of that JPEG's size and the window's viewer area changes. Every bare decode must deliver the
// JPEG's size. Otherwise the benchmark fails and the program exits 1.
#include "Harness.h"
#include "platform/DiscPath.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The disc's root as an absolute path, settled before any window changes the current directory.
std::filesystem::path g_disc;

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

std::vector<unsigned char> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// libjpeg's fatal errors return to the caller's setjmp with the message, so that a damaged file
// fails the benchmark with that message instead of ending the program inside the library.
struct JpegErrors {
    jpeg_error_mgr manager; // first: libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] {};

    explicit JpegErrors(jpeg_decompress_struct& cinfo)
    {
        cinfo.err = jpeg_std_error(&manager);
        manager.error_exit = [](j_common_ptr failed) {
            auto* self = reinterpret_cast<JpegErrors*>(failed->err);
            (*failed->err->format_message)(failed, self->message);
            std::longjmp(self->jump, 1);
        };
    }
};

// The size a JPEG file's header declares, or 0 x 0 when it cannot be read.
PictureSize HeaderSize(const std::filesystem::path& path)
{
    std::vector<unsigned char> bytes = ReadFile(path);
    if (bytes.empty())
        return {};
    jpeg_decompress_struct cinfo;
    JpegErrors errors(cinfo);
    jpeg_create_decompress(&cinfo);
    PictureSize size;
    if (setjmp(errors.jump) == 0) {
        jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
        if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK)
            size = { int(cinfo.image_width), int(cinfo.image_height) };
    }
    jpeg_destroy_decompress(&cinfo);
    return size;
}

// A plain decode of a JPEG file to blue-green-red rows, as the viewer's bitmap holds them; raises
// std::runtime_error for a file libjpeg cannot decode.
PictureSize BareDecode(const std::filesystem::path& path, std::vector<unsigned char>& pixels)
{
    std::vector<unsigned char> bytes = ReadFile(path);
    if (bytes.empty())
        throw std::runtime_error("empty or missing file");
    jpeg_decompress_struct cinfo;
    JpegErrors errors(cinfo);
    jpeg_create_decompress(&cinfo);
    PictureSize size;
    // Between setjmp and the end of the guarded block only libjpeg calls and plain data.
    if (setjmp(errors.jump) == 0) {
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
        size = { int(cinfo.output_width), int(cinfo.output_height) };
        jpeg_finish_decompress(&cinfo);
    }
    jpeg_destroy_decompress(&cinfo);
    if (size.width == 0)
        throw std::runtime_error(errors.message[0] ? errors.message : "nothing decoded");
    return size;
}

// The window on the disc, with the files of "Все" in order and the size each one declares.
struct Window {
    std::unique_ptr<Harness> harness;
    std::vector<std::filesystem::path> files;
    std::vector<PictureSize> sizes;
};

bool OpenDisc(benchmark::State& state, Window& window)
{
    window.harness = std::make_unique<Harness>(g_disc.string());
    for (const Catalogue::TPhoto& photo : window.harness->Form().Photos) {
        window.files.push_back(ResolveDiscPath(photo.Folder + photo.FileName));
        window.sizes.push_back(HeaderSize(window.files.back()));
    }
    if (window.files.size() < 2) {
        state.SkipWithError("the disc has fewer than two photographs");
        return false;
    }
    return true;
}

// Shows the first photograph of "Все" (every photograph of the disc, one after another). The node
// is let go first: selecting it again while it is selected changes nothing, and Next would stay
// inactive at the last photograph.
void SelectAll(Harness& harness)
{
    TbsSkinTreeView* tree = harness.Form().FotoTreeView;
    TTreeNode* all = tree->Items()[tree->Items().Count() - 1];
    tree->SetSelected(nullptr);
    tree->SetSelected(all);
    harness.Form().FotoTreeViewClick(tree);
    harness.App().ProcessMessages();
}

// A click as the user makes it: the mouse comes to the button, is pressed and released there.
void ClickNext(Harness& harness)
{
    TImage* next = harness.Form().ImageNext;
    Point origin = next->WindowOrigin();
    int x = origin.x + next->Width() / 2, y = origin.y + next->Height() / 2;
    harness.Backend().Inject({ .type = WindowEvent::Type::MouseMove, .x = x, .y = y });
    harness.Backend().Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
    harness.Backend().Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
    harness.App().ProcessMessages(); // the handler loads the picture; the window is repainted
}

// FNV-1a over the window's pixels inside the viewer.
std::uint64_t ViewerHash(Harness& harness)
{
    TImage* image = harness.Form().Image;
    Point origin = image->WindowOrigin();
    const PixelBuffer& surface = harness.Backend().Surface();
    Rect area = Rect::FromSize(origin.x, origin.y, image->Width(), image->Height()).Intersected(surface.Bounds());
    std::uint64_t hash = 1469598103934665603ull;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            hash ^= surface.At(x, y) & 0x00FFFFFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

// Why the Next just made did not show photograph `expected` of "Все", or empty when it did.
std::string CheckShown(Window& window, int expected, const TGraphic* before, std::uint64_t before_hash)
{
    TVelmarForm& form = window.harness->Form();
    if (form.CurrentMode != TVelmarForm::AllPhotos || form.CurrentPhoto != expected)
        return "Next did not step to photograph " + std::to_string(expected) + " (mode " + std::to_string(form.CurrentMode) + ", at " + std::to_string(form.CurrentPhoto) + " of " + std::to_string(form.PhotoCount()) + ")";
    const TGraphic* shown = form.Image->Picture().Graphic();
    if (!shown || shown == before || std::string(shown->ClassName()) != "TBitmap")
        return "the viewer holds no new bitmap after Next to photograph " + std::to_string(expected);
    PictureSize size { shown->Width(), shown->Height() };
    if (!(size == window.sizes[std::size_t(expected)]) || size.width == 0)
        return "photograph " + std::to_string(expected) + " shows " + std::to_string(size.width) + " x "
            + std::to_string(size.height) + ", not the JPEG's size";
    if (ViewerHash(*window.harness) == before_hash)
        return "the window's viewer did not change for photograph " + std::to_string(expected);
    return {};
}

} // namespace

static void BM_NextPhotoClickToPainted(benchmark::State& state)
{
    Window window;
    if (!OpenDisc(state, window))
        return;
    Harness& harness = *window.harness;
    TVelmarForm& form = harness.Form();
    SelectAll(harness);
    std::int64_t shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!form.ImageNext->Visible())
            SelectAll(harness); // the last photograph: start again
        const int expected = form.CurrentPhoto + 1;
        const TGraphic* before = form.Image->Picture().Graphic();
        const std::uint64_t before_hash = ViewerHash(harness);
        state.ResumeTiming();

        ClickNext(harness);

        state.PauseTiming();
        std::string failure = CheckShown(window, expected, before, before_hash);
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            break;
        }
        ++shown;
        state.ResumeTiming();
    }
    state.counters["photos"] = benchmark::Counter(double(shown));
}
BENCHMARK(BM_NextPhotoClickToPainted)->Unit(benchmark::kMillisecond)->MinTime(3.0)->Repetitions(3)->ReportAggregatesOnly(true);

static void BM_BareDecodePlusRepaint(benchmark::State& state)
{
    Window window;
    if (!OpenDisc(state, window))
        return;
    std::vector<unsigned char> pixels;
    std::size_t next = 1; // the same sequence as Next from the first photograph
    for (auto _ : state) {
        PictureSize size;
        try {
            size = BareDecode(window.files[next], pixels);
        } catch (const std::runtime_error& error) {
            state.SkipWithError(("the bare decode of " + window.files[next].string() + " failed: " + error.what()).c_str());
            break;
        }
        window.harness->Form().PaintWindow();
        if (!(size == window.sizes[next]) || size.width == 0) {
            state.SkipWithError(("the bare decode of " + window.files[next].string() + " gave another size").c_str());
            break;
        }
        next = next + 1 < window.files.size() ? next + 1 : 1;
    }
}
BENCHMARK(BM_BareDecodePlusRepaint)->Unit(benchmark::kMillisecond)->MinTime(3.0)->Repetitions(3)->ReportAggregatesOnly(true);

namespace {

// Keeps the ratio reporter's times and notes whether any run failed its check.
class CheckedReporter : public RatioReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        RatioReporter::ReportRuns(runs);
        for (const Run& run : runs)
            failed = failed || run.error_occurred;
    }
    bool failed { false };
};

// The disc to measure on: VELMAR_DISC made absolute, or a small disc written now.
bool SettleDisc(std::filesystem::path& made)
{
    if (const char* named = std::getenv("VELMAR_DISC"); named && *named) {
        g_disc = std::filesystem::absolute(named).lexically_normal();
    } else {
        made = std::filesystem::temp_directory_path() / ("velmar-bench-disc-" + std::to_string(::getpid()));
        std::string command = std::string(VELMAR_BINARY_DIR) + "/bin/velmar-mkdisc '" + made.string() + "' --small > /dev/null";
        std::printf("VELMAR_DISC is not set: measuring on a small disc written to %s\n", made.c_str());
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "cannot write a sample disc: %s\n", command.c_str());
            return false;
        }
        g_disc = made;
    }
    if (!std::filesystem::is_directory(g_disc / "db")) {
        std::fprintf(stderr, "%s is not a disc made by velmar-mkdisc (it has no db folder)\n", g_disc.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::filesystem::path made;
    if (!SettleDisc(made))
        return 2;
    CheckedReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (!made.empty())
        std::filesystem::remove_all(made);

    auto ours = reporter.times.find("BM_NextPhotoClickToPainted/min_time:3.000/repeats:3");
    auto bare = reporter.times.find("BM_BareDecodePlusRepaint/min_time:3.000/repeats:3");
    if (ours != reporter.times.end() && bare != reporter.times.end())
        std::printf("\nNext to the painted photograph / bare decode plus repaint, CPU time: %.3f\n",
            ours->second / bare->second);
    if (reporter.failed) {
        std::fprintf(stderr, "a benchmark did not do its work (see ERROR OCCURRED above)\n");
        return 1;
    }
    return 0;
}
