#include "skin/format/SkinReader.h"

#include "skin/format/LittleEndian.h"
#include "skin/format/Lzh.h"
#include "skin/format/SkinArchive.h"
#include "skin/format/SkinIni.h"

#include <algorithm>
#include <utility>

namespace {

// Where the line starting at start ends, and where the next one starts.
std::pair<std::size_t, std::size_t> NameTableLine(std::string_view table, std::size_t start)
{
    const std::size_t end = std::min(table.find_first_of("\r\n", start), table.size());
    std::size_t next = end;
    if (next < table.size() && table[next] == '\r')
        ++next;
    if (next < table.size() && table[next] == '\n')
        ++next;
    return {end, next};
}

std::string_view NameTableText(std::string_view table) { return table.substr(0, table.find('\0')); }

} // namespace

std::size_t CountSkinNameTableLines(std::string_view table)
{
    table = NameTableText(table);
    std::size_t count = 0;
    for (std::size_t start = 0; start < table.size(); start = NameTableLine(table, start).second)
        ++count;
    return count;
}

std::vector<std::string> SplitSkinNameTable(std::string_view table)
{
    table = NameTableText(table);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < table.size();) {
        const auto [end, next] = NameTableLine(table, start);
        lines.emplace_back(table.substr(start, end - start));
        start = next;
    }
    return lines;
}

void TSkinReader::Clear()
{
    names_.clear();
    sizes_.clear();
    offsets_.clear();
    entries_.clear();
    formatCode_ = 0;
    olderFormat_ = false;
    nameTableLength_ = 0;
    decompressedSize_ = 0;
}

bool TSkinReader::Open(std::span<const std::uint8_t> storedSkin)
{
    Clear();
    std::vector<std::uint8_t> archive;
    if (!LzhDecode(storedSkin.data(), storedSkin.size(), archive))
        return false;
    return OpenArchive(std::move(archive));
}

bool TSkinReader::OpenArchive(std::vector<std::uint8_t> archive)
{
    Clear();
    if (archive.size() < kSkinArchiveHeaderSize)
        return false;
    const std::uint32_t formatCode = ReadLittleEndian32(archive.data());
    const std::optional<std::size_t> skipped = SkinSkippedBlockSize(formatCode);
    if (!skipped) {
        olderFormat_ = true;
        return false;
    }

    // 64-bit arithmetic: no 32-bit length from the archive can wrap these sums.
    const std::uint64_t size = archive.size();
    const std::uint32_t nameTableLength = ReadLittleEndian32(archive.data() + 4);
    const std::uint64_t namesAt = kSkinArchiveHeaderSize + *skipped;
    if (namesAt + nameTableLength > size)
        return false;
    const std::string_view table(reinterpret_cast<const char*>(archive.data() + namesAt), nameTableLength);
    // Counted before anything is built from it: a table of nothing but line
    // breaks must not turn into millions of names.
    const std::size_t count = CountSkinNameTableLines(table);
    const std::uint64_t sizesAt = namesAt + nameTableLength;
    const std::uint64_t entriesAt = sizesAt + 4ull * count;
    if (count > kLargestSkinEntryCount || entriesAt > size)
        return false;
    std::vector<std::string> names = SplitSkinNameTable(skintext::Lower(table));
    std::vector<std::uint32_t> sizes;
    std::vector<std::size_t> offsets;
    sizes.reserve(names.size());
    offsets.reserve(names.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        sizes.push_back(ReadLittleEndian32(archive.data() + sizesAt + 4 * i));
        offsets.push_back(static_cast<std::size_t>(total));
        total += sizes.back();
    }
    if (total > size - entriesAt)
        return false;

    formatCode_ = formatCode;
    nameTableLength_ = nameTableLength;
    decompressedSize_ = archive.size();
    names_ = std::move(names);
    sizes_ = std::move(sizes);
    offsets_ = std::move(offsets);
    archive.erase(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(entriesAt));
    entries_ = std::move(archive);
    return true;
}

std::span<const std::uint8_t> TSkinReader::EntryAt(std::size_t index) const
{
    return std::span<const std::uint8_t>(entries_).subspan(offsets_[index], sizes_[index]);
}

std::span<const std::uint8_t> TSkinReader::FindByName(std::string_view name) const
{
    const std::string wanted = skintext::Lower(name);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == wanted)
            return EntryAt(i);
    }
    return {};
}

std::optional<TSkinReader::Found> TSkinReader::FindByPart(std::string_view text) const
{
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i].find(text) != std::string::npos)
            return Found{names_[i], EntryAt(i)};
    }
    return std::nullopt;
}
