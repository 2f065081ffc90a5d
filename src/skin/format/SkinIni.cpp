#include "skin/format/SkinIni.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace skintext {

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

namespace {

int DigitValue(char c, int base)
{
    int digit = -1;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

// Accumulates digits while the value stays within limit; false on any other byte or overflow.
bool ParseDigits(std::string_view digits, int base, std::uint64_t limit, std::uint64_t& value)
{
    if (digits.empty())
        return false;
    value = 0;
    for (char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return false;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return false;
    }
    return true;
}

} // namespace

bool ParseInteger(std::string_view text, int& value)
{
    std::uint64_t magnitude = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Hexadecimal covers the full 32 bits; the top bit makes it negative, as colour
        // values such as 0xFFFFFFFF are meant.
        if (!ParseDigits(text.substr(2), 16, 0xFFFFFFFFu, magnitude))
            return false;
        value = static_cast<int>(static_cast<std::uint32_t>(magnitude));
        return true;
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 31 : std::uint64_t{std::numeric_limits<int>::max()};
    if (!ParseDigits(text, 10, limit, magnitude))
        return false;
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

} // namespace skintext

using skintext::Lower;
using skintext::Trim;

void TFastIni::LoadFromStream(QIODevice* stream)
{
    if (!stream)
        return;
    const QByteArray bytes = stream->readAll();
    LoadFromBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TFastIni::LoadFromBytes(std::string_view text)
{
    lines_.clear();
    sections_.clear();
    sectionIndex_.clear();

    text = text.substr(0, text.find('\0'));
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view raw = Trim(text.substr(start, end - start));
        start = end + 1;
        if (raw.empty() || raw.front() == ';')
            continue;

        Line line;
        if (raw.front() == '[' && raw.back() == ']') {
            line.isSection = true;
            sections_.push_back({std::string(raw), lines_.size()});
            // try_emplace keeps the first of two sections with the same name.
            sectionIndex_.try_emplace(Lower(raw), lines_.size());
        } else if (const std::size_t equals = raw.find('='); equals != std::string_view::npos) {
            line.key = Lower(Trim(raw.substr(0, equals)));
            line.value = std::string(Trim(raw.substr(equals + 1)));
        }
        lines_.push_back(std::move(line));
    }
}

std::string TFastIni::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    std::string result(defaultValue);
    if (lines_.empty())
        return result;
    const std::string wantedKey = Lower(key);
    std::string header;
    header.reserve(section.size() + 2);
    header.append("[").append(section).append("]");
    const auto found = sectionIndex_.find(Lower(header));
    if (found == sectionIndex_.end())
        return result;

    for (std::size_t i = found->second + 1; i < lines_.size() && !lines_[i].isSection; ++i) {
        const Line& line = lines_[i];
        if (line.key == wantedKey) {
            if (!line.value.empty())
                result = line.value;
            break;
        }
    }
    return result;
}

int TFastIni::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    int value = 0;
    return skintext::ParseInteger(ReadString(section, key, {}), value) ? value : defaultValue;
}

void TFastIni::ReadSections(std::vector<std::string>* Strings) const
{
    if (!Strings)
        throw EAssertionFailed("The parameter Strings is unassigned!");
    Strings->clear();
    for (const Section& section : sections_) {
        const std::string_view header = section.header;
        Strings->emplace_back(Trim(header.substr(1, header.size() - 2)));
    }
}
