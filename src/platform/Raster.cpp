#include "platform/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

Rect ClipTo(const PixelBuffer& dst, Rect area, Rect clip)
{
    return area.Intersected(clip).Intersected(dst.Bounds());
}

inline Pixel Combine(Pixel d, Pixel s, RasterOp op)
{
    switch (op) {
    case RasterOp::Copy:
        return s;
    case RasterOp::And:
        return d & s;
    case RasterOp::Or:
        return d | s;
    case RasterOp::Xor:
        return (d ^ s) | 0xFF000000u;
    case RasterOp::NotCopy:
        return ~s | 0xFF000000u;
    }
    return s;
}

// Source coordinate of each destination column (or row) from..to of a stretch of the span
// [dst_start, dst_end) onto [src_start, src_end), nearest neighbour, sampled at pixel centres so that
// an exact multiple repeats every source pixel equally often: floor((2x + 1) * src / (2 * dst)) for
// the x-th destination pixel, computed as floor((x * src + src div 2) / dst), which is the same and
// stays within 64 bits for spans as long as the int range.
void SourceIndexes(std::vector<int>& out, int dst_start, int dst_end, int src_start, int src_end, int from, int to)
{
    out.resize(std::size_t(std::max(0, to - from)));
    const auto dst_len = static_cast<std::uint64_t>(static_cast<long long>(dst_end) - dst_start);
    const auto src_len = static_cast<std::uint64_t>(static_cast<long long>(src_end) - src_start);
    for (int d = from; d < to; ++d) {
        auto x = static_cast<std::uint64_t>(static_cast<long long>(d) - dst_start);
        out[std::size_t(d - from)] = src_start + static_cast<int>((x * src_len + src_len / 2) / dst_len);
    }
}

template<typename PerPixel>
void StretchEach(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, Rect clip, PerPixel per_pixel)
{
    if (dst_area.IsEmpty() || src_area.IsEmpty())
        return;
    Rect area = ClipTo(dst, dst_area, clip);
    // Source pixels outside the source buffer are never read.
    if (area.IsEmpty())
        return;
    thread_local std::vector<int> xs, ys;
    SourceIndexes(xs, dst_area.left, dst_area.right, src_area.left, src_area.right, area.left, area.right);
    SourceIndexes(ys, dst_area.top, dst_area.bottom, src_area.top, src_area.bottom, area.top, area.bottom);
    for (int y = area.top; y < area.bottom; ++y) {
        int sy = ys[std::size_t(y - area.top)];
        if (sy < 0 || sy >= src.Height())
            continue;
        Pixel* row = dst.Row(y);
        const Pixel* src_row = src.Row(sy);
        for (int x = area.left; x < area.right; ++x) {
            int sx = xs[std::size_t(x - area.left)];
            if (sx < 0 || sx >= src.Width())
                continue;
            per_pixel(row[x], src_row[sx], sx, sy);
        }
    }
}

} // namespace

void FillRect(PixelBuffer& dst, Rect area, Pixel color, Rect clip)
{
    area = ClipTo(dst, area, clip);
    // An area wholly beside the clip intersects to a negative width.
    if (area.IsEmpty())
        return;
    for (int y = area.top; y < area.bottom; ++y)
        std::fill(dst.Row(y) + area.left, dst.Row(y) + area.right, color);
}

void FillRect(PixelBuffer& dst, Rect area, Pixel color)
{
    FillRect(dst, area, color, dst.Bounds());
}

void FrameRect(PixelBuffer& dst, Rect area, Pixel color, Rect clip)
{
    if (area.IsEmpty())
        return;
    FillRect(dst, { area.left, area.top, area.right, area.top + 1 }, color, clip);
    FillRect(dst, { area.left, area.bottom - 1, area.right, area.bottom }, color, clip);
    FillRect(dst, { area.left, area.top, area.left + 1, area.bottom }, color, clip);
    FillRect(dst, { area.right - 1, area.top, area.right, area.bottom }, color, clip);
}

