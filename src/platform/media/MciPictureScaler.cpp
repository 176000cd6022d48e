#include "platform/media/MciPictureScaler.h"

#include "platform/Raster.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace {

// Whether the samples span the full 0-255 range: said by the picture, or implied by the old
// "JPEG" pixel formats that carry it in their name.
bool IsFullRange(const AVFrame& picture)
{
    switch (picture.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return picture.color_range == AVCOL_RANGE_JPEG;
    }
}

// The colour matrix the picture names; pictures that name none (or one the scaler does not know)
// are taken as BT.601, as FFmpeg's own tools take them.
int MatrixOf(const AVFrame& picture)
{
    int matrix = picture.colorspace;
    if (matrix < AVCOL_SPC_BT709 || matrix > AVCOL_SPC_BT2020_CL || matrix == AVCOL_SPC_YCGCO)
        return SWS_CS_DEFAULT;
    return matrix;
}

} // namespace

MciPictureScaler::~MciPictureScaler()
{
    sws_freeContext(m_sws);
}

bool MciPictureScaler::Prepare(const AVFrame& picture, int width, int height)
{
    Setup wanted { picture.width, picture.height, picture.format, IsFullRange(picture) ? 1 : 0, MatrixOf(picture), width,
        height };
    if (m_sws && wanted == m_setup)
        return true;
    sws_freeContext(m_sws);
    m_sws = sws_getContext(picture.width, picture.height, AVPixelFormat(picture.format), width, height, AV_PIX_FMT_BGRA,
        SWS_BILINEAR, nullptr, nullptr, nullptr);
    m_setup = wanted;
    if (!m_sws)
        return false;
    // Pictures with RGB samples have no matrix or range of their own to apply.
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(AVPixelFormat(picture.format));
    if (descriptor && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB)) {
        sws_setColorspaceDetails(m_sws, sws_getCoefficients(wanted.matrix), wanted.range,
            sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    return true;
}

void MciPictureScaler::Scale(const AVFrame& picture, Pixel* rows, int stride, int width, int height)
{
    if (!Prepare(picture, width, height)) {
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
