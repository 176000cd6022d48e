#include "imaging/TGIFImage.h"

#include "framework/TBitmap.h"
#include "framework/TStream.h"
#include "imaging/GifGuiBridge.h"
#include "imaging/TGIFPainter.h"

#include <algorithm>
#include <chrono>
#include <thread>

bool TGIFImage::s_palette_display = false;
std::size_t TGIFImage::s_pixel_budget = std::size_t(TBitmap::kMaxPixels); // one byte per pixel
std::function<void(const TGIFItem*, int, const std::string&)> TGIFImage::s_warning_handler;

void TGIFItem::Warning(const char* message) const
{
    if (m_image)
        m_image->Warning(this, 1, message);
}

TGIFImage::TGIFImage() = default;

TGIFImage::~TGIFImage()
{
    PaintStop();
    {
        // Painters still listed (threaded ones not yet cleaned up) must not touch us any more.
        std::lock_guard lock(m_painter_lock);
        for (TGIFPainter* painter : m_painters)
            painter->Detach();
        m_painters.clear();
        m_draw_painter = nullptr;
    }
    m_bitmap.reset();
    m_frames.Clear();
}

std::unique_ptr<TGraphic> TGIFImage::Clone() const
{
    auto copy = std::make_unique<TGIFImage>();
    copy->DrawOptions = DrawOptions;
    copy->AnimationSpeed = AnimationSpeed;
    copy->BackgroundColor = BackgroundColor;
    copy->ShownFrame = ShownFrame;
    copy->OnWarning = OnWarning;
    copy->SetTransparent(Transparent());
    if (m_source)
        copy->LoadFromBytes(*m_source);
    return copy;
}

void TGIFImage::Warning(const TGIFItem* sender, int severity, const char* message)
{
    if (OnWarning)
        OnWarning(sender, severity, message);
    else if (s_warning_handler)
        s_warning_handler(sender, severity, message);
}

void TGIFImage::ReservePixels(std::size_t bytes)
{
    if (bytes > s_pixel_budget || m_pixel_bytes > s_pixel_budget - bytes)
        throw EOutOfMemory("Out of memory");
    m_pixel_bytes += bytes;
}

void TGIFImage::Clear()
{
    PaintStop();
    DropBitmap();
    m_frames.Clear();
    m_header.Clear();
    m_palette.clear();
    m_palette_valid = false;
    m_pixel_bytes = 0;
}

void TGIFImage::DropBitmap()
{
    m_bitmap.reset();
}

void TGIFImage::LoadFromStream(TStream& stream)
{
    std::int64_t start = stream.Position();
    std::int64_t size = stream.Size() - start;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::size_t(size > 0 ? size : 0));
    bytes->resize(std::size_t(stream.Read(bytes->data(), std::int64_t(bytes->size()))));
    try {
        LoadFromBytes(*bytes);
    } catch (...) {
        stream.SetPosition(start);
        throw;
    }
    m_source = std::move(bytes);
}

void TGIFImage::LoadFromBytes(std::span<const std::uint8_t> bytes)
{
    Clear();
    m_source = std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    GifByteReader reader(*m_source);
    auto decoder = std::make_unique<GifLzwDecoder>();
    try {
        m_header.LoadFromReader(reader);
        for (;;) {
            // Zero bytes between blocks are skipped; the end of the data ends the frames.
            while (reader.Peek() == 0)
                reader.Skip(1);
            int next = reader.Peek();
            if (next < 0 || next == ';')
                break;
            if (next != '!' && next != ',') {
                Warning(nullptr, 1, "Unknown GIF block type");
                break;
            }
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->LoadFromReader(reader, *decoder);
            m_frames.Add(std::move(frame));
        }
        // The trailer: not required, but a stray byte in its place is reported.
        int trailer = reader.TryReadU8();
        if (trailer >= 0 && trailer != ';')
            Warning(nullptr, 1, "Invalid Image trailer");
    } catch (...) {
        Clear();
        m_source.reset();
        throw;
    }
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream) const
{
    // The program never writes GIF files; a copy of the bytes that were read is what we hold.
    if (m_source)
        stream.Write(m_source->data(), std::int64_t(m_source->size()));
}

