#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Compresses bytes into a stored skin that LzhDecode reads back: 4-byte
// little-endian size, then the LZHUF bit stream (the last byte padded with zero
// bits). Used by the skin packer; kept free of Qt so the packer can build it
// before the library.
std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data);
