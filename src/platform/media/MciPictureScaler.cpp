#include "platform/media/MciPictureScaler.h"

#include "platform/Raster.h"

extern "C" {
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
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

// The format between the two steps for a source format, or none when it is scaled in one. The
// "JPEG" formats keep their kind, so that the first step leaves the samples' range alone.
AVPixelFormat BetweenFormat(int format)
{
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUV422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUVJ422P;
    default:
        return AV_PIX_FMT_NONE;
    }
}

} // namespace

MciPictureScaler::~MciPictureScaler()
{
    Release();
    sws_freeContext(m_pool_resize);
    av_buffer_pool_uninit(&m_pool); // freed once the last picture from it is let go
}

void MciPictureScaler::Release()
{
    sws_freeContext(m_sws);
    sws_freeContext(m_resize);
    m_sws = m_resize = nullptr;
    av_freep(&m_between[0]);
}

bool MciPictureScaler::Prepare(const AVFrame& picture, int width, int height)
{
    Setup wanted { picture.width, picture.height, picture.format, IsFullRange(picture) ? 1 : 0, MatrixOf(picture), width,
        height };
    if (m_sws && wanted == m_setup)
        return true;
    Release();
    m_setup = wanted;
    auto source = AVPixelFormat(picture.format);
    AVPixelFormat between = BetweenFormat(picture.format);
    if (between != AV_PIX_FMT_NONE && (picture.width != width || picture.height != height)) {
        m_resize = sws_getContext(picture.width, picture.height, source, width, height, between, SWS_BILINEAR, nullptr,
            nullptr, nullptr);
        if (!m_resize || av_image_alloc(m_between, m_between_strides, width, height, between, 64) < 0) {
            Release();
            return false;
        }
        source = between;
        m_sws = sws_getContext(width, height, source, width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    } else {
        m_sws = sws_getContext(picture.width, picture.height, source, width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr,
            nullptr, nullptr);
    }
    if (!m_sws) {
        Release();
        return false;
    }
    // Pictures with RGB samples have no matrix or range of their own to apply.
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(source);
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
    if (m_resize) {
        sws_scale(m_resize, picture.data, picture.linesize, 0, picture.height, m_between, m_between_strides);
        sws_scale(m_sws, m_between, m_between_strides, 0, height, planes, strides);
        return;
    }
    sws_scale(m_sws, picture.data, picture.linesize, 0, picture.height, planes, strides);
}

bool MciPictureScaler::PrepareResize(const AVFrame& picture, int width, int height)
{
    Setup wanted { picture.width, picture.height, picture.format, 0, 0, width, height };
    if (m_pool_resize && wanted == m_pool_setup)
        return true;
    sws_freeContext(m_pool_resize);
    av_buffer_pool_uninit(&m_pool);
    m_pool_setup = wanted;
    AVPixelFormat between = BetweenFormat(picture.format);
    m_pool_resize = sws_getContext(picture.width, picture.height, AVPixelFormat(picture.format), width, height, between,
        SWS_BILINEAR, nullptr, nullptr, nullptr);
    int size = av_image_get_buffer_size(between, width, height, 64);
    if (m_pool_resize && size > 0)
        m_pool = av_buffer_pool_init(std::size_t(size), nullptr);
    return m_pool_resize && m_pool;
}

std::shared_ptr<const AVFrame> MciPictureScaler::Resize(const AVFrame& picture, int width, int height)
{
    AVPixelFormat between = BetweenFormat(picture.format);
    if (between == AV_PIX_FMT_NONE || width <= 0 || height <= 0 || picture.width <= 0 || picture.height <= 0
        || (picture.width == width && picture.height == height) || !PrepareResize(picture, width, height))
        return nullptr;
    AVFrame* resized = av_frame_alloc();
    if (!resized)
        return nullptr;
    std::shared_ptr<AVFrame> owned(resized, [](AVFrame* done) { av_frame_free(&done); });
    resized->format = between;
    resized->width = width;
    resized->height = height;
    resized->buf[0] = av_buffer_pool_get(m_pool);
    resized->color_range = picture.color_range;
    resized->colorspace = picture.colorspace;
    if (!resized->buf[0]
        || av_image_fill_arrays(resized->data, resized->linesize, resized->buf[0]->data, between, width, height, 64) < 0)
        return nullptr;
    sws_scale(m_pool_resize, picture.data, picture.linesize, 0, picture.height, resized->data, resized->linesize);
    return owned;
}

// The scaler's conversions between pictures of one size run in blocks of 16 pixels and write up to
// 15 pixels past the end of each row; into rows that are not a whole number of blocks wide they
// go through a buffer with room for that, or they would spoil the pixels beside the picture (and
// past the end of the last row, the heap).
bool MciPictureScaler::WritesPastRows(const AVFrame& picture, int width, int height)
{
    if (width % 16 == 0)
        return false;
    bool same_size = picture.width == width && picture.height == height;
    return same_size || BetweenFormat(picture.format) != AV_PIX_FMT_NONE;
}

void MciPictureScaler::Draw(const AVFrame& picture, PixelBuffer& target, Rect area, Rect clip)
{
    if (area.IsEmpty() || picture.width <= 0 || picture.height <= 0)
        return;
    Rect visible = area.Intersected(clip).Intersected(target.Bounds());
    if (visible.IsEmpty())
        return;
    if (visible == area && !WritesPastRows(picture, area.Width(), area.Height())) {
        Scale(picture, target.Row(area.top) + area.left, target.Stride(), area.Width(), area.Height());
        return;
    }
    m_temporary.Resize((area.Width() + 15) / 16 * 16, area.Height());
    Scale(picture, m_temporary.Row(0), m_temporary.Stride(), area.Width(), area.Height());
    BlockCopy(target, area.TopLeft(), m_temporary, Rect::FromSize(0, 0, area.Width(), area.Height()), RasterOp::Copy, visible);
}
