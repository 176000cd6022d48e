#include "imaging/GifLzwDecoder.h"

#include <algorithm>
#include <cstring>

namespace {

inline std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void Store64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

// Copies `length` bytes that end at or before `dst` in whole words; may write up to 7 bytes past
// dst + length (inside the caller's slack). Source bytes beyond the string are only ever copied
// to positions that later output overwrites.
inline void CopyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t length)
{
    std::size_t i = 0;
    do {
        Store64(dst + i, Load64(src + i));
        i += 8;
    } while (i < length);
}

} // namespace

bool GifLzwDecoder::Refill()
{
    while (m_bit_count <= 56) {
        if (m_block_left == 0) {
            if (m_terminator_read || m_data_ended)
                break;
            int size = m_reader->TryReadU8();
            if (size < 0) {
                m_data_ended = true; // no size byte: the data end here
                break;
            }
            if (size == 0) {
                m_terminator_read = true;
                break;
            }
            if (std::size_t(size) > m_reader->Remaining()) {
                (*m_warn)("Premature end of data");
                size = int(m_reader->Remaining());
            }
            m_block = m_reader->Current();
            m_block_left = std::size_t(size);
            m_reader->Skip(m_block_left);
            continue;
        }
        if (m_block_left >= 8) {
            unsigned take = (64 - m_bit_count) >> 3; // whole bytes that fit, at least one
            std::uint64_t word = Load64(m_block);
            std::uint64_t mask = take >= 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << (take * 8)) - 1;
            m_bits |= (word & mask) << m_bit_count;
            m_bit_count += take * 8;
            m_block += take;
            m_block_left -= take;
        } else {
            m_bits |= std::uint64_t(*m_block++) << m_bit_count;
            m_bit_count += 8;
            --m_block_left;
        }
    }
    return m_bit_count >= m_code_width;
}

// The next code, or -1 when the data end.
inline int GifLzwDecoder::ReadCode()
{
    if (m_bit_count < m_code_width && !Refill()) {
        if (m_terminator_read && m_bit_count == 0)
            (*m_warn)("Decoder bit buffer under-run");
        return -1;
    }
    int code = int(m_bits & ((1u << m_code_width) - 1));
    m_bits >>= m_code_width;
    m_bit_count -= m_code_width;
    return code;
}

void GifLzwDecoder::SkipRemainingBlocks()
{
    if (m_terminator_read)
        return;
    m_block_left = 0;
    for (;;) {
        int size = m_reader->TryReadU8();
        if (size <= 0)
            break;
        m_reader->Skip(std::size_t(size));
    }
    m_terminator_read = true;
}

std::size_t GifLzwDecoder::Decode(GifByteReader& reader, std::uint8_t* out, std::size_t count, std::uint8_t fill,
    const WarningSink& warn)
{
    m_reader = &reader;
    m_warn = &warn;
    m_block = nullptr;
    m_block_left = 0;
    m_bits = 0;
    m_bit_count = 0;
    m_terminator_read = false;
    m_data_ended = false;

    std::size_t pos = 0;
    int min_size = reader.TryReadU8();
    if (min_size >= 0) {
        // The format allows at most 8; above 11 the clear code would lie outside the table.
        if (min_size > 11)
            throw GIFException("Invalid LZW code size");
        const int clear = 1 << min_size;
        const int end = clear + 1;
        int free_code = 0;
        int limit = 0;
        std::size_t prev_pos = 0;
        std::size_t prev_len = 0;
        int code = clear; // the first request is always a clear code
        for (;;) {
            if (code == clear) {
                m_code_width = unsigned(min_size) + 1;
                limit = 2 * clear;
                free_code = clear + 2;
                do
                    code = ReadCode();
                while (code == clear);
                if (code < 0)
                    break;
                if (code == end) {
                    SkipRemainingBlocks();
                    break;
                }
                if (code > end) // a string code right after a clear: nothing to refer to
                    break;
                out[pos] = std::uint8_t(code);
                prev_pos = pos;
                prev_len = 1;
                if (++pos >= count)
                    break;
            } else if (code == end) {
                SkipRemainingBlocks();
                break;
            } else {
                std::size_t len;
                std::size_t room = count - pos;
                if (code < clear) {
                    out[pos] = std::uint8_t(code);
                    len = 1;
                } else if (code < free_code) {
                    len = m_length[code];
                    CopyString(out + pos, out + m_offset[code], std::min(len, room));
                } else {
                    // Not in the table yet: the previous string plus its own first byte.
                    len = prev_len + 1;
                    CopyString(out + pos, out + prev_pos, std::min(prev_len, room));
                    if (prev_len < room)
                        out[pos + prev_len] = out[prev_pos];
                }
                if (free_code <= 4095) {
                    m_offset[free_code] = std::uint32_t(prev_pos);
                    m_length[free_code] = std::uint16_t(prev_len + 1);
                    if (++free_code >= limit && limit <= 4095) {
                        limit *= 2;
                        ++m_code_width;
                    }
                }
                prev_pos = pos;
                prev_len = len;
                if (len >= room) {
                    pos = count;
                    break;
                }
                pos += len;
            }
            code = ReadCode();
            if (code < 0)
                break;
        }
        if (pos >= count)
            SkipRemainingBlocks(); // every pixel is in: the rest of the data is not needed
    }
    if (pos < count)
        std::memset(out + pos, fill, count - pos);
    return pos;
}
