#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

// The program's byte strings are in the Chinese national code page. We use
// GB18030, a superset of GBK: every GBK text converts to the same bytes.
namespace platform {

// Text to code-page bytes. Characters outside the code page cannot occur in
// GB18030 (it covers all of Unicode).
std::string ToAnsi(const QString& text);

// Code-page bytes to text. Invalid sequences become U+FFFD instead of failing.
QString FromAnsi(std::string_view bytes);

// Code-page bytes to UTF-8, strictly: returns the offset of the first byte
// that starts no valid sequence (utf8 then holds what came before it), or
// std::string_view::npos when every byte converted.
std::size_t AnsiToUtf8(std::string_view bytes, std::string& utf8);

} // namespace platform
