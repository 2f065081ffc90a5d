#pragma once

#include <cstdint>
#include <vector>

// The stored skin's 32-bit numbers (its size, the archive's header and entry
// sizes) are little-endian whatever the machine.

inline std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

inline void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}
