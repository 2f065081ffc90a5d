#pragma once

#include "transfer/Encodings.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Text in any encoding the converter knows, as UTF-8. Nothing is refused: a
// byte sequence that is not valid in the encoding becomes U+FFFD, and the
// caller learns where, so that the preview can name the line. UTF-8 and
// UTF-16 are read here; every other encoding through iconv, which tells the
// exact byte where a text stops being valid.
namespace transfer {

class TextConverter {
public:
    // Where in the output a U+FFFD was put for an invalid sequence.
    using Replaced = std::function<void(std::size_t outputOffset)>;

    // Throws std::invalid_argument for an encoding the converter does not
    // know (EncodingOfLabel only gives known ones).
    explicit TextConverter(const Encoding& encoding);
    ~TextConverter();
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;

    // Appends the UTF-8 of bytes to out. With more to come, a sequence cut
    // by the end of bytes is left for the next piece, which must start with
    // it; answers how many bytes were read.
    std::size_t Convert(std::string_view bytes, std::string& out, bool more, const Replaced& replaced);

    // A whole text; how many sequences were replaced goes to replacements.
    std::string Convert(std::string_view bytes, std::size_t& replacements);

private:
    std::size_t FromUtf8(std::string_view bytes, std::string& out, bool more, const Replaced& replaced);
    std::size_t FromUtf16(std::string_view bytes, std::string& out, bool more, const Replaced& replaced);
    std::size_t FromIconv(std::string_view bytes, std::string& out, bool more, const Replaced& replaced);

    enum class Kind { Utf8, Utf16Le, Utf16Be, Iconv } kind_;
    void* iconv_ = nullptr; // iconv_t
};

} // namespace transfer
