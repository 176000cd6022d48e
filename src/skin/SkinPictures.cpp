#include "skin/SkinPictures.h"

#include <algorithm>

namespace {

void Prepare(TBitmap& bitmap, int width, int height, Size limit)
{
    if (bitmap.PixelFormat() != TPixelFormat::pf32bit)
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(std::clamp(width, 0, std::max(limit.width, 0)), std::clamp(height, 0, std::max(limit.height, 0)));
    bitmap.Canvas().SetOrigin({ 0, 0 });
    bitmap.Canvas().ResetClip();
}

// Tiles the source span [src_start, src_start + src_length) along one axis over the destination
// span [dst_start, dst_end): tile k starts at dst_start + k * src_length, the last one is cut at
// dst_end so that nothing is stretched. Only the tiles that reach into [visible_from, visible_to)
// are placed, so the loop is as long as the visible part, whatever the spans: `place(at, from,
// length)`.
template<typename Place>
void TileSpan(long long dst_start, long long dst_end, int src_start, long long src_length, long long visible_from,
    long long visible_to, Place place)
{
    if (src_length <= 0)
        return;
    const long long end = std::min(dst_end, visible_to);
    long long at = dst_start;
    if (visible_from > at)
        at += (visible_from - at) / src_length * src_length; // the tiles wholly before it
    for (; at < end; at += src_length)
        place(Saturated(at), src_start, static_cast<int>(std::min({ src_length, dst_end - at, 1LL * INT_MAX })));
}

// The middle of a strip between its fixed ends of `head` and `tail` pixels: at least one pixel.
long long MiddleLength(int from, int to, int head, int tail)
{
    return std::max(1LL, static_cast<long long>(to) - from - head - tail);
}

} // namespace

void CopyPicturePart(TCanvas& canvas, Rect dest, const TBitmap& picture, Rect src)
{
    if (dest.IsEmpty() || src.IsEmpty() || picture.Empty())
        return;
    auto length = [](int from, int to) { return static_cast<long long>(to) - from; };
    if (length(dest.left, dest.right) == length(src.left, src.right)
        && length(dest.top, dest.bottom) == length(src.top, src.bottom)) {
        // A one-to-one copy moves only what lies inside both the canvas and the picture (a skin
        // may name rectangles that reach past its picture, or fit pieces past the control's edge).
        DrawPixelsClipped(canvas, dest, picture.Pixels(), src);
        return;
    }
    canvas.DrawPixels(dest, picture.Pixels(), src); // clipped to the canvas by the transfer
}

void DrawPixelsClipped(TCanvas& canvas, Rect dest, const PixelBuffer& pixels, Rect src)
{
    const Point origin = canvas.Origin();
    // Source offset from the destination, in surface coordinates.
    const long long dx = static_cast<long long>(src.left) - dest.left - origin.x;
    const long long dy = static_cast<long long>(src.top) - dest.top - origin.y;
    Rect wanted = Rect::FromSize(SatAdd(dest.left, origin.x), SatAdd(dest.top, origin.y),
        std::min(dest.Width(), src.Width()), std::min(dest.Height(), src.Height()));
    canvas.WithPixels([&](PixelBuffer& surface, Rect clip) {
        Rect inside = wanted.Intersected(clip).Intersected(surface.Bounds()).Intersected(
            pixels.Bounds().Translated(Saturated(-dx), Saturated(-dy)));
        if (inside.IsEmpty())
            return;
        // Inside both buffers, the offset is less than their sizes.
        BlockCopy(surface, inside.TopLeft(), pixels, inside.Translated(int(dx), int(dy)), RasterOp::Copy, inside);
    });
}

void DrawTiledHorizontally(TCanvas& canvas, Point at, int left, int right, int width, Rect src, const TBitmap& picture)
{
    const Rect visible = canvas.PaintableRect();
    if (visible.IsEmpty() || picture.Empty() || width <= 0 || src.IsEmpty())
        return;
    // Columns of the strip (x from its left edge) onto the canvas.
    auto copy = [&](long long x, int length, int src_x) {
        CopyPicturePart(canvas, { Saturated(at.x + x), at.y, Saturated(at.x + x + length), SatAdd(at.y, src.Height()) },
            picture, { src_x, src.top, SatAdd(src_x, length), src.bottom });
    };
    if (left > 0)
        copy(0, left, src.left);
    if (right > 0)
        copy(static_cast<long long>(width) - right, right, SatSub(src.right, right));
    TileSpan(left, static_cast<long long>(width) - right, SatAdd(src.left, left),
        MiddleLength(src.left, src.right, left, right), static_cast<long long>(visible.left) - at.x,
        static_cast<long long>(visible.right) - at.x, [&](int x, int from, int length) { copy(x, length, from); });
}

void DrawTiledVertically(TCanvas& canvas, Point at, int top, int bottom, int height, Rect src, const TBitmap& picture)
{
    const Rect visible = canvas.PaintableRect();
    if (visible.IsEmpty() || picture.Empty() || height <= 0 || src.IsEmpty())
        return;
    auto copy = [&](long long y, int length, int src_y) {
        CopyPicturePart(canvas, { at.x, Saturated(at.y + y), SatAdd(at.x, src.Width()), Saturated(at.y + y + length) },
            picture, { src.left, src_y, src.right, SatAdd(src_y, length) });
    };
    if (top > 0)
        copy(0, top, src.top);
    if (bottom > 0)
        copy(static_cast<long long>(height) - bottom, bottom, SatSub(src.bottom, bottom));
    TileSpan(top, static_cast<long long>(height) - bottom, SatAdd(src.top, top),
        MiddleLength(src.top, src.bottom, top, bottom), static_cast<long long>(visible.top) - at.y,
        static_cast<long long>(visible.bottom) - at.y, [&](int y, int from, int length) { copy(y, length, from); });
}

