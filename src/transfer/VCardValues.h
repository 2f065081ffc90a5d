#pragma once

#include "transfer/Encodings.h"
#include "transfer/RepairLog.h"
#include "transfer/TextConverter.h"
#include "transfer/VCardLexer.h"

#include <memory>
#include <string>
#include <vector>

namespace transfer {

// The values of a card file's content lines as UTF-8. Quoted-printable and
// base64 are undone first; then the value is read in its CHARSET, or else,
// for a value written as it is, in the file's encoding, and for an encoded
// one in UTF-8 when it is that, else in the fallback. Nothing is refused: a
// damaged escape is kept as written, a byte not valid in the encoding becomes
// U+FFFD, an unknown CHARSET is read as if none were given, and each such
// repair is named with the property's line.
class CardValues {
public:
    CardValues(Encoding file, Encoding encodedFallback);
    ~CardValues();

    std::string Decode(const ContentLine& property, RepairLog& repairs);
    // A parameter's value as text in the file's encoding; empty when it is not valid there.
    std::string ParameterText(const ContentLine& property, std::string_view name);

private:
    TextConverter& ConverterFor(const Encoding& encoding);

    Encoding file_;
    Encoding encodedFallback_;
    std::vector<std::pair<std::string, std::unique_ptr<TextConverter>>> converters_; // by charset
};

} // namespace transfer
