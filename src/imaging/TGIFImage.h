#pragma once

#include "framework/TGraphic.h"
#include "imaging/TGIFHeader.h"
#include "imaging/TGIFSubImage.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

class TBitmap;
class TGIFPainter;

// A GIF picture: the header, the frames with their extensions, and their renderings. A still image
// draws its shown frame; an image of several frames is animated by painters (TGIFPainter).
class TGIFImage : public TGraphic {
public:
    // Draw options (bit set); the default is 0x060F.
    enum DrawOption : unsigned {
        ThreadedPainting = 0x001,
        DrawTransparent = 0x002,
        PlayFrames = 0x004,
        RepeatLoops = 0x008,
        RepeatForever = 0x010,
        WatchCanvas = 0x020,
        PaintOnTarget = 0x040,
        ClearEachPass = 0x080,
        TileImage = 0x100,
        DitherFrames = 0x200,
        DitherOnPaletteScreensOnly = 0x400,
    };
    static constexpr unsigned kDefaultDrawOptions = 0x060F;
    static constexpr TColor kBackgroundUnset = 0x1FFFFFFF;

    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    const char* ClassName() const override { return "TGIFImage"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override { return m_header.Width(); }
    int Height() const override { return m_header.Height(); }
    bool Empty() const override { return m_frames.Empty(); }
    void Draw(TCanvas& canvas, Rect rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // Loads the bytes of a GIF file (as LoadFromStream does from a stream).
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    void Clear();

    TGIFHeader& Header() { return m_header; }
    const TGIFHeader& Header() const { return m_header; }
    TGIFImageList& Images() { return m_frames; }
    const TGIFImageList& Images() const { return m_frames; }
    int FrameCount() const { return int(m_frames.Count()); }
    TGIFSubImage& Frame(int index) const { return m_frames[std::size_t(index)]; }

    unsigned DrawOptions { kDefaultDrawOptions };
    int AnimationSpeed { 100 }; // percent of normal speed
    TColor BackgroundColor { kBackgroundUnset };
    int ShownFrame { -1 };

    // Warnings: sender, severity, message. None is installed in the program.
    std::function<void(const TGIFItem* sender, int severity, const std::string& message)> OnWarning;
    void Warning(const TGIFItem* sender, int severity, const char* message);
    // Where warnings go for images without a handler of their own (a tool reporting them).
    static std::function<void(const TGIFItem* sender, int severity, const std::string& message)> s_warning_handler;

    // True when frames are rendered by dithering to the 216-colour palette.
    bool DoDither() const;
    // The image palette (cached); raises "No global or local color table defined" for a file with
    // no colour table at all.
    const std::vector<TColor>& Palette();
    // The bitmap of the whole logical screen (frame 0 drawn opaquely), cached; none when empty.
    TBitmap* Bitmap();
    // Assigns the whole-image bitmap to `target`.
    void AssignTo(TBitmap& target);

    // A display of at most 8 bits per pixel; measured once at start-up (never, on this platform's
    // 32-bit surfaces), settable so that the dithering path can be used and tested.
    static bool s_palette_display;
    // Upper bound of the pixel bytes (one per pixel) the frames of one image may hold together;
    // larger frames fail with EOutOfMemory. TBitmap::kMaxPixels unless a test or fuzzer lowers it.
    static std::size_t s_pixel_budget;
    // Called by frames before they allocate pixels.
    void ReservePixels(std::size_t bytes);

    // Animation (TGIFPainter).
    TGIFPainter* Paint(TCanvas& surface, Rect rect, unsigned options);
    void StopDraw();
    void PaintStop();
    // The painter the drawing operation started, or none.
    TGIFPainter* DrawPainter() const { return m_draw_painter; }
    std::recursive_mutex& PainterLock() { return m_painter_lock; }
    std::vector<TGIFPainter*>& Painters() { return m_painters; }

    static const std::vector<TColor>& DitherPalette();

    // Where a frame lands when the logical screen is scaled into `target`.
    Rect FrameTarget(const TGIFSubImage& frame, Rect target) const;
    // Draws one frame with the placement rule (or tiled at the screen's size).
    void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, Rect target, bool transparent, bool tile);
    // The message of the error that ended the last threaded animation, or empty.
    const std::string& LastAnimationError() const { return m_animation_error; }
    // Painter callbacks, on the GUI thread.
    void AnimationPainted() { Changed(); }
    void AnimationFailed(std::exception_ptr error);

private:
    friend class TGIFPainter;
    void DrawStill(TCanvas& canvas, Rect rect);
    void DrawAnimated(TCanvas& canvas, Rect rect);
    void DropBitmap();

    TGIFHeader m_header { this };
    TGIFImageList m_frames;
    std::shared_ptr<const std::vector<std::uint8_t>> m_source; // the file bytes, for copies
    std::unique_ptr<TBitmap> m_bitmap;
    std::vector<TColor> m_palette;
    bool m_palette_valid { false };
    bool m_in_palette_query { false };
    bool m_drawing { false };
    bool m_palette_modified { false };
    std::size_t m_pixel_bytes { 0 };
    std::string m_animation_error;

    std::recursive_mutex m_painter_lock;
    std::vector<TGIFPainter*> m_painters;
    TGIFPainter* m_draw_painter { nullptr };
};