void TileHorizontally(int left, int right, TBitmap& bitmap, int width, Rect src, const TBitmap& picture, Size limit)
{
    Prepare(bitmap, width, src.Height(), limit);
    if (!bitmap.Empty())
        DrawTiledHorizontally(bitmap.Canvas(), { 0, 0 }, left, right, width, src, picture);
}

void TileVertically(int top, int bottom, TBitmap& bitmap, int height, Rect src, const TBitmap& picture, Size limit)
{
    Prepare(bitmap, src.Width(), height, limit);
    if (!bitmap.Empty())
        DrawTiledVertically(bitmap.Canvas(), { 0, 0 }, top, bottom, height, src, picture);
}

void PaintCorners(const TbsStretchPoints& n, Rect skin_rect, const TbsStretchPoints& f, int width, int height,
    const TBitmap& picture, bool fill_client, TBitmap& bitmap, Size limit)
{
    Prepare(bitmap, width, height, limit);
    if (n.RB.x == n.LT.x || n.RB.y == n.LT.y || picture.Empty() || bitmap.Empty())
        return;
    const int sw = skin_rect.Width();
    const int sh = skin_rect.Height();
    const Rect& c = n.Client;
    const Rect& fc = f.Client;
    const long long bw = bitmap.Width();
    const long long bh = bitmap.Height();
    // A piece of the skin (skin coordinates) onto the bitmap.
    auto copy = [&](Rect dest, Rect src) {
        CopyPicturePart(bitmap, dest, picture, src.Translated(skin_rect.left, skin_rect.top));
    };

    // Edges: top, bottom (tiled along x), left, right (tiled along y).
    TileSpan(f.LT.x, f.RT.x, n.LT.x, static_cast<long long>(n.RT.x) - n.LT.x, 0, bw, [&](int at, int from, int len) {
        copy({ at, 0, SatAdd(at, len), fc.top }, { from, 0, SatAdd(from, len), c.top });
    });
    TileSpan(f.LB.x, f.RB.x, n.LB.x, static_cast<long long>(n.RB.x) - n.LB.x, 0, bw, [&](int at, int from, int len) {
        copy({ at, fc.bottom, SatAdd(at, len), height }, { from, c.bottom, SatAdd(from, len), sh });
    });
    TileSpan(f.LT.y, f.LB.y, n.LT.y, static_cast<long long>(n.LB.y) - n.LT.y, 0, bh, [&](int at, int from, int len) {
        copy({ 0, at, fc.left, SatAdd(at, len) }, { 0, from, c.left, SatAdd(from, len) });
    });
    TileSpan(f.RT.y, f.RB.y, n.RT.y, static_cast<long long>(n.RB.y) - n.RT.y, 0, bh, [&](int at, int from, int len) {
        copy({ fc.right, at, width, SatAdd(at, len) }, { c.right, from, sw, SatAdd(from, len) });
    });

    // The eight fixed pieces around the corners.
    copy({ 0, 0, f.LT.x, fc.top }, { 0, 0, n.LT.x, c.top });
    copy({ 0, fc.top, fc.left, f.LT.y }, { 0, c.top, c.left, n.LT.y });
    copy({ f.RT.x, 0, width, fc.top }, { n.RT.x, 0, sw, c.top });
    copy({ fc.right, fc.top, width, f.RT.y }, { c.right, c.top, sw, n.RT.y });
    copy({ 0, f.LB.y, fc.left, height }, { 0, n.LB.y, c.left, sh });
    copy({ fc.left, fc.bottom, f.LB.x, height }, { c.left, c.bottom, n.LB.x, sh });
    copy({ f.RB.x, fc.bottom, width, height }, { n.RB.x, c.bottom, sw, sh });
    copy({ fc.right, f.RB.y, width, fc.bottom }, { c.right, n.RB.y, sw, c.bottom });

    if (!fill_client)
        return;
    const long long cw = static_cast<long long>(c.right) - c.left;
    const long long ch = static_cast<long long>(c.bottom) - c.top;
    TileSpan(fc.top, fc.bottom, c.top, ch, 0, bh, [&](int y, int from_y, int h) {
        TileSpan(fc.left, fc.right, c.left, cw, 0, bw, [&](int x, int from_x, int w) {
            copy({ x, y, SatAdd(x, w), SatAdd(y, h) }, { from_x, from_y, SatAdd(from_x, w), SatAdd(from_y, h) });
        });
    });
}

TbsRegion RegionFromMask(const TBitmap& mask, Point offset)
{
    TbsRegion region;
    region.Bounds = Rect::FromSize(offset.x, offset.y, mask.Width(), mask.Height());
    if (mask.Empty())
        return region;
    const PixelBuffer& pixels = mask.Pixels();
    for (int y = 0; y < pixels.Height(); ++y) {
        const Pixel* row = pixels.Row(y);
        int x = 0;
        while (x < pixels.Width()) {
            if ((row[x] & 0x00FFFFFFu) != 0) {
                ++x;
                continue;
            }
            int start = x;
            while (x < pixels.Width() && (row[x] & 0x00FFFFFFu) == 0)
                ++x;
            if (static_cast<int>(region.Rects.size()) >= MaxRegionRects)
                return region;
            region.Rects.push_back({ start + offset.x, y + offset.y, x + offset.x, y + 1 + offset.y });
        }
    }
    return region;
}
