#include "transfer/ContactWords.h"

#include "transfer/Ascii.h"
#include "transfer/RecordBuilder.h"

#include <algorithm>
#include <array>

namespace transfer {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view WithoutGoogleMark(std::string_view text)
{
    text = Trimmed(text);
    return text.substr(0, 2) == "* " ? Trimmed(text.substr(2)) : text;
}

bool Contains(const std::string& haystack, std::string_view needle) { return haystack.find(needle) != std::string::npos; }

} // namespace

std::string NormalisedName(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    bool blank = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (name.substr(i, 3) == "\xE3\x80\x80") { // an ideographic blank
            blank = true;
            i += 2;
        } else if (name.substr(i, 3) == "\xEF\xBC\x9A") { // a full-width colon
            i += 2;
        } else if (c == ' ' || c == '\t' || c == '_') {
            blank = true;
        } else if (c == '-' || c == '.' || c == '/' || c == '\'' || c == ':' || c == '*') {
            continue; // left out, and no blank either
        } else {
            if (blank && !key.empty() && IsAsciiLetter(key.back()) && IsAsciiLetter(c))
                key += ' ';
            blank = false;
            key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return key;
}


bool NamesQQ(std::string_view label)
{
    const std::string key = NormalisedName(WithoutGoogleMark(label));
    return key == "qq" || key == "qq号" || key == "qq号码";
}

std::string_view QQInValue(std::string_view value)
{
    value = Trimmed(value);
    if (!ascii::StartsWithIgnoringCase(value, "qq"))
        return {};
    value.remove_prefix(2);
    if (value.starts_with("号码"))
        value.remove_prefix(std::string_view("号码").size());
    else if (value.starts_with("号"))
        value.remove_prefix(std::string_view("号").size());
    // Blanks and one colon (ASCII or full-width) or number sign before the number.
    value = Trimmed(value);
    for (const std::string_view mark : {":", "：", "#"})
        if (value.starts_with(mark)) {
            value = Trimmed(value.substr(mark.size()));
            break;
        }
    const bool digits = std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && value.size() >= 5 && value.size() <= 11 && value[0] != '0' ? value : std::string_view();
}

NumberKind KindOfNumber(std::string_view type)
{
    if (NamesQQ(type))
        return NumberKind::QQ;
    const std::string key = NormalisedName(WithoutGoogleMark(type));
    if (Contains(key, "fax") || Contains(key, "传真"))
        return NumberKind::Fax;
    if (Contains(key, "mobile") || Contains(key, "cell") || Contains(key, "iphone") || Contains(key, "手机") ||
        Contains(key, "移动"))
        return NumberKind::Mobile;
    return NumberKind::Other;
}

bool IsOutlookDefault(std::string_view value)
{
    constexpr std::array<std::string_view, 11> defaults = {"0/0/00", "0/0/0000", "0.0.00", "00-0-0",
                                                            "Unspecified", "未指定", "Normal", "普通",
                                                            "一般", "False", "假"};
    value = Trimmed(value);
    return std::any_of(defaults.begin(), defaults.end(),
                       [&](std::string_view d) { return ascii::EqualsIgnoringCase(d, value); });
}

} // namespace transfer
