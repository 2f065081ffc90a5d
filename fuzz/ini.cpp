// TFastIni over any skin description: load, then look up every section with
// keys taken from the text. One reader is loaded from bytes afresh each time;
// a second, kept across inputs, is reloaded through a stream, which must
// replace everything it held before.
#include "FuzzCheck.h"

#include "skin/format/SkinIni.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kMostLookups = 16;

// The key part of the first lines that hold '=', untrimmed, as a caller
// might spell it.
std::vector<std::string> KeysIn(std::string_view text)
{
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < text.size() && keys.size() < kMostLookups) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            keys.emplace_back(line.substr(0, equals));
        start = end + 1;
    }
    keys.emplace_back("");
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TFastIni fresh;
    fresh.LoadFromBytes(text);

    static TFastIni reused;
    QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    reused.LoadFromStream(&stream);

    std::vector<std::string> sections;
    std::vector<std::string> reusedSections{"left over"};
    fresh.ReadSections(&sections);
    reused.ReadSections(&reusedSections);
    FUZZ_CHECK(sections == reusedSections);
    if (sections.size() > kMostLookups)
        sections.resize(kMostLookups);

    const std::string_view fallback = "\x01 default";
    for (const std::string& section : sections) {
        FUZZ_CHECK(skintext::Trim(section) == section);
        for (const std::string& key : KeysIn(text)) {
            const std::string value = fresh.ReadString(section, key, fallback);
            FUZZ_CHECK(reused.ReadString(section, key, fallback) == value);
            if (value != fallback) {
                FUZZ_CHECK(!value.empty() && skintext::Trim(value) == value);
                FUZZ_CHECK(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
            }
            int number = 0;
            const int expected = skintext::ParseInteger(fresh.ReadString(section, key, {}), number) ? number : -7;
            FUZZ_CHECK(fresh.ReadInteger(section, key, -7) == expected);
        }
    }
    return 0;
}
