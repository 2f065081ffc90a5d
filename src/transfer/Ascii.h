#pragma once

#include <algorithm>
#include <string_view>

// Letter case of the ASCII names that file formats use (parameter names,
// character sets, URI schemes); bytes beyond ASCII are left alone.
namespace transfer::ascii {

inline char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Upper(x) == Upper(y); });
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

} // namespace transfer::ascii
