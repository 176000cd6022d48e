#pragma once

#include "framework/TBitmap.h"
#include "platform/Geometry.h"

#include <vector>

// Fitting skin pictures to any size by tiling, never by scaling, so that skin images keep their
// pixels at every size. Every copy is a source-copy block transfer. A skin's rectangles, points and
// offsets may hold any value: each fitting draws only what falls inside the area it paints (the
// canvas's clip within its surface, or the limit given for a bitmap it builds), its loops run over
// that area only and its coordinates saturate (platform/Geometry.h). Source rectangles outside the
// picture copy nothing.

// Copies `src` of `picture` onto `dest` (canvas coordinates), stretching when the sizes differ.
void CopyPicturePart(TCanvas& canvas, Rect dest, const TBitmap& picture, Rect src);
inline void CopyPicturePart(TBitmap& bitmap, Rect dest, const TBitmap& picture, Rect src)
{
    CopyPicturePart(bitmap.Canvas(), dest, picture, src);
}
// Draws `src` of `pixels` one to one at `dest` on a canvas, only the part inside the canvas's clip
// and the source (the block transfer below must never see a rectangle that misses either).
void DrawPixelsClipped(TCanvas& canvas, Rect dest, const PixelBuffer& pixels, Rect src);

// Draws, with its top-left corner at `at`, the strip `width` x (height of `src`): the leftmost `left`
// and rightmost `right` columns of `src` at its ends, the middle columns repeated between them, the
// last repetition cut.
void DrawTiledHorizontally(TCanvas& canvas, Point at, int left, int right, int width, Rect src, const TBitmap& picture);
// The same along the other axis: (width of `src`) x `height`.
void DrawTiledVertically(TCanvas& canvas, Point at, int top, int bottom, int height, Rect src, const TBitmap& picture);

// `bitmap` becomes the strip DrawTiledHorizontally draws, at most `limit` large: the part of the
// strip that is painted (a strip may be any size a skin names; the bitmap never exceeds its place).
void TileHorizontally(int left, int right, TBitmap& bitmap, int width, Rect src, const TBitmap& picture, Size limit);
void TileVertically(int top, int bottom, TBitmap& bitmap, int height, Rect src, const TBitmap& picture, Size limit);

// The stretch points and client rectangle of a skin image (relative to its skin rectangle), at the
// natural size or fitted to a control's size.
struct TbsStretchPoints {
    Point LT, RT, LB, RB;
    Rect Client;
};

// Nine-part fitting: `bitmap` becomes width x height (at most `limit`) with the frame's corner pieces
// copied one to one at the fitted points, the edges tiled between them and, when `fill_client`, the
// client image tiled over the fitted client rectangle.
void PaintCorners(const TbsStretchPoints& natural, Rect skin_rect, const TbsStretchPoints& fitted, int width,
    int height, const TBitmap& picture, bool fill_client, TBitmap& bitmap, Size limit);

// A window shape: one-pixel-high rectangles covering the mask's black pixels.
struct TbsRegion {
    std::vector<Rect> Rects;
    Rect Bounds;
};

// Scans each row of `mask` from left to right; every maximal run of black pixels becomes a
// rectangle, moved by `offset`. At most MaxRegionRects rectangles are collected.
constexpr int MaxRegionRects = 10000;
TbsRegion RegionFromMask(const TBitmap& mask, Point offset);
