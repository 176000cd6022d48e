#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct Rgb {
    float r { 0 };
    float g { 0 };
    float b { 0 };
};

inline Rgb Mix(Rgb a, Rgb b, float t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

inline Rgb Scaled(Rgb c, float k) { return { c.r * k, c.g * k, c.b * k }; }

// An 8-bit RGB picture, rows top to bottom, as the JPEG writer and the clip encoder take it.
class RgbImage {
public:
    RgbImage() = default;
    RgbImage(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pixels(std::size_t(width) * height * 3, 0)
    {
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::uint8_t* Row(int y) { return m_pixels.data() + std::size_t(y) * m_width * 3; }
    const std::uint8_t* Row(int y) const { return m_pixels.data() + std::size_t(y) * m_width * 3; }

    void Set(int x, int y, Rgb c)
    {
        std::uint8_t* p = Row(y) + x * 3;
        p[0] = ToByte(c.r);
        p[1] = ToByte(c.g);
        p[2] = ToByte(c.b);
    }

    Rgb Get(int x, int y) const
    {
        const std::uint8_t* p = Row(y) + x * 3;
        return { float(p[0]), float(p[1]), float(p[2]) };
    }

    // Blends c over the pixel with the given opacity (0..1); pixels outside are ignored.
    void Blend(int x, int y, Rgb c, float alpha)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height || alpha <= 0)
            return;
        Set(x, y, Mix(Get(x, y), c, std::min(alpha, 1.0f)));
    }

    // Bilinear sample at a point in pixel units (clamped at the edges).
    Rgb Sample(float x, float y) const
    {
        x = std::clamp(x, 0.0f, float(m_width - 1));
        y = std::clamp(y, 0.0f, float(m_height - 1));
        int x0 = int(x), y0 = int(y);
        int x1 = std::min(x0 + 1, m_width - 1), y1 = std::min(y0 + 1, m_height - 1);
        float fx = x - x0, fy = y - y0;
        Rgb top = Mix(Get(x0, y0), Get(x1, y0), fx);
        Rgb bottom = Mix(Get(x0, y1), Get(x1, y1), fx);
        return Mix(top, bottom, fy);
    }

    static std::uint8_t ToByte(float v)
    {
        return std::uint8_t(std::clamp(int(v + 0.5f), 0, 255));
    }

private:
    int m_width { 0 };
    int m_height { 0 };
    std::vector<std::uint8_t> m_pixels;
};