bool TGIFImage::DoDither() const
{
    return (DrawOptions & DitherFrames) && (!(DrawOptions & DitherOnPaletteScreensOnly) || s_palette_display);
}

const std::vector<TColor>& TGIFImage::DitherPalette()
{
    static const std::vector<TColor> palette = [] {
        std::vector<TColor> colors(216);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    colors[std::size_t(r * 36 + g * 6 + b)] = RGB(std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51));
        return colors;
    }();
    return palette;
}

const std::vector<TColor>& TGIFImage::Palette()
{
    if (m_in_palette_query)
        throw GIFException("No global or local color table defined");
    if (m_palette_valid)
        return m_palette;
    m_in_palette_query = true;
    try {
        const TGIFColorMap& global = m_header.ColorMap();
        if (DoDither())
            m_palette = DitherPalette();
        else if (!global.Empty()) {
            m_palette.resize(std::size_t(global.Count()));
            for (std::size_t i = 0; i < m_palette.size(); ++i)
                m_palette[i] = RGB(global.Data()[3 * i], global.Data()[3 * i + 1], global.Data()[3 * i + 2]);
        } else if (!m_frames.Empty())
            m_palette = m_frames[0].Palette();
        else
            m_palette.clear();
    } catch (...) {
        m_in_palette_query = false;
        throw;
    }
    m_in_palette_query = false;
    m_palette_valid = true;
    return m_palette;
}

TBitmap* TGIFImage::Bitmap()
{
    if (m_bitmap || m_frames.Empty())
        return m_bitmap.get();
    TGIFSubImage& first = m_frames[0];
    auto bitmap = std::make_unique<TBitmap>();
    if (first.Width() == Width() && first.Height() == Height()) {
        *bitmap = first.Bitmap();
    } else {
        bitmap->SetPixelFormat(TPixelFormat::pf32bit);
        bitmap->SetSize(Width(), Height());
        bitmap->Canvas().Brush().Color = Palette().empty() ? clBlack : Palette()[0];
        bitmap->Canvas().FillRect(Rect::FromSize(0, 0, Width(), Height()));
        Rect frame_rect = first.BoundsRect();
        first.Draw(bitmap->Canvas(), frame_rect, false, false);
    }
    bitmap->OnChange = [this](TObject*) { Changed(); };
    m_bitmap = std::move(bitmap);
    return m_bitmap.get();
}

void TGIFImage::AssignTo(TBitmap& target)
{
    if (TBitmap* bitmap = Bitmap())
        target.Assign(*bitmap);
    else
        target.SetSize(0, 0);
}

namespace {

// a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    long long p = (long long)a * b;
    long long half = (c > 0 ? c : -c) / 2;
    return int(p >= 0 ? (p + half) / c : (p - half) / c);
}

} // namespace

void TGIFImage::Draw(TCanvas& canvas, Rect rect)
{
    if (m_drawing || m_frames.Empty())
        return;
    if (m_frames.Count() > 1 && (DrawOptions & PlayFrames))
        DrawAnimated(canvas, rect);
    else
        DrawStill(canvas, rect);
}

void TGIFImage::DrawStill(TCanvas& canvas, Rect rect)
{
    m_drawing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_drawing };
    int index = ShownFrame >= 0 && ShownFrame < FrameCount() ? ShownFrame : 0;
    TGIFSubImage& frame = m_frames[std::size_t(index)];
    DrawFrame(frame, canvas, rect, DrawOptions & DrawTransparent, DrawOptions & TileImage);
}

Rect TGIFImage::FrameTarget(const TGIFSubImage& frame, Rect target) const
{
    const int w = target.Width();
    const int h = target.Height();
    const int sw = Width();
    const int sh = Height();
    if (sw == 0 || sh == 0)
        return target;
    return { target.left + MulDiv(frame.Left(), w, sw), target.top + MulDiv(frame.Top(), h, sh),
        target.left + MulDiv(frame.Left() + frame.Width(), w, sw),
        target.top + MulDiv(frame.Top() + frame.Height(), h, sh) };
}

