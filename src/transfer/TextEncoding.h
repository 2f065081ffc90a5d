#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Telling the encodings that files from other programs arrive in apart, and
// turning them into UTF-8. The code page is the program's (GB18030, a
// superset of GBK), which spreadsheets in Chinese locales save in.
namespace transfer {

// Length of the longest prefix that is well-formed UTF-8: no stray
// continuation bytes, overlong forms, surrogates or values beyond U+10FFFF.
std::size_t ValidUtf8Prefix(std::string_view bytes);

// The line (counted from 1) that holds the byte at offset; lines end at LF,
// CR LF or a lone CR.
int LineAt(std::string_view text, std::size_t offset);

// The bytes with a leading UTF-8 byte-order mark removed.
std::string_view WithoutUtf8Bom(std::string_view bytes);

// The encodings a text file can arrive in.
enum class FileEncoding { Utf8, Utf8WithBom, CodePage, Utf16Le, Utf16Be };

// How the preview names an encoding ("UTF-8", "GBK", "UTF-16 LE", ...).
std::string_view EncodingName(FileEncoding encoding);

struct DecodedFile {
    std::string text; // UTF-8
    FileEncoding encoding = FileEncoding::Utf8;
};

// A whole text file as UTF-8. After a UTF-8 byte-order mark the rest must be
// UTF-8; after a UTF-16 one (either byte order) the rest must be UTF-16 of
// that order; without a mark the file is UTF-8 when it is valid UTF-8,
// otherwise it must be in the code page. A zero character is refused too: no
// text holds one. Throws FileFormatError naming the line where the text stops
// being valid.
DecodedFile DecodeTextFile(std::string_view bytes);

// The bytes as they are, or, after a UTF-16 byte-order mark, converted to
// UTF-8 (with a UTF-8 mark, so that the encoding stays told). Throws
// FileFormatError like DecodeTextFile for UTF-16 that is not valid.
std::string WithUtf16AsUtf8(std::string bytes);

// One value's bytes as UTF-8: in the named character set (any letter case;
// GBK, GB2312, GB18030 and CP936 read through the code page), or, without a
// name, UTF-8 when valid and the code page otherwise. Nothing when the bytes
// are not valid in that set, hold a zero byte, or the set is unknown.
std::optional<std::string> DecodeValue(std::string_view bytes, std::string_view charset);

} // namespace transfer
