#pragma once

#include "framework/TFont.h"
#include "platform/PixelBuffer.h"
#include "platform/Raster.h"

#include <cstdint>
#include <string_view>

class TGraphic;

enum class TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color { clWhite };
    TBrushStyle Style { TBrushStyle::bsSolid };
};

struct TPen {
    TColor Color { clBlack };
    int Width { 1 };
};

// CopyRect's raster operations.
enum class TCopyMode { cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert, cmNotSrcCopy };

// Background modes of text output: TRANSPARENT (1) and OPAQUE (2).
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Where a canvas draws: a window's surface or a bitmap. Lock gives the pixels as 32-bit pixels for
// one operation; Unlock writes them back when the surface stores another format. `drawn` is the
// clip of the operation, in surface coordinates: nothing outside it changed.
class CanvasSurface {
public:
    virtual ~CanvasSurface() = default;
    virtual PixelBuffer* Lock() = 0;
    virtual void Unlock(bool modified, Rect drawn) = 0;
};

// Drawing on a surface with a font, a brush and a pen, in coordinates moved by an origin and clipped
// to a clip rectangle.
class TCanvas : public TObject {
public:
    explicit TCanvas(CanvasSurface* surface = nullptr)
        : m_surface(surface)
    {
    }
    void SetSurface(CanvasSurface* surface) { m_surface = surface; }
    bool HandleAllocated() const { return m_surface != nullptr; }

    TFont& Font() { return m_font; }
    TBrush& Brush() { return m_brush; }
    TPen& Pen() { return m_pen; }
    TCopyMode CopyMode { TCopyMode::cmSrcCopy };

    // The origin is where canvas (0, 0) lies on the surface; the clip is in surface coordinates.
    Point Origin() const { return m_origin; }
    void SetOrigin(Point origin) { m_origin = origin; }
    void Translate(int dx, int dy) { m_origin = { m_origin.x + dx, m_origin.y + dy }; }
    Rect ClipRect() const { return m_clip.Translated(-m_origin.x, -m_origin.y); } // canvas coordinates
    void SetClip(Rect surface_clip) { m_clip = surface_clip; }
    void IntersectClip(Rect canvas_rect) { m_clip = m_clip.Intersected(canvas_rect.Translated(m_origin.x, m_origin.y)); }
    void ResetClip() { m_clip = { -(1 << 29), -(1 << 29), 1 << 29, 1 << 29 }; }
    // The part of the canvas that drawing can change, in canvas coordinates: the clip within the
    // surface (empty without a surface).
    Rect PaintableRect();

    void SetBkMode(int mode) { m_bk_transparent = mode == TRANSPARENT; }
    int BkMode() const { return m_bk_transparent ? TRANSPARENT : OPAQUE; }

    void FillRect(Rect rect);
    void FrameRect(Rect rect);
    void Rectangle(Rect rect);
    void MoveTo(int x, int y) { m_pen_pos = { x, y }; }
    void LineTo(int x, int y);
    void DrawFocusRect(Rect rect);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void TextOut(int x, int y, std::string_view text);
    // Text clipped to `rect`, the rectangle filled first unless the brush is clear.
    void TextRect(Rect rect, int x, int y, std::string_view text);
    int TextWidth(std::string_view text) { return m_font.Face().TextWidth(text); }
    int TextHeight(std::string_view) { return m_font.Face().Metrics().height; }

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(Rect rect, TGraphic& graphic);
    void CopyRect(Rect dest, TCanvas& source, Rect source_rect);

    // Pixel transfers for graphics drawing themselves: `dest` in canvas coordinates.
    void DrawPixels(Rect dest, const PixelBuffer& source, Rect source_rect, RasterOp op = RasterOp::Copy);
    void DrawPixelsTransparent(Rect dest, const PixelBuffer& source, Rect source_rect, TColor transparent);
    void DrawPixelsMasked(Rect dest, const PixelBuffer& source, Rect source_rect, const std::uint8_t* mask,
        int mask_stride);

    // Runs `draw` on the surface's pixels with the clip in surface coordinates; returns false when
    // there is no surface.
    template<typename Draw>
    bool WithPixels(Draw draw, bool modifies = true)
    {
        if (!m_surface)
            return false;
        PixelBuffer* pixels = m_surface->Lock();
        if (!pixels)
            return false;
        draw(*pixels, m_clip);
        m_surface->Unlock(modifies, m_clip);
        return true;
    }

private:
    Rect ToSurface(Rect r) const { return r.Translated(m_origin.x, m_origin.y); }

    CanvasSurface* m_surface;
    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    Point m_origin;
    Rect m_clip { -(1 << 29), -(1 << 29), 1 << 29, 1 << 29 };
    Point m_pen_pos;
    bool m_bk_transparent { false };
};

// Saves a canvas's origin and clip and restores them on every path out of a scope.
class CanvasState {
public:
    explicit CanvasState(TCanvas& canvas)
        : m_canvas(canvas)
        , m_origin(canvas.Origin())
        , m_clip(canvas.ClipRect().Translated(canvas.Origin().x, canvas.Origin().y))
    {
    }
    ~CanvasState()
    {
        m_canvas.SetOrigin(m_origin);
        m_canvas.SetClip(m_clip);
    }
    CanvasState(const CanvasState&) = delete;
    CanvasState& operator=(const CanvasState&) = delete;

private:
    TCanvas& m_canvas;
    Point m_origin;
    Rect m_clip;
};