void TGIFImage::DrawFrame(TGIFSubImage& frame, TCanvas& canvas, Rect target, bool transparent, bool tile)
{
    if (!tile) {
        frame.Draw(canvas, FrameTarget(frame, target), transparent, false);
        return;
    }
    CanvasState saved(canvas);
    canvas.IntersectClip(target);
    for (int y = target.top; y < target.bottom; y += std::max(1, Height()))
        for (int x = target.left; x < target.right; x += std::max(1, Width()))
            frame.Draw(canvas, frame.BoundsRect().Translated(x, y), transparent, false);
}

void TGIFImage::AnimationFailed(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        m_animation_error = e.what();
    } catch (...) {
        m_animation_error = "Unknown error";
    }
}

namespace {

void DrawWhole(TBitmap& bitmap, TCanvas& canvas, Rect rect, bool tile)
{
    const PixelBuffer& pixels = bitmap.Pixels();
    if (!tile) {
        canvas.DrawPixels(rect, pixels, pixels.Bounds());
        return;
    }
    if (pixels.IsEmpty())
        return;
    CanvasState saved(canvas);
    canvas.IntersectClip(rect);
    for (int y = rect.top; y < rect.bottom; y += pixels.Height())
        for (int x = rect.left; x < rect.right; x += pixels.Width())
            canvas.DrawPixels(Rect::FromSize(x, y, pixels.Width(), pixels.Height()), pixels, pixels.Bounds());
}

} // namespace

TGIFPainter* TGIFImage::Paint(TCanvas& surface, Rect rect, unsigned options)
{
    if (Empty() || rect.IsEmpty())
        return nullptr;
    auto* painter = new TGIFPainter(this, options, rect, &surface, &m_draw_painter);
    if (painter->Threaded())
        return painter;
    // A synchronous painter plays to its end at once and is gone afterwards.
    painter->Run();
    std::exception_ptr error = painter->StoredError();
    delete painter;
    if (error)
        std::rethrow_exception(error);
    return nullptr;
}

void TGIFImage::DrawAnimated(TCanvas& canvas, Rect rect)
{
    const bool on_target = DrawOptions & PaintOnTarget;
    const bool tile = DrawOptions & TileImage;
    if (!on_target && m_bitmap) {
        DrawWhole(*m_bitmap, canvas, rect, tile);
        return;
    }
    m_drawing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_drawing };
    std::unique_lock lock(m_painter_lock);
    if (m_draw_painter && m_draw_painter->Surface() == &canvas && m_draw_painter->Rectangle() == rect)
        return; // it is painting onto this target already
    StopDraw();
    TCanvas* surface = &canvas;
    Rect surface_rect = rect;
    if (!on_target) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetPixelFormat(TPixelFormat::pf32bit);
        bitmap->SetSize(Width(), Height());
        // The painter raises one change notification per frame it paints here.
        bitmap->Canvas().CopyRect(Rect::FromSize(0, 0, Width(), Height()), canvas, rect);
        m_bitmap = std::move(bitmap);
        surface = &m_bitmap->Canvas();
        surface_rect = Rect::FromSize(0, 0, Width(), Height());
    }
    TGIFPainter* painter = Paint(*surface, surface_rect, DrawOptions);
    if (painter)
        painter->Start();
    if (on_target)
        return;
    // Wait for the first frame, serving the painter's hand-overs meanwhile.
    while (m_draw_painter && !m_draw_painter->Terminated() && !m_draw_painter->Started()) {
        GifGuiBridge::ServicePending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_bitmap)
        DrawWhole(*m_bitmap, canvas, rect, tile);
}

void TGIFImage::StopDraw()
{
    for (;;) {
        {
            std::lock_guard lock(m_painter_lock);
            TGIFPainter* painter = m_draw_painter;
            if (!painter)
                break;
            painter->Stop();
            if (!painter->Threaded())
                break;
        }
        GifGuiBridge::ServicePending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    TGIFPainter::JoinEndedThreads();
    DropBitmap();
}

void TGIFImage::PaintStop()
{
    for (;;) {
        int threaded = 0;
        {
            std::lock_guard lock(m_painter_lock);
            if (m_painters.empty())
                break;
            for (auto it = m_painters.rbegin(); it != m_painters.rend(); ++it) {
                (*it)->Stop();
                threaded += (*it)->Threaded();
            }
        }
        if (threaded == 0)
            break;
        GifGuiBridge::ServicePending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    TGIFPainter::JoinEndedThreads();
    DropBitmap();
}
