#include "skin/TbsStoredSkin.h"

#include "framework/Exception.h"
#include "framework/TStream.h"

#include <cstdint>

namespace {

std::uint32_t U32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

[[noreturn]] void NotValid()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

// Refuses an image whose pixel rows cannot lie within its own file size, before the decoder sizes
// any buffer from the header's dimensions.
void CheckDimensions(const std::vector<std::uint8_t>& image)
{
    if (image.size() < 14 + 12)
        NotValid();
    std::uint32_t header_size = U32(image.data() + 14);
    std::int64_t width = 0, height = 0;
    int bits = 0;
    if (header_size == 12) {
        width = U16(image.data() + 18);
        height = std::int16_t(U16(image.data() + 20));
        bits = U16(image.data() + 24);
    } else {
        if (image.size() < 14 + 40)
            NotValid();
        width = std::int32_t(U32(image.data() + 18));
        height = std::int32_t(U32(image.data() + 22));
        bits = U16(image.data() + 28);
    }
    if (height < 0)
        height = -height;
    // 32768 is the largest side the decoder accepts; it also keeps the products below in range.
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768 || bits <= 0 || bits > 32)
        NotValid();
    std::int64_t stride = (width * bits + 31) / 32 * 4;
    if (U32(image.data() + 10) > image.size() || stride * height > std::int64_t(image.size()))
        NotValid();
}

} // namespace

void ReadBlockBitmap(TStream& stream, TBitmap& bitmap)
{
    std::vector<std::uint8_t> image(14);
    stream.ReadBuffer(image.data(), 14);
    if (image[0] != 'B' || image[1] != 'M')
        NotValid();
    std::uint32_t size = U32(image.data() + 2);
    if (size < 14)
        NotValid();
    // The rest must be in the stream: check before allocating what a damaged header claims.
    if (std::int64_t(size - 14) > stream.Size() - stream.Position())
        throw EReadError("Stream read error");
    image.resize(size);
    stream.ReadBuffer(image.data() + 14, std::int64_t(size - 14));
    CheckDimensions(image);
    TSpanStream source(image);
    bitmap.LoadFromStream(source);
}

TbsStoredSkin::TbsStoredSkin(TComponent* owner)
    : TComponent(owner)
{
}

TbsStoredSkin::~TbsStoredSkin() = default;

void TbsStoredSkin::ReadPictures(TStream& stream)
{
    for (TBitmap* picture : { &m_main_picture, &m_inactive_picture, &m_mask_picture }) {
        std::uint8_t empty = 0;
        stream.ReadBuffer(&empty, 1);
        if (empty != 0)
            *picture = TBitmap();
        else
            ReadBlockBitmap(stream, *picture);
    }
    m_control_pictures.clear();
    std::uint8_t count_bytes[4];
    stream.ReadBuffer(count_bytes, 4);
    auto count = static_cast<std::int32_t>(U32(count_bytes));
    for (std::int32_t i = 0; i < count; ++i) {
        // Each image is at least a file header long, so a count the stream cannot hold fails at
        // once on its first missing image instead of creating bitmaps for it.
        auto picture = std::make_unique<TBitmap>();
        TBitmap* raw = picture.get();
        m_control_pictures.push_back(std::move(picture));
        ReadBlockBitmap(stream, *raw);
    }
}

void TbsStoredSkin::WritePictures(TStream& stream) const
{
    for (const TBitmap* picture : { &m_main_picture, &m_inactive_picture, &m_mask_picture }) {
        std::uint8_t empty = picture->Empty() ? 1 : 0;
        stream.WriteBuffer(&empty, 1);
        if (!empty)
            picture->SaveToStream(stream);
    }
    auto count = static_cast<std::uint32_t>(m_control_pictures.size());
    std::uint8_t count_bytes[4] = { std::uint8_t(count), std::uint8_t(count >> 8), std::uint8_t(count >> 16),
        std::uint8_t(count >> 24) };
    stream.WriteBuffer(count_bytes, 4);
    for (const auto& picture : m_control_pictures)
        picture->SaveToStream(stream);
}
