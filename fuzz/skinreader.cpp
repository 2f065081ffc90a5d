// TSkinReader over any stored skin: open, then find every entry by name and
// by part of its name. The first input byte chooses between a stored skin
// (odd: decompressed first) and archive bytes as they come out of the
// decompressor (even), which reaches the archive checks far more often.
#include "FuzzCheck.h"
#include "SilentMessageBoxes.h"

#include "skin/format/SkinReader.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <span>
#include <string>
#include <vector>

namespace {

std::string AsciiUpper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// Copies every byte, so an entry that reaches past the archive is reported.
std::vector<std::uint8_t> Copy(std::span<const std::uint8_t> bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // A stored skin may announce up to 64 MiB; decoding that much reaches no
    // new code and only slows the search down, so sizes from 64 KiB are skipped.
    if ((data[0] & 1) && size >= 5 && (data[3] | data[4]) != 0)
        return 0;
    SilentMessageBoxes boxes;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    TSkinReader reader;
    const bool opened = (data[0] & 1) ? reader.Open(input)
                                      : reader.OpenArchive(std::vector<std::uint8_t>(input.begin(), input.end()));
    if (!opened) {
        FUZZ_CHECK(reader.Count() == 0);
        return 0;
    }
    FUZZ_CHECK(boxes.shown == 0);

    const std::vector<std::string>& names = reader.Names();
    const std::vector<std::uint32_t>& sizes = reader.Sizes();
    FUZZ_CHECK(sizes.size() == names.size() && reader.Count() == static_cast<int>(names.size()));
    const std::uint64_t total = std::accumulate(sizes.begin(), sizes.end(), std::uint64_t{0});
    FUZZ_CHECK(total <= reader.EntryBytesSize() && reader.EntryBytesSize() <= reader.DecompressedSize());

    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t first = std::find(names.begin(), names.end(), names[i]) - names.begin();
        const std::span<const std::uint8_t> byName = reader.FindByName(names[i]);
        FUZZ_CHECK(Copy(byName).size() == sizes[first]);
        FUZZ_CHECK(reader.FindByName(AsciiUpper(names[i])).data() == byName.data());

        const std::optional<TSkinReader::Found> byPart = reader.FindByPart(names[i]);
        FUZZ_CHECK(byPart.has_value() && byPart->name.find(names[i]) != std::string::npos);
        FUZZ_CHECK(Copy(byPart->bytes).size() == byPart->bytes.size());
    }
    FUZZ_CHECK(reader.FindByName(std::string(1, '\0')).empty());
    return 0;
}
