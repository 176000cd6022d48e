#pragma once

#include "platform/PixelBuffer.h"

#include <cstdint>
#include <memory>

struct AVFrame;
struct SwsContext;

// Scales decoded pictures into pixel buffers with FFmpeg's scaler. Its set-up is kept between
// pictures as long as nothing that changes the conversion changes: the source's size, pixel
// format, value range and colour matrix, and the size drawn to. One per thread that draws (a
// display control owns one).
//
// Pictures with 4:2:0 or 4:2:2 colour are scaled in two steps: bilinearly to the size drawn to,
// still as 4:2:2 YCbCr (Resize), then turned into RGB at that size. Both steps run on the scaler's
// fast paths and together cost about two thirds of one bilinear step straight to RGB, from which
// they differ by a fraction of a level per channel. A device takes the first step on its own
// thread, while the decoded picture is still in the processor's caches, and the display only
// the second.
class MciPictureScaler {
public:
    MciPictureScaler() = default;
    ~MciPictureScaler();
    MciPictureScaler(const MciPictureScaler&) = delete;
    MciPictureScaler& operator=(const MciPictureScaler&) = delete;

    // Draws `picture` scaled to `area` (in target coordinates), only within `clip`. A picture that
    // lies wholly inside the target and the clip is scaled straight into the target's rows.
    void Draw(const AVFrame& picture, PixelBuffer& target, Rect area, Rect clip);

    // The first step: the picture resized to width x height as 4:2:2 YCbCr, keeping its range and
    // matrix; null when its format is drawn in one step. The result comes from a pool and may be
    // kept on any thread.
    std::shared_ptr<const AVFrame> Resize(const AVFrame& picture, int width, int height);

private:
    struct Setup {
        int width { 0 };
        int height { 0 };
        int format { -1 };
        int range { 0 };
        int matrix { 0 };
        int target_width { 0 };
        int target_height { 0 };
        bool operator==(const Setup&) const = default;
    };

    bool Prepare(const AVFrame& picture, int width, int height);
    void Release();
    bool PrepareResize(const AVFrame& picture, int width, int height);
    void Scale(const AVFrame& picture, Pixel* rows, int stride, int width, int height);
    static bool WritesPastRows(const AVFrame& picture, int width, int height);

    SwsContext* m_sws { nullptr };     // to RGB
    SwsContext* m_resize { nullptr };  // the first of two steps, or none
    std::uint8_t* m_between[4] {};     // the picture between the two steps
    int m_between_strides[4] {};
    Setup m_setup;
    PixelBuffer m_temporary; // for pictures that are only partly visible

    // Resize's own.
    SwsContext* m_pool_resize { nullptr };
    struct AVBufferPool* m_pool { nullptr };
    Setup m_pool_setup;
};
