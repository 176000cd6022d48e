#include "framework/TCanvas.h"

#include "framework/TGraphic.h"

namespace {

RasterOp RasterOpOf(TCopyMode mode)
{
    switch (mode) {
    case TCopyMode::cmSrcCopy:
        return RasterOp::Copy;
    case TCopyMode::cmSrcAnd:
        return RasterOp::And;
    case TCopyMode::cmSrcPaint:
        return RasterOp::Or;
    case TCopyMode::cmSrcInvert:
        return RasterOp::Xor;
    case TCopyMode::cmNotSrcCopy:
        return RasterOp::NotCopy;
    }
    return RasterOp::Copy;
}

} // namespace

Rect TCanvas::PaintableRect()
{
    Rect paintable;
    WithPixels([&](PixelBuffer& pixels, Rect clip) { paintable = clip.Intersected(pixels.Bounds()); }, false);
    return paintable.Translated(SatSub(0, m_origin.x), SatSub(0, m_origin.y));
}

void TCanvas::FillRect(Rect rect)
{
    if (m_brush.Style == TBrushStyle::bsClear)
        return;
    ::Pixel color = ColorToPixel(ColorToRGB(m_brush.Color));
    WithPixels([&](PixelBuffer& pixels, Rect clip) { ::FillRect(pixels, ToSurface(rect), color, clip); });
}

void TCanvas::FrameRect(Rect rect)
{
    ::Pixel color = ColorToPixel(ColorToRGB(m_brush.Color));
    WithPixels([&](PixelBuffer& pixels, Rect clip) { ::FrameRect(pixels, ToSurface(rect), color, clip); });
}

void TCanvas::Rectangle(Rect rect)
{
    FillRect({ rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1 });
    ::Pixel color = ColorToPixel(ColorToRGB(m_pen.Color));
    WithPixels([&](PixelBuffer& pixels, Rect clip) { ::FrameRect(pixels, ToSurface(rect), color, clip); });
}

void TCanvas::LineTo(int x, int y)
{
    ::Pixel color = ColorToPixel(ColorToRGB(m_pen.Color));
    Point from = { m_pen_pos.x + m_origin.x, m_pen_pos.y + m_origin.y };
    Point to = { x + m_origin.x, y + m_origin.y };
    WithPixels([&](PixelBuffer& pixels, Rect clip) { DrawLine(pixels, from, to, color, clip); });
    m_pen_pos = { x, y };
}

void TCanvas::DrawFocusRect(Rect rect)
{
    WithPixels([&](PixelBuffer& pixels, Rect clip) { ::DrawFocusRect(pixels, ToSurface(rect), clip); });
}

TColor TCanvas::Pixel(int x, int y)
{
    TColor color = clBlack;
    Point p = { x + m_origin.x, y + m_origin.y };
    WithPixels(
        [&](PixelBuffer& pixels, Rect clip) {
            if (clip.Intersected(pixels.Bounds()).Contains(p))
                color = PixelToColor(pixels.At(p.x, p.y));
        },
        false);
    return color;
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    WithPixels([&](PixelBuffer& pixels, Rect clip) {
        ::FillRect(pixels, Rect::FromSize(x + m_origin.x, y + m_origin.y, 1, 1), ColorToPixel(ColorToRGB(color)), clip);
    });
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    FontFace& face = m_font.Face();
    Rect extent = Rect::FromSize(x, y, face.TextWidth(text), face.Metrics().height);
    bool opaque = !m_bk_transparent && m_brush.Style != TBrushStyle::bsClear;
    ::Pixel background = ColorToPixel(ColorToRGB(m_brush.Color));
    ::Pixel ink = ColorToPixel(ColorToRGB(m_font.Color()));
    WithPixels([&](PixelBuffer& pixels, Rect clip) {
        if (opaque)
            ::FillRect(pixels, ToSurface(extent), background, clip);
        face.DrawText(pixels, { SatAdd(x, m_origin.x), SatAdd(y, m_origin.y) }, text, ink, clip);
    });
    m_pen_pos = { SatAdd(x, extent.Width()), y };
}

void TCanvas::TextRect(Rect rect, int x, int y, std::string_view text)
{
    Rect saved = m_clip;
    if (m_brush.Style != TBrushStyle::bsClear)
        FillRect(rect);
    IntersectClip(rect);
    bool was_transparent = m_bk_transparent;
    m_bk_transparent = true;
    TextOut(x, y, text);
    m_bk_transparent = was_transparent;
    m_clip = saved;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    graphic.Draw(*this, Rect::FromSize(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(Rect rect, TGraphic& graphic)
{
    graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(Rect dest, TCanvas& source, Rect source_rect)
{
    if (&source == this || source.m_surface == m_surface) {
        // Copying within one surface: take a snapshot of the source first.
        PixelBuffer snapshot;
        Rect from = source_rect.Translated(source.m_origin.x, source.m_origin.y);
        source.WithPixels(
            [&](PixelBuffer& pixels, Rect) {
                Rect area = from.Intersected(pixels.Bounds());
                snapshot.Resize(from.Width(), from.Height(), 0xFF000000u);
                BlockCopy(snapshot, { area.left - from.left, area.top - from.top }, pixels, area, RasterOp::Copy,
                    snapshot.Bounds());
            },
            false);
        DrawPixels(dest, snapshot, snapshot.Bounds(), RasterOpOf(CopyMode));
        return;
    }
    RasterOp op = RasterOpOf(CopyMode);
    Rect from = source_rect.Translated(source.m_origin.x, source.m_origin.y);
    source.WithPixels([&](PixelBuffer& source_pixels, Rect) { DrawPixels(dest, source_pixels, from, op); }, false);
}

void TCanvas::DrawPixels(Rect dest, const PixelBuffer& source, Rect source_rect, RasterOp op)
{
    WithPixels([&](PixelBuffer& pixels, Rect clip) { StretchCopy(pixels, ToSurface(dest), source, source_rect, op, clip); });
}

void TCanvas::DrawPixelsTransparent(Rect dest, const PixelBuffer& source, Rect source_rect, TColor transparent)
{
    ::Pixel key = ColorToPixel(ColorToRGB(transparent));
    WithPixels([&](PixelBuffer& pixels, Rect clip) {
        TransparentCopy(pixels, ToSurface(dest), source, source_rect, key, clip);
    });
}

void TCanvas::DrawPixelsMasked(Rect dest, const PixelBuffer& source, Rect source_rect, const std::uint8_t* mask,
    int mask_stride)
{
    WithPixels([&](PixelBuffer& pixels, Rect clip) {
        MaskedCopy(pixels, ToSurface(dest), source, source_rect, mask, mask_stride, clip);
    });
}
