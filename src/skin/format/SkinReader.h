#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Opens a stored skin (4-byte size + LZHUF stream), checks its archive and
// answers lookups of its entries by name. Entry names are held in lower case.
// Every offset and size is checked against the decompressed bytes, so a damaged
// or hostile stored skin makes Open answer false instead of reading astray.
class TSkinReader {
public:
    // Decompresses and splits the stored skin. A format code that is not a skin
    // format (OlderFormat) and every damaged layout answer false.
    bool Open(std::span<const std::uint8_t> storedSkin);
    // Opens already decompressed archive bytes.
    bool OpenArchive(std::vector<std::uint8_t> archive);

    // The bytes of the first entry named name (compared in lower case), or no
    // bytes when no entry is.
    std::span<const std::uint8_t> FindByName(std::string_view name) const;

    struct Found {
        std::string name;
        std::span<const std::uint8_t> bytes;
    };
    // The first entry whose lower-case name contains text (compared byte for byte).
    std::optional<Found> FindByPart(std::string_view text) const;

    const std::vector<std::string>& Names() const { return names_; }
    const std::vector<std::uint32_t>& Sizes() const { return sizes_; }
    int Count() const { return static_cast<int>(names_.size()); }
    std::uint32_t FormatCode() const { return formatCode_; }
    // The last archive opened was refused for its format code: a skin of an
    // older format, which its user is told to update.
    bool OlderFormat() const { return olderFormat_; }
    std::uint32_t NameTableLength() const { return nameTableLength_; }
    std::size_t DecompressedSize() const { return decompressedSize_; }
    std::size_t EntryBytesSize() const { return entries_.size(); }

private:
    void Clear();
    std::span<const std::uint8_t> EntryAt(std::size_t index) const;

    std::vector<std::string> names_;
    std::vector<std::uint32_t> sizes_;
    std::vector<std::size_t> offsets_;  // where each entry starts in entries_
    std::uint32_t formatCode_ = 0;
    bool olderFormat_ = false;
    std::uint32_t nameTableLength_ = 0;
    std::size_t decompressedSize_ = 0;
    std::vector<std::uint8_t> entries_;
};

// More entries than any skin has; archives with more are refused.
inline constexpr std::size_t kLargestSkinEntryCount = 65536;

// Splits a name table into its lines: a carriage return, a line feed or both
// end a line; a break at the very end opens no further line; a zero byte ends
// the table.
std::vector<std::string> SplitSkinNameTable(std::string_view table);
std::size_t CountSkinNameTableLines(std::string_view table);
