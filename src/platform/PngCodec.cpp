#include "platform/PngCodec.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

PixelBuffer DecodePng(std::span<const std::uint8_t> bytes)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw std::runtime_error(std::string("damaged PNG picture: ") + image.message);
    image.format = PNG_FORMAT_BGRA; // bytes blue, green, red, alpha: our pixel layout
    PixelBuffer pixels(int(image.width), int(image.height));
    if (!png_image_finish_read(&image, nullptr, pixels.Row(0), int(pixels.Stride() * 4), nullptr)) {
        png_image_free(&image);
        throw std::runtime_error(std::string("damaged PNG picture: ") + image.message);
    }
    return pixels;
}

bool WritePng(const std::string& path, const PixelBuffer& pixels, bool keep_alpha)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(pixels.Width());
    image.height = png_uint_32(pixels.Height());
    image.format = PNG_FORMAT_BGRA;
    std::vector<Pixel> rows(std::size_t(pixels.Width()) * std::size_t(pixels.Height()));
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x)
            rows[std::size_t(y) * std::size_t(pixels.Width()) + std::size_t(x)]
                = keep_alpha ? pixels.At(x, y) : pixels.At(x, y) | 0xFF000000u;
    return png_image_write_to_file(&image, path.c_str(), 0, rows.data(), pixels.Width() * 4, nullptr) != 0;
}
