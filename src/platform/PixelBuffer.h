#pragma once

#include "platform/Color.h"
#include "platform/Geometry.h"

#include <cstddef>
#include <vector>

// A rectangle of 32-bit pixels (0xAARRGGBB), rows top-down. Either owns its storage or views
// someone else's (a window surface, a bitmap's rows).
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height) { Resize(width, height); }

    static PixelBuffer View(Pixel* data, int width, int height, int stride)
    {
        PixelBuffer view;
        view.m_data = data;
        view.m_width = width;
        view.m_height = height;
        view.m_stride = stride;
        return view;
    }

    PixelBuffer(const PixelBuffer& other) { *this = other; }
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept { *this = std::move(other); }
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;

    // Sizes the buffer; storage is reused when it is large enough, so a buffer resized to the same
    // size on every paint allocates once. New contents are unspecified unless `fill` is given.
    void Resize(int width, int height);
    void Resize(int width, int height, Pixel fill);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; } // in pixels
    Rect Bounds() const { return { 0, 0, m_width, m_height }; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }
    bool OwnsStorage() const { return m_data == m_storage.data() && !m_storage.empty(); }

    Pixel* Row(int y) { return m_data + std::ptrdiff_t(y) * m_stride; }
    const Pixel* Row(int y) const { return m_data + std::ptrdiff_t(y) * m_stride; }
    Pixel& At(int x, int y) { return Row(y)[x]; }
    Pixel At(int x, int y) const { return Row(y)[x]; }

private:
    std::vector<Pixel> m_storage;
    Pixel* m_data { nullptr };
    int m_width { 0 };
    int m_height { 0 };
    int m_stride { 0 };
};
