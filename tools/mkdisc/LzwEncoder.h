#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Variable-length LZW as GIF uses it: codes packed least significant bit first, a clear code
// first and whenever the 4096-entry table is full, the end code last. The output is the raw
// code stream, before it is cut into sub-blocks.
class LzwEncoder {
public:
    explicit LzwEncoder(int min_code_size);

    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> indexes);

private:
    static constexpr int s_max_codes = 4096;
    static constexpr int s_hash_size = 8192; // a power of two above s_max_codes

    void ResetTable();
    void Emit(int code);
    int Find(int prefix, std::uint8_t suffix) const;
    void Add(int prefix, std::uint8_t suffix, int code);
    static int Hash(int key) { return (key * 2654435761u >> 19) & (s_hash_size - 1); }

    int m_min_code_size;
    int m_clear_code;
    int m_end_code;
    int m_next_code { 0 };
    int m_code_size { 0 };
    std::array<std::int32_t, s_hash_size> m_keys {}; // prefix << 8 | suffix, or -1 when free
    std::array<std::uint16_t, s_hash_size> m_codes {};
    std::vector<std::uint8_t> m_out;
    std::uint32_t m_bit_buffer { 0 };
    int m_bit_count { 0 };
};
