#include "PngWriter.h"

#include "framework/Exception.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) { }

} // namespace

void WritePng(const std::string& path, const Drawing& drawing)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw Exception("Cannot create " + path);

    std::vector<std::uint8_t> rgb = drawing.ToRgb8();
    std::vector<png_bytep> rows(static_cast<std::size_t>(drawing.Height()));
    for (int y = 0; y < drawing.Height(); ++y)
        rows[static_cast<std::size_t>(y)] = rgb.data() + static_cast<std::size_t>(y) * drawing.Width() * 3;

    std::string error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
    if (!png)
        throw Exception("libpng could not start");
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Exception("Cannot write " + path + ": " + error);
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(drawing.Width()), static_cast<png_uint_32>(drawing.Height()), 8,
        PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0)
        throw Exception("Cannot write " + path);
}