void DrawLine(PixelBuffer& dst, Point from, Point to, Pixel color, Rect clip)
{
    clip = clip.Intersected(dst.Bounds());
    int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    Point p = from;
    while (p != to) {
        if (clip.Contains(p))
            dst.At(p.x, p.y) = color;
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
}

void DrawFocusRect(PixelBuffer& dst, Rect area, Rect clip)
{
    clip = clip.Intersected(dst.Bounds());
    auto flip = [&](int x, int y) {
        if (clip.Contains({ x, y }))
            dst.At(x, y) ^= 0x00FFFFFFu;
    };
    for (int x = area.left; x < area.right; x += 2) {
        flip(x, area.top);
        if (area.bottom - 1 > area.top)
            flip(x, area.bottom - 1);
    }
    for (int y = area.top + 2; y < area.bottom - 1; y += 2) {
        flip(area.left, y);
        if (area.right - 1 > area.left)
            flip(area.right - 1, y);
    }
}

void StretchCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, RasterOp op, Rect clip)
{
    // Sizes and offsets in 64 bits: areas far apart or wider than the int range are compared and
    // moved exactly.
    auto length = [](int from, int to) { return static_cast<long long>(to) - from; };
    bool one_to_one = length(dst_area.left, dst_area.right) == length(src_area.left, src_area.right)
        && length(dst_area.top, dst_area.bottom) == length(src_area.top, src_area.bottom);
    if (one_to_one && op == RasterOp::Copy) {
        // The common case: a plain block copy, row by row.
        Rect area = ClipTo(dst, dst_area, clip);
        long long offset_x = length(dst_area.left, src_area.left), offset_y = length(dst_area.top, src_area.top);
        area = area.Intersected(src.Bounds().Translated(Saturated(-offset_x), Saturated(-offset_y)));
        if (area.IsEmpty())
            return;
        // Both areas hold the pixels now, so the offsets are less than the buffers' sizes.
        int dx = static_cast<int>(offset_x), dy = static_cast<int>(offset_y);
        for (int y = area.top; y < area.bottom; ++y)
            std::memmove(dst.Row(y) + area.left, src.Row(y + dy) + area.left + dx,
                std::size_t(area.Width()) * sizeof(Pixel));
        return;
    }
    if (op == RasterOp::Copy && src.Bounds().Intersected(src_area) == src_area) {
        // A plain stretch from inside the source: every sampled pixel exists, so the rows copy
        // through the column table without further checks.
        Rect area = ClipTo(dst, dst_area, clip);
        if (area.IsEmpty() || src_area.IsEmpty())
            return;
        thread_local std::vector<int> xs, ys;
        SourceIndexes(xs, dst_area.left, dst_area.right, src_area.left, src_area.right, area.left, area.right);
        SourceIndexes(ys, dst_area.top, dst_area.bottom, src_area.top, src_area.bottom, area.top, area.bottom);
        const int* columns = xs.data();
        const int width = area.Width();
        for (int y = area.top; y < area.bottom; ++y) {
            Pixel* out = dst.Row(y) + area.left;
            const Pixel* in = src.Row(ys[std::size_t(y - area.top)]);
            for (int i = 0; i < width; ++i)
                out[i] = in[columns[i]];
        }
        return;
    }
    StretchEach(dst, dst_area, src, src_area, clip, [op](Pixel& d, Pixel s, int, int) { d = Combine(d, s, op); });
}

void TransparentCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, Pixel transparent,
    Rect clip)
{
    Pixel key = transparent & 0x00FFFFFFu;
    StretchEach(dst, dst_area, src, src_area, clip, [key](Pixel& d, Pixel s, int, int) {
        if ((s & 0x00FFFFFFu) != key)
            d = s;
    });
}

void MaskedCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, const std::uint8_t* mask,
    int mask_stride, Rect clip)
{
    StretchEach(dst, dst_area, src, src_area, clip, [=](Pixel& d, Pixel s, int sx, int sy) {
        bool transparent = mask[std::ptrdiff_t(sy) * mask_stride + (sx >> 3)] & (0x80 >> (sx & 7));
        if (!transparent)
            d = s;
    });
}

void BlendCoverage(PixelBuffer& dst, Point at, const std::uint8_t* coverage, int width, int height, int pitch,
    Pixel color, Rect clip)
{
    Rect area = ClipTo(dst, Rect::FromSize(at.x, at.y, width, height), clip);
    const unsigned cr = color >> 16 & 0xFF, cg = color >> 8 & 0xFF, cb = color & 0xFF;
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint8_t* cov = coverage + std::ptrdiff_t(y - at.y) * pitch - at.x;
        Pixel* row = dst.Row(y);
        for (int x = area.left; x < area.right; ++x) {
            unsigned a = cov[x];
            if (a == 0)
                continue;
            if (a == 255) {
                row[x] = color | 0xFF000000u;
                continue;
            }
            Pixel d = row[x];
            unsigned r = ((d >> 16 & 0xFF) * (255 - a) + cr * a + 127) / 255;
            unsigned g = ((d >> 8 & 0xFF) * (255 - a) + cg * a + 127) / 255;
            unsigned b = ((d & 0xFF) * (255 - a) + cb * a + 127) / 255;
            row[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
}
