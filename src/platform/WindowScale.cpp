#include "platform/WindowScale.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Mixes two pixels channel by channel; `weight` (0..256) is the share of `q`. Red and blue travel
// in one word, alpha and green in another: each channel keeps 16 bits, so no channel carries into
// the next. Equal pixels give themselves back exactly, so flat areas stay flat.
inline Pixel Mix(Pixel p, Pixel q, std::uint32_t weight)
{
    std::uint32_t keep = 256 - weight;
    std::uint32_t rb = (((p & 0xFF00FFu) * keep + (q & 0xFF00FFu) * weight) >> 8) & 0xFF00FFu;
    std::uint32_t ag = (((p >> 8) & 0xFF00FFu) * keep + ((q >> 8) & 0xFF00FFu) * weight) & 0xFF00FF00u;
    return rb | ag;
}

// Mixes two rows byte by byte (the same rule as Mix, channel by channel); written so that the
// compiler turns it into vector code.
void MixRows(const std::uint8_t* __restrict above, const std::uint8_t* __restrict below, std::uint8_t* __restrict out,
    std::size_t count, std::uint16_t weight)
{
    const auto keep = std::uint16_t(256 - weight);
    std::size_t i = 0;
    // Blocks of a fixed size need no remainder handling inside, so they vectorise at -O2 too.
    constexpr std::size_t block = 16;
    for (; i + block <= count; i += block)
        for (std::size_t j = i; j < i + block; ++j)
            out[j] = std::uint8_t((above[j] * keep + below[j] * weight) >> 8);
    for (; i < count; ++i)
        out[i] = std::uint8_t((above[i] * keep + below[i] * weight) >> 8);
}

} // namespace

WindowScale::WindowScale(double factor, Size window)
    : m_factor(factor)
    , m_window(window)
{
    m_device = { int(std::lround(window.width * factor)), int(std::lround(window.height * factor)) };
    double whole = std::round(factor);
    m_whole = std::fabs(factor - whole) < 1e-9 && whole >= 1 ? int(whole) : 0;
    if (m_whole)
        return;
    // The screen pixel's centre, in window pixels, lies between two window pixel centres: the
    // filter mixes those two by the distance (the ends repeat the edge pixel).
    auto taps = [](int window_size, int device_size) {
        std::vector<Tap> list(static_cast<std::size_t>(device_size));
        for (int d = 0; d < device_size; ++d) {
            double u = (d + 0.5) * window_size / device_size - 0.5;
            double first = std::floor(u);
            int weight = int(std::lround((u - first) * 256));
            int index = int(first);
            if (index < 0) {
                index = 0;
                weight = 0;
            } else if (index >= window_size - 1) {
                index = window_size - 1;
                weight = 0;
            } else if (weight == 256) {
                ++index;
                weight = 0;
            }
            list[std::size_t(d)] = { index, weight };
        }
        return list;
    };
    m_columns = taps(window.width, m_device.width);
    m_rows = taps(window.height, m_device.height);
}

Point WindowScale::ToWindow(Point device) const
{
    // The window pixel that holds the screen pixel's centre: for a whole factor k that is device / k,
    // and for a fractional one the pixel that weighs most in the filtered colour. Points beyond the
    // window (a drag that leaves it) map beyond it the same way.
    auto map = [](int d, int window_size, int device_size) {
        std::int64_t numerator = (2 * std::int64_t(d) + 1) * window_size;
        std::int64_t denominator = 2 * std::int64_t(device_size);
        std::int64_t quotient = numerator / denominator;
        if (numerator % denominator != 0 && numerator < 0)
            --quotient; // round toward minus infinity
        return int(quotient);
    };
    return { map(device.x, m_window.width, m_device.width), map(device.y, m_window.height, m_device.height) };
}

Rect WindowScale::ToDevice(Rect window_rect) const
{
    Rect r = window_rect.Intersected({ 0, 0, m_window.width, m_window.height });
    if (r.IsEmpty())
        return {};
    if (m_whole)
        return { r.left * m_whole, r.top * m_whole, r.right * m_whole, r.bottom * m_whole };
    // The filter reaches half a window pixel beyond the centres it mixes; one more screen pixel on
    // each side covers the rounding.
    auto low = [](int w, int window_size, int device_size) {
        return std::max(0, int(std::floor((w - 0.5) * device_size / window_size)) - 1);
    };
    auto high = [](int w, int window_size, int device_size) {
        return std::min(device_size, int(std::ceil((w + 0.5) * device_size / window_size)) + 1);
    };
    return { low(r.left, m_window.width, m_device.width), low(r.top, m_window.height, m_device.height),
        high(r.right, m_window.width, m_device.width), high(r.bottom, m_window.height, m_device.height) };
}

