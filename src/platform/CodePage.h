#pragma once

#include <QString>

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

} // namespace platform
