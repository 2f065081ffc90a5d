#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 as the readers check, count and repair it.
namespace transfer {

inline constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD

// The sequence that starts at offset i: its length when it is well-formed
// UTF-8 (no overlong forms, surrogates or values beyond U+10FFFF), 0 when it
// is not, and SequenceCut when the bytes end inside a sequence that was
// well-formed so far.
inline constexpr std::size_t SequenceCut = static_cast<std::size_t>(-1);
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i);

// Length of the longest prefix that is well-formed UTF-8.
std::size_t ValidUtf8Prefix(std::string_view bytes);

void AppendUtf8(std::string& out, char32_t c);

// How much of a text reads as UTF-8: its sequences of two to four bytes that
// are well-formed, its bytes beyond ASCII that start none, and all its bytes
// beyond ASCII.
struct Utf8Census {
    std::size_t sequences = 0;
    std::size_t invalid = 0;
    std::size_t nonAscii = 0;

    void Add(std::string_view bytes);
};

// The bytes with a leading UTF-8 byte-order mark removed.
std::string_view WithoutUtf8Bom(std::string_view bytes);

// A text cut to at most maxBytes at a character's boundary, "…" after it
// when something was cut: what the preview shows of a value.
std::string Shortened(std::string_view utf8, std::size_t maxBytes);

} // namespace transfer
