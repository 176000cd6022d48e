#pragma once

#include "imaging/GIFException.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// The only way the GIF reader touches file bytes: every fixed-size read checks what is left, so a
// cut or hostile file ends in "Premature end of data", never in a read past the end.
class GifByteReader {
public:
    explicit GifByteReader(std::span<const std::uint8_t> data)
        : m_data(data)
    {
    }

    std::size_t Position() const { return m_pos; }
    std::size_t Size() const { return m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }
    void Seek(std::size_t pos) { m_pos = pos < m_data.size() ? pos : m_data.size(); }
    void Skip(std::size_t count) { m_pos += count < Remaining() ? count : Remaining(); }
    const std::uint8_t* Current() const { return m_data.data() + m_pos; }

    // -1 at the end of the data.
    int TryReadU8() { return m_pos < m_data.size() ? m_data[m_pos++] : -1; }
    int Peek() const { return m_pos < m_data.size() ? m_data[m_pos] : -1; }

    std::uint8_t ReadU8()
    {
        Require(1);
        return m_data[m_pos++];
    }

    std::uint16_t ReadU16LE()
    {
        Require(2);
        auto value = static_cast<std::uint16_t>(m_data[m_pos] | m_data[m_pos + 1] << 8);
        m_pos += 2;
        return value;
    }

    void ReadBytes(void* target, std::size_t count)
    {
        Require(count);
        std::memcpy(target, m_data.data() + m_pos, count);
        m_pos += count;
    }

    // Copies up to count bytes; returns how many there were.
    std::size_t ReadSome(void* target, std::size_t count)
    {
        std::size_t n = count < Remaining() ? count : Remaining();
        if (n)
            std::memcpy(target, m_data.data() + m_pos, n);
        m_pos += n;
        return n;
    }

    void Require(std::size_t count) const
    {
        if (count > Remaining())
            throw GIFException("Premature end of data");
    }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos { 0 };
};
