#include "platform/PixelBuffer.h"

#include <algorithm>
#include <cstring>

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other)
{
    if (this == &other)
        return *this;
    Resize(other.m_width, other.m_height);
    for (int y = 0; y < m_height; ++y)
        std::memcpy(Row(y), other.Row(y), std::size_t(m_width) * sizeof(Pixel));
    return *this;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    bool owned = other.OwnsStorage();
    m_storage = std::move(other.m_storage);
    m_data = owned ? m_storage.data() : other.m_data;
    m_width = other.m_width;
    m_height = other.m_height;
    m_stride = other.m_stride;
    other.m_storage.clear();
    other.m_data = nullptr;
    other.m_width = other.m_height = other.m_stride = 0;
    return *this;
}

void PixelBuffer::Resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::size_t needed = std::size_t(width) * std::size_t(height);
    if (m_storage.size() < needed || !OwnsStorage())
        m_storage.resize(std::max<std::size_t>(needed, 1));
    m_data = m_storage.data();
    m_width = width;
    m_height = height;
    m_stride = width;
}

void PixelBuffer::Resize(int width, int height, Pixel fill)
{
    Resize(width, height);
    std::fill_n(m_data, std::size_t(m_width) * std::size_t(m_height), fill);
}
