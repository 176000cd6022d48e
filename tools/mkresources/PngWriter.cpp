#include "PngWriter.h"

#include "framework/Exception.h"

#include <png.h>

#include <algorithm>
#include <cmath>
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

void WriteRows(const std::string& path, int width, int height, int colour_type, std::vector<std::uint8_t>& bytes)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw Exception("Cannot create " + path);

    std::size_t row_bytes = bytes.size() / static_cast<std::size_t>(height);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = bytes.data() + static_cast<std::size_t>(y) * row_bytes;

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
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colour_type,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0)
        throw Exception("Cannot write " + path);
}

} // namespace

void WritePng(const std::string& path, const Drawing& drawing)
{
    std::vector<std::uint8_t> rgb = drawing.ToRgb8();
    WriteRows(path, drawing.Width(), drawing.Height(), PNG_COLOR_TYPE_RGB, rgb);
}

void WritePng(const std::string& path, const Drawing& drawing, const std::vector<float>& alpha)
{
    std::vector<std::uint8_t> rgb = drawing.ToRgb8();
    std::vector<std::uint8_t> rgba(alpha.size() * 4);
    for (std::size_t i = 0; i < alpha.size(); ++i) {
        std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(i * 3), 3, rgba.begin() + static_cast<std::ptrdiff_t>(i * 4));
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(std::lround(std::clamp(alpha[i], 0.0f, 1.0f) * 255));
    }
    WriteRows(path, drawing.Width(), drawing.Height(), PNG_COLOR_TYPE_RGB_ALPHA, rgba);
}
