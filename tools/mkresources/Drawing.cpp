#include "Drawing.h"

#include "framework/Exception.h"

namespace Sdf {

float Segment(float x, float y, float ax, float ay, float bx, float by, float width)
{
    float px = x - ax;
    float py = y - ay;
    float dx = bx - ax;
    float dy = by - ay;
    float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - width / 2;
}

float RoundBox(float x, float y, Box box, float radius)
{
    float qx = std::fabs(x - box.CentreX()) - (box.Width() / 2 - radius);
    float qy = std::fabs(y - box.CentreY()) - (box.Height() / 2 - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

float Polygon(float x, float y, const std::vector<float>& xy)
{
    std::size_t count = xy.size() / 2;
    // Signed area tells the winding, so that "inside" is negative for either order.
    float area = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t j = (i + 1) % count;
        area += xy[2 * i] * xy[2 * j + 1] - xy[2 * j] * xy[2 * i + 1];
    }
    float sign = area > 0 ? 1.0f : -1.0f;
    float distance = -1e9f;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t j = (i + 1) % count;
        float ex = xy[2 * j] - xy[2 * i];
        float ey = xy[2 * j + 1] - xy[2 * i + 1];
        float length = std::hypot(ex, ey);
        if (length == 0)
            continue;
        // Outward normal of a positively wound polygon is (ey, -ex).
        float d = ((x - xy[2 * i]) * ey - (y - xy[2 * i + 1]) * ex) / length * sign;
        distance = std::max(distance, d);
    }
    return distance;
}

} // namespace Sdf

Drawing::Drawing(int width, int height, Rgb fill)
    : m_width(width)
    , m_height(height)
{
    if (width <= 0 || height <= 0)
        throw Exception("A picture needs a positive size");
    m_pixels.assign(static_cast<std::size_t>(width) * height, fill);
}

void Drawing::Blend(int x, int y, Rgb colour, float weight)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || weight <= 0)
        return;
    Rgb& pixel = At(x, y);
    pixel = Mix(pixel, colour, std::min(weight, 1.0f));
}

Drawing Drawing::Crop(int x, int y, int width, int height) const
{
    Drawing part(width, height);
    for (int row = 0; row < height; ++row) {
        int sy = std::clamp(y + row, 0, m_height - 1);
        for (int col = 0; col < width; ++col) {
            int sx = std::clamp(x + col, 0, m_width - 1);
            part.At(col, row) = At(sx, sy);
        }
    }
    return part;
}

void Drawing::Paste(const Drawing& source, int x, int y)
{
    for (int row = 0; row < source.Height(); ++row) {
        int ty = y + row;
        if (ty < 0 || ty >= m_height)
            continue;
        for (int col = 0; col < source.Width(); ++col) {
            int tx = x + col;
            if (tx >= 0 && tx < m_width)
                At(tx, ty) = source.At(col, row);
        }
    }
}

std::vector<std::uint8_t> Drawing::ToRgb8() const
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(m_pixels.size() * 3);
    auto to_byte = [](float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    for (const Rgb& p : m_pixels) {
        bytes.push_back(to_byte(p.r));
        bytes.push_back(to_byte(p.g));
        bytes.push_back(to_byte(p.b));
    }
    return bytes;
}

float HashNoise(int x, int y, int seed)
{
    // A small integer hash (no library generator, whose sequence may differ between versions).
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u
        ^ static_cast<std::uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0x1000000);
}

float SmoothNoise(float x, float y, float cell, int seed, int period_x, int period_y)
{
    float gx = x / cell;
    float gy = y / cell;
    int ix = static_cast<int>(std::floor(gx));
    int iy = static_cast<int>(std::floor(gy));
    float fx = gx - ix;
    float fy = gy - iy;
    auto wrap = [](int v, int period) { return period > 0 ? ((v % period) + period) % period : v; };
    auto at = [&](int dx, int dy) { return HashNoise(wrap(ix + dx, period_x), wrap(iy + dy, period_y), seed); };
    float sx = fx * fx * (3 - 2 * fx);
    float sy = fy * fy * (3 - 2 * fy);
    float top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
    float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
    return top + (bottom - top) * sy;
}
