#include "imaging/TGIFColorMap.h"

#include <cstring>

void TGIFColorMap::LoadFromReader(GifByteReader& reader, int count, const char* count_error)
{
    if (count < 1 || count > 256)
        throw GIFException(count_error);
    reader.ReadBytes(m_data.data(), std::size_t(count) * 3);
    m_count = count;
}

void TGIFColorMap::Assign(const std::uint8_t* rgb, int count)
{
    m_count = count < 0 ? 0 : count > 256 ? 256 : count;
    std::memcpy(m_data.data(), rgb, std::size_t(m_count) * 3);
}

TColor TGIFColorMap::Color(int index) const
{
    if (index < 0 || index >= m_count) {
        Warning("Invalid color index");
        index = 0;
        if (m_count == 0)
            throw GIFException("Color table is empty");
    }
    const std::uint8_t* c = &m_data[std::size_t(index) * 3];
    return RGB(c[0], c[1], c[2]);
}
