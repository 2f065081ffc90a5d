#include "skin/format/SkinArchive.h"

#include "skin/format/LittleEndian.h"

std::optional<std::size_t> SkinSkippedBlockSize(std::uint32_t formatCode)
{
    for (const SkinFormat& format : kSkinFormats) {
        if (format.code == formatCode)
            return format.skippedBlock;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> WriteSkinArchive(std::span<const SkinArchiveEntry> entries, std::uint32_t formatCode)
{
    std::string names;
    std::size_t total = 0;
    for (const SkinArchiveEntry& entry : entries) {
        names += entry.name;
        names += "\r\n";
        total += entry.bytes.size();
    }

    std::vector<std::uint8_t> out;
    AppendLittleEndian32(out, formatCode);
    AppendLittleEndian32(out, static_cast<std::uint32_t>(names.size()));
    AppendLittleEndian32(out, static_cast<std::uint32_t>(entries.size()));
    AppendLittleEndian32(out, static_cast<std::uint32_t>(total));
    out.resize(out.size() + SkinSkippedBlockSize(formatCode).value_or(0), 0);
    out.insert(out.end(), names.begin(), names.end());
    for (const SkinArchiveEntry& entry : entries)
        AppendLittleEndian32(out, static_cast<std::uint32_t>(entry.bytes.size()));
    for (const SkinArchiveEntry& entry : entries)
        out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
    return out;
}
