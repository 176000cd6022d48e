#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A palette picture as GIF stores it: one colour index per pixel and up to 256 colours.
struct IndexedImage {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint8_t> pixels; // width * height indexes, rows top to bottom

    IndexedImage() = default;
    IndexedImage(int w, int h, std::uint8_t fill = 0)
        : width(w)
        , height(h)
        , pixels(std::size_t(w) * h, fill)
    {
    }
    std::uint8_t& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    std::uint8_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

struct PaletteColor {
    std::uint8_t r, g, b;
};
