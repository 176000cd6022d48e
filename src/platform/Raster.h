#pragma once

#include "platform/PixelBuffer.h"

#include <cstdint>

// Raster operations on pixel buffers, the stand-ins for the platform's block and stretch
// transfers. Every operation clips to `clip` (destination coordinates) and to the destination.

enum class RasterOp {
    Copy,    // destination := source
    And,     // destination := destination AND source
    Or,      // destination := destination OR source
    Xor,     // destination := destination XOR source
    NotCopy, // destination := NOT source
};

void FillRect(PixelBuffer& dst, Rect area, Pixel color, Rect clip);
void FillRect(PixelBuffer& dst, Rect area, Pixel color);
// A one-pixel frame just inside `area`.
void FrameRect(PixelBuffer& dst, Rect area, Pixel color, Rect clip);
// A line from (x0, y0) towards (x1, y1), leaving out the last point as the platform's LineTo does.
void DrawLine(PixelBuffer& dst, Point from, Point to, Pixel color, Rect clip);
// Every other pixel of the frame, XOR-ed: the dotted focus rectangle.
void DrawFocusRect(PixelBuffer& dst, Rect area, Rect clip);

// Copies `src_area` of `src` to `dst_area`, stretching by nearest neighbour when the sizes differ.
void StretchCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, RasterOp op, Rect clip);
inline void BlockCopy(PixelBuffer& dst, Point at, const PixelBuffer& src, Rect src_area, RasterOp op, Rect clip)
{
    StretchCopy(dst, Rect::FromSize(at.x, at.y, src_area.Width(), src_area.Height()), src, src_area, op, clip);
}

// As StretchCopy, leaving out every source pixel of colour `transparent` (alpha ignored).
void TransparentCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, Pixel transparent,
    Rect clip);

// As StretchCopy, leaving out every source pixel whose mask bit is set. The mask is a 1-bit image,
// rows top-down, `mask_stride` bytes per row, most significant bit first, of the source's size.
void MaskedCopy(PixelBuffer& dst, Rect dst_area, const PixelBuffer& src, Rect src_area, const std::uint8_t* mask,
    int mask_stride, Rect clip);

// Blends a coverage map (0 = nothing, 255 = full) of `color` onto `dst` at `at`: glyph drawing.
void BlendCoverage(PixelBuffer& dst, Point at, const std::uint8_t* coverage, int width, int height, int pitch,
    Pixel color, Rect clip);
