#pragma once

// The archive inside a stored skin, as the reader and the packer share it:
//   0   format code (one of kSkinFormatCodes)
//   4   L: length of the name table
//   8   two further 32-bit values (the packer writes the entry count and the
//       entries' total size; the reader ignores them)
//   16  a block whose length depends on the format code, skipped
//   ... the name table: entry names, one a line
//   ... k sizes, 32-bit little-endian, k = lines of the name table
//   ... the entries' bytes, back to back in name-table order
// Every 32-bit value is little-endian. Kept free of Qt for the packer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t kSkinArchiveHeaderSize = 16;
inline constexpr std::uint32_t kCurrentSkinFormat = 70000;

struct SkinFormat {
    std::uint32_t code;
    std::size_t skippedBlock;
};
inline constexpr std::array<SkinFormat, 6> kSkinFormats{
    {{20000, 0}, {30000, 256}, {40000, 80}, {50000, 48}, {60000, 117}, {70000, 69}}};

// The block skipped after the header, or nothing for a code that is not a skin format.
std::optional<std::size_t> SkinSkippedBlockSize(std::uint32_t formatCode);

struct SkinArchiveEntry {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Lays entries out as an archive (names separated by CR LF). The skipped block is zeros.
std::vector<std::uint8_t> WriteSkinArchive(std::span<const SkinArchiveEntry> entries,
                                           std::uint32_t formatCode = kCurrentSkinFormat);
