#include "JpegWriter.h"

#include "DiscError.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace {

// libjpeg reports errors through a callback that must not return; it jumps back here.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality, JpegOptions options)
{
    jpeg_compress_struct info {};
    ErrorManager errors {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw EDiscError(std::string("JPEG encoder: ") + errors.message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.Width());
    info.image_height = JDIMENSION(image.Height());
    info.input_components = options.grayscale ? 1 : 3;
    info.in_color_space = options.grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    if (options.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> gray(options.grayscale ? std::size_t(image.Width()) : 0);
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* source = image.Row(int(info.next_scanline));
        JSAMPROW row = const_cast<JSAMPROW>(source);
        if (options.grayscale) {
            for (int x = 0; x < image.Width(); ++x)
                gray[std::size_t(x)] = JSAMPLE((source[3 * x] * 77 + source[3 * x + 1] * 150 + source[3 * x + 2] * 29) >> 8);
            row = gray.data();
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
