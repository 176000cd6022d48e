#include "skin/SkinPictures.h"

#include <algorithm>

namespace {

void Prepare(TBitmap& bitmap, int width, int height)
{
    if (bitmap.PixelFormat() != TPixelFormat::pf32bit)
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(width, height);
}

// Tiles the source span [src_start, src_start + src_length) along one axis over the destination
// span [dst_start, dst_end): (destination length div source length) + 1 tiles, the last one cut so
// that nothing is stretched. `place` copies one tile given (dst offset, src offset, length).
template<typename Place>
void TileSpan(int dst_start, int dst_end, int src_start, int src_length, Place place)
{
    int length = dst_end - dst_start;
    if (src_length <= 0 || length < 0)
        return;
    int count = length / src_length;
    for (int k = 0; k <= count; ++k) {
        int at = dst_start + k * src_length;
        int part = std::min(src_length, dst_end - at);
        if (part > 0)
            place(at, src_start, part);
    }
}

} // namespace

void CopyPicturePart(TBitmap& bitmap, Rect dest, const TBitmap& picture, Rect src)
{
    if (dest.IsEmpty() || src.IsEmpty() || picture.Empty() || bitmap.Empty())
        return;
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        // A one-to-one copy moves only what lies inside both the bitmap and the picture (a skin
        // may name rectangles that reach past its picture, or fit pieces past the control's edge).
        const int dx = src.left - dest.left;
        const int dy = src.top - dest.top;
        Rect inside = dest.Intersected({ 0, 0, bitmap.Width(), bitmap.Height() })
                          .Intersected(bitmap.Canvas().ClipRect())
                          .Intersected(Rect { 0, 0, picture.Width(), picture.Height() }.Translated(-dx, -dy));
        if (inside.IsEmpty())
            return;
        DrawPixelsClipped(bitmap.Canvas(), inside, picture.Pixels(), inside.Translated(dx, dy));
        return;
    }
    bitmap.Canvas().DrawPixels(dest, picture.Pixels(), src);
}

void DrawPixelsClipped(TCanvas& canvas, Rect dest, const PixelBuffer& pixels, Rect src)
{
    const Point origin = canvas.Origin();
    // Source offset from the destination, in surface coordinates.
    const int dx = src.left - (dest.left + origin.x);
    const int dy = src.top - (dest.top + origin.y);
    Rect wanted = Rect::FromSize(dest.left + origin.x, dest.top + origin.y, std::min(dest.Width(), src.Width()),
        std::min(dest.Height(), src.Height()));
    canvas.WithPixels([&](PixelBuffer& surface, Rect clip) {
        Rect inside = wanted.Intersected(clip).Intersected(surface.Bounds()).Intersected(
            pixels.Bounds().Translated(-dx, -dy));
        if (inside.IsEmpty())
            return;
        BlockCopy(surface, inside.TopLeft(), pixels, inside.Translated(dx, dy), RasterOp::Copy, inside);
    });
}

void TileHorizontally(int left, int right, TBitmap& bitmap, int width, Rect src, const TBitmap& picture)
{
    int height = src.Height();
    Prepare(bitmap, width, height);
    if (bitmap.Empty())
        return;
    if (left > 0)
        CopyPicturePart(bitmap, { 0, 0, left, height }, picture, { src.left, src.top, src.left + left, src.bottom });
    if (right > 0)
        CopyPicturePart(bitmap, { width - right, 0, width, height }, picture,
            { src.right - right, src.top, src.right, src.bottom });
    int middle = src.Width() - left - right;
    if (middle < 1)
        middle = 1; // an empty middle repeats one column
    int count = (width - left - right) / middle;
    if (width - left - right < 0 || count < 0)
        return;
    for (int k = 0; k <= count; ++k) {
        int x = left + k * middle;
        int part = middle;
        int overrun = left + (k + 1) * middle + right - width;
        if (overrun > 0)
            part -= overrun;
        if (part <= 0)
            continue;
        CopyPicturePart(bitmap, { x, 0, x + part, height }, picture,
            { src.left + left, src.top, src.left + left + part, src.bottom });
    }
}

void TileVertically(int top, int bottom, TBitmap& bitmap, int height, Rect src, const TBitmap& picture)
{
    int width = src.Width();
    Prepare(bitmap, width, height);
    if (bitmap.Empty())
        return;
    if (top > 0)
        CopyPicturePart(bitmap, { 0, 0, width, top }, picture, { src.left, src.top, src.right, src.top + top });
    if (bottom > 0)
        CopyPicturePart(bitmap, { 0, height - bottom, width, height }, picture,
            { src.left, src.bottom - bottom, src.right, src.bottom });
    int middle = src.Height() - top - bottom;
    if (middle < 1)
        middle = 1;
    int count = (height - top - bottom) / middle;
    if (height - top - bottom < 0 || count < 0)
        return;
    for (int k = 0; k <= count; ++k) {
        int y = top + k * middle;
        int part = middle;
        int overrun = top + (k + 1) * middle + bottom - height;
        if (overrun > 0)
            part -= overrun;
        if (part <= 0)
            continue;
        CopyPicturePart(bitmap, { 0, y, width, y + part }, picture,
            { src.left, src.top + top, src.right, src.top + top + part });
    }
}

void PaintCorners(const TbsStretchPoints& n, Rect skin_rect, const TbsStretchPoints& f, int width, int height,
    const TBitmap& picture, bool fill_client, TBitmap& bitmap)
{
    Prepare(bitmap, width, height);
    if (n.RB.x == n.LT.x || n.RB.y == n.LT.y || picture.Empty() || bitmap.Empty())
        return;
    const int sw = skin_rect.Width();
    const int sh = skin_rect.Height();
    const int sx = skin_rect.left;
    const int sy = skin_rect.top;
    const Rect& c = n.Client;
    const Rect& fc = f.Client;
    // A piece of the skin (skin coordinates) onto the bitmap.
    auto copy = [&](Rect dest, Rect src) { CopyPicturePart(bitmap, dest, picture, src.Translated(sx, sy)); };

    // Edges: top, bottom (tiled along x), left, right (tiled along y).
    TileSpan(f.LT.x, f.RT.x, n.LT.x, n.RT.x - n.LT.x, [&](int at, int from, int len) {
        copy({ at, 0, at + len, fc.top }, { from, 0, from + len, c.top });
    });
    TileSpan(f.LB.x, f.RB.x, n.LB.x, n.RB.x - n.LB.x, [&](int at, int from, int len) {
        copy({ at, fc.bottom, at + len, height }, { from, c.bottom, from + len, sh });
    });
    TileSpan(f.LT.y, f.LB.y, n.LT.y, n.LB.y - n.LT.y, [&](int at, int from, int len) {
        copy({ 0, at, fc.left, at + len }, { 0, from, c.left, from + len });
    });
    TileSpan(f.RT.y, f.RB.y, n.RT.y, n.RB.y - n.RT.y, [&](int at, int from, int len) {
        copy({ fc.right, at, width, at + len }, { c.right, from, sw, from + len });
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
    const int cw = c.Width();
    const int ch = c.Height();
    TileSpan(fc.top, fc.bottom, c.top, ch, [&](int y, int from_y, int h) {
        TileSpan(fc.left, fc.right, c.left, cw, [&](int x, int from_x, int w) {
            copy({ x, y, x + w, y + h }, { from_x, from_y, from_x + w, from_y + h });
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
