#pragma once

#include "platform/PixelBuffer.h"

struct AVFrame;
struct SwsContext;

// Scales decoded pictures into pixel buffers with FFmpeg's scaler. Its set-up is kept between
// pictures as long as nothing that changes the conversion changes: the source's size, pixel
// format, value range and colour matrix, and the size drawn to. One per thread that draws (a
// display control owns one).
class MciPictureScaler {
public:
    MciPictureScaler() = default;
    ~MciPictureScaler();
    MciPictureScaler(const MciPictureScaler&) = delete;
    MciPictureScaler& operator=(const MciPictureScaler&) = delete;

    // Draws `picture` scaled to `area` (in target coordinates), only within `clip`. A picture that
    // lies wholly inside the target and the clip is scaled straight into the target's rows.
    void Draw(const AVFrame& picture, PixelBuffer& target, Rect area, Rect clip);

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
    void Scale(const AVFrame& picture, Pixel* rows, int stride, int width, int height);

    SwsContext* m_sws { nullptr };
    Setup m_setup;
    PixelBuffer m_temporary; // for pictures that are only partly visible
};
