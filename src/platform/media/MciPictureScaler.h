#pragma once

#include "platform/PixelBuffer.h"

struct AVFrame;
struct SwsContext;

// Scales decoded pictures into pixel buffers with FFmpeg's scaler, keeping its set-up between
// pictures of the same size. One per thread that draws (a display control owns one).
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
    void Scale(const AVFrame& picture, Pixel* rows, int stride, int width, int height);

    SwsContext* m_sws { nullptr };
    PixelBuffer m_temporary; // for pictures that are only partly visible
};
