#pragma once

#include "skin/format/LzhScheme.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

// Decodes a stored skin: 4-byte little-endian size m, then the LZHUF bit stream.
// out receives exactly m bytes. Input bits past the end of the stream read as 0,
// so a stream that ends early still yields m bytes. False, with out empty, for a
// stored skin too short to hold m or with m beyond kLzhLargestOutput.
bool LzhDecode(const std::uint8_t* storedSkin, std::size_t length, std::vector<std::uint8_t>& out);

// No skin decompresses to more than this; larger sizes are refused before any allocation.
inline constexpr std::size_t kLzhLargestOutput = 64u * 1024 * 1024;

// Raised when the decoder's tables or output cannot be allocated.
class ELzhError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The LZHUF decoder with its tables (adaptive tree and history).
class TLZH {
public:
    // As LzhDecode. Raises ELzhError "LZH : Cannot get memory for dictionary
    // tables" when memory runs out.
    bool Decode(std::span<const std::uint8_t> storedSkin, std::vector<std::uint8_t>& out);

private:
    void DecodeStream(std::span<const std::uint8_t> bits, std::size_t size, std::vector<std::uint8_t>& out);

    lzh::AdaptiveTree tree_;
};
