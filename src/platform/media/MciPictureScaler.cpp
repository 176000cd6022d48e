#include "platform/media/MciPictureScaler.h"

#include "platform/Raster.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

MciPictureScaler::~MciPictureScaler()
{
    sws_freeContext(m_sws);
}

void MciPictureScaler::Scale(const AVFrame& picture, Pixel* rows, int stride, int width, int height)
{
    m_sws = sws_getCachedContext(m_sws, picture.width, picture.height, AVPixelFormat(picture.format), width, height,
        AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_sws) {
        for (int y = 0; y < height; ++y)
            std::fill_n(rows + std::ptrdiff_t(y) * stride, width, Pixel(0xFF000000));
        return;
    }
    std::uint8_t* planes[4] = { reinterpret_cast<std::uint8_t*>(rows), nullptr, nullptr, nullptr };
    int strides[4] = { stride * int(sizeof(Pixel)), 0, 0, 0 };
    sws_scale(m_sws, picture.data, picture.linesize, 0, picture.height, planes, strides);
}

void MciPictureScaler::Draw(const AVFrame& picture, PixelBuffer& target, Rect area, Rect clip)
{
    if (area.IsEmpty() || picture.width <= 0 || picture.height <= 0)
        return;
    Rect visible = area.Intersected(clip).Intersected(target.Bounds());
    if (visible.IsEmpty())
        return;
    if (visible == area) {
        Scale(picture, target.Row(area.top) + area.left, target.Stride(), area.Width(), area.Height());
        return;
    }
    m_temporary.Resize(area.Width(), area.Height());
    Scale(picture, m_temporary.Row(0), m_temporary.Stride(), area.Width(), area.Height());
    BlockCopy(target, area.TopLeft(), m_temporary, m_temporary.Bounds(), RasterOp::Copy, visible);
}
