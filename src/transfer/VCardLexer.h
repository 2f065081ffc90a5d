#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The content lines of a vCard file (versions 2.1, 3.0 and 4.0): folded
// lines joined, properties split into name, parameters and value.
namespace transfer {

struct ContentLine {
    int line = 0;     // where the property begins, counted from 1
    std::string name;  // upper case, without its group ("item1.TEL" is TEL)
    std::string group; // upper case ("ITEM1"), empty when the property has none
    // Upper-case names; a 2.1 parameter without a name ("TEL;CELL") counts
    // as a TYPE, or as the ENCODING for the names of encodings. Values as
    // written, without enclosing double quotes.
    std::vector<std::pair<std::string, std::string>> parameters;
    std::string value; // bytes as in the file, lines joined, not yet decoded

    // The first value of a parameter, or empty text.
    std::string_view Parameter(std::string_view name) const;
    // Whether any TYPE lists this type (upper case), in any letter case.
    bool HasType(std::string_view type) const;
    bool IsQuotedPrintable() const;
    bool IsBase64() const;
};

// The value of a content line as UTF-8: quoted-printable or base64 decoded,
// then read in its CHARSET, or else, for a value written as it is, in the
// file's encoding, and for an encoded one in UTF-8 or the code page,
// whichever reads it. Throws FileFormatError naming the property's line.
std::string DecodedValue(const ContentLine& property, bool fileIsUtf8);

class VCardLexer {
public:
    explicit VCardLexer(std::string_view bytes);

    // The next content line, skipping empty lines; false at the end of the
    // file. Throws FileFormatError for a line that is no property.
    bool Next(ContentLine& property);

    // Whether every byte of the file is UTF-8, which then is the encoding of
    // the values that carry no CHARSET.
    bool FileIsUtf8() const { return fileIsUtf8_; }
    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    // The physical line at the position, without its line break.
    std::string_view PeekLine(std::size_t& next) const;
    void Consume(std::size_t next);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool fileIsUtf8_ = true;
};

} // namespace transfer