Rect WindowScale::DeviceArea(Rect window_rect) const
{
    if (m_whole)
        return { window_rect.left * m_whole, window_rect.top * m_whole, window_rect.right * m_whole,
            window_rect.bottom * m_whole };
    auto edge = [](int w, int window_size, int device_size) {
        return int(std::lround(double(w) * device_size / window_size));
    };
    return { edge(window_rect.left, m_window.width, m_device.width), edge(window_rect.top, m_window.height, m_device.height),
        edge(window_rect.right, m_window.width, m_device.width), edge(window_rect.bottom, m_window.height, m_device.height) };
}

void WindowScale::Scale(const PixelBuffer& window, Rect dirty, PixelBuffer& device, Point origin) const
{
    assert(window.Width() == m_window.width && window.Height() == m_window.height);
    dirty = dirty.Intersected(window.Bounds());
    if (dirty.IsEmpty())
        return;
    [[maybe_unused]] Rect target = ToDevice(dirty);
    assert(Rect::FromSize(origin.x, origin.y, device.Width(), device.Height()).Intersected(target) == target);
    if (m_whole)
        ScaleWhole(window, dirty, device, origin);
    else
        ScaleFiltered(window, target, device, origin);
}

void WindowScale::ScaleWhole(const PixelBuffer& window, Rect dirty, PixelBuffer& device, Point origin) const
{
    const int k = m_whole;
    const std::size_t row_bytes = std::size_t(dirty.Width()) * std::size_t(k) * sizeof(Pixel);
    for (int y = dirty.top; y < dirty.bottom; ++y) {
        const Pixel* in = window.Row(y) + dirty.left;
        Pixel* out = device.Row(y * k - origin.y) + dirty.left * k - origin.x;
        const int count = dirty.Width();
        switch (k) {
        case 1:
            std::memcpy(out, in, row_bytes);
            break;
        case 2:
            for (int x = 0; x < count; ++x) {
                out[2 * x] = in[x];
                out[2 * x + 1] = in[x];
            }
            break;
        case 3:
            for (int x = 0; x < count; ++x) {
                out[3 * x] = in[x];
                out[3 * x + 1] = in[x];
                out[3 * x + 2] = in[x];
            }
            break;
        default:
            for (int x = 0; x < count; ++x)
                for (int i = 0; i < k; ++i)
                    out[k * x + i] = in[x];
            break;
        }
        // The other screen rows of this window row are the same.
        for (int i = 1; i < k; ++i)
            std::memcpy(device.Row(y * k + i - origin.y) + dirty.left * k - origin.x, out, row_bytes);
    }
}

void WindowScale::ScaleFiltered(const PixelBuffer& window, Rect target, PixelBuffer& device, Point origin) const
{
    // Separable: each window row is filtered across once into a screen-wide row, and each screen row
    // mixes the two filtered rows around it. Screen rows walk down the window rows, so two cached
    // rows serve them all.
    const int last_row = m_window.height - 1;
    const int last_column = m_window.width - 1;
    const std::size_t width = std::size_t(target.Width());
    m_across[0].resize(width);
    m_across[1].resize(width);
    int cached[2] = { -1, -1 };
    auto across = [&](int window_row) -> const Pixel* {
        for (int i = 0; i < 2; ++i)
            if (cached[i] == window_row)
                return m_across[std::size_t(i)].data();
        // Replace the row that is not the one just above.
        int slot = cached[0] < cached[1] ? 0 : 1;
        cached[slot] = window_row;
        const Pixel* in = window.Row(window_row);
        Pixel* out = m_across[std::size_t(slot)].data();
        for (int x = target.left; x < target.right; ++x) {
            const Tap column = m_columns[std::size_t(x)];
            *out++ = Mix(in[column.first], in[std::min(column.first + 1, last_column)], std::uint32_t(column.weight));
        }
        return m_across[std::size_t(slot)].data();
    };
    for (int y = target.top; y < target.bottom; ++y) {
        const Tap row = m_rows[std::size_t(y)];
        Pixel* out = device.Row(y - origin.y) + (target.left - origin.x);
        const Pixel* above = across(row.first);
        if (row.weight == 0) {
            std::memcpy(out, above, width * sizeof(Pixel));
            continue;
        }
        const Pixel* below = across(std::min(row.first + 1, last_row));
        MixRows(reinterpret_cast<const std::uint8_t*>(above), reinterpret_cast<const std::uint8_t*>(below),
            reinterpret_cast<std::uint8_t*>(out), width * sizeof(Pixel), std::uint16_t(row.weight));
    }
}
