#include "LzwEncoder.h"

#include "DiscError.h"

LzwEncoder::LzwEncoder(int min_code_size)
    : m_min_code_size(min_code_size)
    , m_clear_code(1 << min_code_size)
    , m_end_code((1 << min_code_size) + 1)
{
    if (min_code_size < 2 || min_code_size > 8)
        throw EDiscError("LZW minimum code size must be 2..8");
}

void LzwEncoder::ResetTable()
{
    m_keys.fill(-1);
    m_next_code = m_end_code + 1;
    m_code_size = m_min_code_size + 1;
}

void LzwEncoder::Emit(int code)
{
    m_bit_buffer |= std::uint32_t(code) << m_bit_count;
    m_bit_count += m_code_size;
    while (m_bit_count >= 8) {
        m_out.push_back(std::uint8_t(m_bit_buffer & 0xFF));
        m_bit_buffer >>= 8;
        m_bit_count -= 8;
    }
}

int LzwEncoder::Find(int prefix, std::uint8_t suffix) const
{
    int key = prefix << 8 | suffix;
    for (int slot = Hash(key);; slot = (slot + 1) & (s_hash_size - 1)) {
        if (m_keys[slot] == key)
            return m_codes[slot];
        if (m_keys[slot] < 0)
            return -1;
    }
}

void LzwEncoder::Add(int prefix, std::uint8_t suffix, int code)
{
    int key = prefix << 8 | suffix;
    int slot = Hash(key);
    while (m_keys[slot] >= 0)
        slot = (slot + 1) & (s_hash_size - 1);
    m_keys[slot] = key;
    m_codes[slot] = std::uint16_t(code);
}

std::vector<std::uint8_t> LzwEncoder::Encode(std::span<const std::uint8_t> indexes)
{
    m_out.clear();
    m_bit_buffer = 0;
    m_bit_count = 0;
    ResetTable();
    Emit(m_clear_code);
    if (!indexes.empty()) {
        int prefix = indexes[0] & (m_clear_code - 1);
        for (std::size_t i = 1; i < indexes.size(); ++i) {
            std::uint8_t c = std::uint8_t(indexes[i] & (m_clear_code - 1));
            int code = Find(prefix, c);
            if (code >= 0) {
                prefix = code;
                continue;
            }
            Emit(prefix);
            if (m_next_code < s_max_codes) {
                Add(prefix, c, m_next_code++);
                // The decoder adds its entries one code later, so it widens its codes when its
                // table reaches 2^size; that is when ours has gone one past it.
                if (m_next_code > (1 << m_code_size) && m_code_size < 12)
                    ++m_code_size;
            } else {
                Emit(m_clear_code);
                ResetTable();
            }
            prefix = c;
        }
        Emit(prefix);
        // The decoder still adds an entry for the last code and may widen before the end code.
        if (m_next_code < s_max_codes && ++m_next_code > (1 << m_code_size) && m_code_size < 12)
            ++m_code_size;
    }
    Emit(m_end_code);
    if (m_bit_count > 0)
        m_out.push_back(std::uint8_t(m_bit_buffer & 0xFF));
    return std::move(m_out);
}
