#include "SkinCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

Pixel ToPixel(Rgb c)
{
    auto clamp = [](int v) { return std::uint32_t(std::clamp(v, 0, 255)); };
    return 0xFF000000u | clamp(c.r) << 16 | clamp(c.g) << 8 | clamp(c.b);
}

std::uint32_t Hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

} // namespace

Rgb Mix(Rgb a, Rgb b, double t)
{
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return { lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b) };
}

SkinCanvas::SkinCanvas(int width, int height, Rgb background)
    : m_pixels(width, height)
{
    Fill({ 0, 0, width, height }, background);
}

void SkinCanvas::Set(int x, int y, Rgb c)
{
    if (x >= 0 && y >= 0 && x < Width() && y < Height())
        m_pixels.At(x, y) = ToPixel(c);
}

Rgb SkinCanvas::Get(int x, int y) const
{
    Pixel p = m_pixels.At(std::clamp(x, 0, Width() - 1), std::clamp(y, 0, Height() - 1));
    return { int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF) };
}

void SkinCanvas::Fill(Rect r, Rgb c)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            Set(x, y, c);
}

void SkinCanvas::Frame(Rect r, Rgb c)
{
    Fill({ r.left, r.top, r.right, r.top + 1 }, c);
    Fill({ r.left, r.bottom - 1, r.right, r.bottom }, c);
    Fill({ r.left, r.top, r.left + 1, r.bottom }, c);
    Fill({ r.right - 1, r.top, r.right, r.bottom }, c);
}

void SkinCanvas::RoundFrame(Rect r, Rgb line, Rgb corner)
{
    Frame(r, line);
    Set(r.left, r.top, corner);
    Set(r.right - 1, r.top, corner);
    Set(r.left, r.bottom - 1, corner);
    Set(r.right - 1, r.bottom - 1, corner);
}

void SkinCanvas::VerticalGradient(Rect r, Rgb top, Rgb bottom)
{
    for (int y = r.top; y < r.bottom; ++y) {
        double t = r.Height() > 1 ? double(y - r.top) / (r.Height() - 1) : 0.0;
        Fill({ r.left, y, r.right, y + 1 }, Mix(top, bottom, t));
    }
}

void SkinCanvas::HorizontalGradient(Rect r, Rgb left, Rgb right)
{
    for (int x = r.left; x < r.right; ++x) {
        double t = r.Width() > 1 ? double(x - r.left) / (r.Width() - 1) : 0.0;
        Fill({ x, r.top, x + 1, r.bottom }, Mix(left, right, t));
    }
}

void SkinCanvas::Grain(Rect r, int amount, int period_x, int period_y)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            std::uint32_t h = Hash(std::uint32_t((x - r.left) % period_x) * 7919u + std::uint32_t((y - r.top) % period_y) * 104729u);
            int d = int(h % std::uint32_t(2 * amount + 1)) - amount;
            Rgb c = Get(x, y);
            Set(x, y, { c.r + d, c.g + d, c.b + d });
        }
}

void SkinCanvas::Arrow(int cx, int cy, int direction, int lines, Rgb c)
{
    for (int i = 0; i < lines; ++i) {
        int along = i - lines / 2;
        switch (direction) {
        case 0:
            Fill({ cx + along, cy - i, cx + along + 1, cy + i + 1 }, c);
            break;
        case 2:
            Fill({ cx - along, cy - i, cx - along + 1, cy + i + 1 }, c);
            break;
        case 1:
            Fill({ cx - i, cy + along, cx + i + 1, cy + along + 1 }, c);
            break;
        default:
            Fill({ cx - i, cy - along, cx + i + 1, cy - along + 1 }, c);
            break;
        }
    }
}

void SkinCanvas::Plate(Rect r, Rgb fill, Rgb light, Rgb dark, Rgb frame)
{
    VerticalGradient(r, Mix(fill, light, 0.45), Mix(fill, dark, 0.25));
    Fill({ r.left + 1, r.top + 1, r.right - 1, r.top + 2 }, light);
    Fill({ r.left + 1, r.top + 1, r.left + 2, r.bottom - 1 }, light);
    Fill({ r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1 }, dark);
    Fill({ r.right - 2, r.top + 1, r.right - 1, r.bottom - 1 }, dark);
    Frame(r, frame);
}

std::unique_ptr<TBitmap> SkinCanvas::ToBitmap(TPixelFormat format, const std::vector<TColor>& palette) const
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
    bitmap->SetSize(Width(), Height());
    for (int y = 0; y < Height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(bitmap->ScanLine(y));
        std::copy(m_pixels.Row(y), m_pixels.Row(y) + Width(), row);
    }
    bitmap->Modified();
    if (!palette.empty())
        bitmap->SetPalette(palette);
    bitmap->SetPixelFormat(format);
    return bitmap;
}

std::vector<TColor> RampPalette(const std::vector<Rgb>& stops, int count)
{
    std::vector<TColor> palette;
    for (int i = 0; i < count; ++i) {
        double t = count > 1 ? double(i) / (count - 1) * double(stops.size() - 1) : 0.0;
        auto at = std::min(std::size_t(t), stops.size() - 2);
        Rgb c = Mix(stops[at], stops[at + 1], t - double(at));
        palette.push_back(RGB(std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b)));
    }
    return palette;
}
