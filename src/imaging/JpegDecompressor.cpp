#include "imaging/JpegDecompressor.h"

#include "imaging/EJPEG.h"

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// The source hands libjpeg the rest of the in-memory file at once rather than windows of 4096
// bytes: the data are in memory anyway, and libjpeg-turbo's fast Huffman path needs several
// kilobytes ahead of it, which a small window would deny it near every window's end.
constexpr std::size_t kSourceBuffer = ~std::size_t(0);
constexpr int kProgressIntervalMs = 500;

// Everything libjpeg's callbacks reach, with the jump target of the error manager. Objects with
// destructors never live between a setjmp and the libjpeg calls it guards.
struct Context {
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr error {};
    jpeg_source_mgr source {};
    jpeg_progress_mgr progress {};
    std::jmp_buf jump {};
    int code { 0 };
    bool aborted { false };
    bool created { false };

    const std::uint8_t* data { nullptr };
    std::size_t size { 0 };
    std::size_t pos { 0 };

    const JpegProgress* on_progress { nullptr };
    bool progress_started { false };
    std::chrono::steady_clock::time_point last_report {};
    int last_percent { -1 };
    int last_row { 0 };

    ~Context()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

Context& Of(j_common_ptr cinfo) { return *static_cast<Context*>(cinfo->client_data); }
Context& Of(j_decompress_ptr cinfo) { return *static_cast<Context*>(cinfo->client_data); }

// Error manager: fatal errors jump back to the guarded call; libjpeg's own texts are never used.
void ErrorExit(j_common_ptr cinfo)
{
    Context& context = Of(cinfo);
    context.code = cinfo->err->msg_code;
    std::longjmp(context.jump, 1);
}
void EmitMessage(j_common_ptr, int) { } // warnings are ignored
void OutputMessage(j_common_ptr) { }
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = 0; }
void ResetErrorManager(j_common_ptr cinfo)
{
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

// Source manager over the in-memory file.
void InitSource(j_decompress_ptr) { }
void TermSource(j_decompress_ptr) { }

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    Context& context = Of(cinfo);
    std::size_t n = std::min(kSourceBuffer, context.size - context.pos);
    if (n == 0) {
        if (context.pos == 0)
            ERREXIT(cinfo, JERR_INPUT_EMPTY); // not a single byte: error 42
        // A truncated file: warn (ignored) and end the image here.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        static const JOCTET kEndOfImage[2] = { 0xFF, JPEG_EOI };
        cinfo->src->next_input_byte = kEndOfImage;
        cinfo->src->bytes_in_buffer = 2;
        return TRUE;
    }
    cinfo->src->next_input_byte = context.data + context.pos;
    cinfo->src->bytes_in_buffer = n;
    context.pos += n;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = cinfo->src;
    while (std::size_t(count) > source->bytes_in_buffer) {
        count -= long(source->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= std::size_t(count);
}

// Progress monitor: at most one report per 500 ms, only when the percentage changed.
void ProgressMonitor(j_common_ptr cinfo)
{
    Context& context = Of(cinfo);
    if (!context.on_progress || !*context.on_progress)
        return;
    auto now = std::chrono::steady_clock::now();
    if (!context.progress_started) {
        context.progress_started = true;
        context.last_report = now;
        return;
    }
    if (now - context.last_report < std::chrono::milliseconds(kProgressIntervalMs))
        return;
    context.last_report = now;
    jpeg_progress_mgr* p = cinfo->progress;
    int percent = p->pass_limit > 0 && p->total_passes > 0
        ? int((double(p->pass_counter) / double(p->pass_limit) + p->completed_passes) * 100.0 / p->total_passes)
        : 0;
    if (percent == context.last_percent)
        return;
    context.last_percent = percent;
    int row = int(context.cinfo.output_scanline);
    int first = context.last_row;
    context.last_row = row;
    if (!(*context.on_progress)(percent, first, row - first)) {
        context.aborted = true;
        std::longjmp(context.jump, 1);
    }
}

void Setup(Context& context, const std::uint8_t* data, std::size_t size)
{
    context.cinfo.err = jpeg_std_error(&context.error);
    context.error.error_exit = ErrorExit;
    context.error.emit_message = EmitMessage;
    context.error.output_message = OutputMessage;
    context.error.format_message = FormatMessage;
    context.error.reset_error_mgr = ResetErrorManager;
    context.cinfo.client_data = &context;
    context.data = data;
    context.size = size;
    context.source.init_source = InitSource;
    context.source.fill_input_buffer = FillInputBuffer;
    context.source.skip_input_data = SkipInputData;
    context.source.resync_to_restart = jpeg_resync_to_restart;
    context.source.term_source = TermSource;
}

[[noreturn]] void Raise(const Context& context)
{
    throw EJPEG(Format("JPEG error #%d", context.code));
}

// The guarded part of each operation: only libjpeg calls and plain data between setjmp and return.
bool CreateAndReadHeader(Context& context)
{
    if (setjmp(context.jump))
        return false;
    jpeg_CreateDecompress(&context.cinfo, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    context.created = true;
    context.cinfo.src = &context.source;
    jpeg_read_header(&context.cinfo, TRUE);
    return true;
}

void ApplySettings(jpeg_decompress_struct& cinfo, const JpegDecodeSettings& settings)
{
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(settings.scale_denominator);
    cinfo.do_block_smoothing = settings.smoothing ? TRUE : FALSE;
    if (settings.grayscale)
        cinfo.out_color_space = JCS_GRAYSCALE;
    const bool gray = cinfo.out_color_space == JCS_GRAYSCALE;
    if (!gray)
        cinfo.out_color_space = JCS_EXT_BGR; // the byte order of the bitmap's 24-bit rows
    if (settings.eight_bit || gray) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
    }
    if (settings.fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.two_pass_quantize = FALSE;
        cinfo.dither_mode = JDITHER_ORDERED;
    }
}

bool CalcOutput(Context& context)
{
    if (setjmp(context.jump))
        return false;
    jpeg_calc_output_dimensions(&context.cinfo);
    return true;
}

bool Start(Context& context)
{
    if (setjmp(context.jump))
        return false;
    jpeg_start_decompress(&context.cinfo);
    return true;
}

bool ReadRows(Context& context, JpegRowSink& sink)
{
    if (setjmp(context.jump))
        return false;
    jpeg_decompress_struct& cinfo = context.cinfo;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = sink.Row(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

namespace JpegDecompressor {

JpegHeader ReadHeader(const std::uint8_t* data, std::size_t size)
{
    Context context;
    Setup(context, data, size);
    if (!CreateAndReadHeader(context))
        Raise(context);
    JpegHeader header;
    header.width = int(context.cinfo.image_width);
    header.height = int(context.cinfo.image_height);
    header.grayscale = context.cinfo.jpeg_color_space == JCS_GRAYSCALE;
    header.progressive = jpeg_has_multiple_scans(&context.cinfo);
    return header;
}

void OutputSize(const std::uint8_t* data, std::size_t size, const JpegDecodeSettings& settings, int& width,
    int& height)
{
    Context context;
    Setup(context, data, size);
    if (!CreateAndReadHeader(context))
        Raise(context);
    ApplySettings(context.cinfo, settings);
    if (!CalcOutput(context))
        Raise(context);
    width = int(context.cinfo.output_width);
    height = int(context.cinfo.output_height);
}

bool Decode(const std::uint8_t* data, std::size_t size, const JpegDecodeSettings& settings, JpegRowSink& sink,
    const JpegProgress& progress)
{
    Context context;
    Setup(context, data, size);
    context.on_progress = &progress;
    context.progress.progress_monitor = ProgressMonitor;
    context.cinfo.progress = &context.progress;
    if (!CreateAndReadHeader(context))
        Raise(context);
    ApplySettings(context.cinfo, settings);
    if (!Start(context)) {
        if (context.aborted)
            return false;
        Raise(context);
    }
    jpeg_decompress_struct& cinfo = context.cinfo;
    const int components = int(cinfo.output_components);
    std::vector<std::uint32_t> palette;
    int bits = 24;
    if (cinfo.quantize_colors) {
        bits = 8;
        palette.resize(std::size_t(cinfo.actual_number_of_colors));
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (components == 1) {
                std::uint32_t v = cinfo.colormap[0][i];
                palette[i] = v | v << 8 | v << 16;
            } else {
                // Component 0 is blue, as the output order is blue, green, red.
                std::uint32_t b = cinfo.colormap[0][i], g = cinfo.colormap[1][i], r = cinfo.colormap[2][i];
                palette[i] = r | g << 8 | b << 16;
            }
        }
    }
    sink.Begin(int(cinfo.output_width), int(cinfo.output_height), bits, palette);
    if (!ReadRows(context, sink)) {
        if (context.aborted)
            return false;
        Raise(context);
    }
    return true;
}

} // namespace JpegDecompressor
