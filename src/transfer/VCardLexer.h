#pragma once

#include "transfer/RepairLog.h"
#include "transfer/TextLines.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The content lines of a vCard file (versions 2.1, 3.0 and 4.0): folded
// lines joined before anything is decoded, properties split into name,
// parameters and value. Linear in the size of the file, however its lines
// are folded.
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

class VCardLexer {
public:
    // The bytes of the file without a byte-order mark, in an encoding that
    // keeps ASCII as it is (UTF-8, GBK, ...).
    explicit VCardLexer(std::string_view bytes);

    // The next content line, skipping empty lines; false at the end of the
    // file. A line that is no property (a "#" comment, a line without a
    // colon or with no name before it) is skipped and named in repairs.
    bool Next(ContentLine& property, RepairLog& repairs);

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    // The physical line at the position, without its line end.
    std::string_view PeekLine(std::size_t& next) const;
    void Consume(std::size_t next);
    // The colon that ends the head in logical_, looked for from offset on;
    // npos when none has come yet.
    std::size_t FindColon(std::size_t from);

    std::string_view bytes_;
    LineBreaks breaks_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string logical_;     // the line being read, folds joined
    bool headQuoted_ = false; // the colon search is inside double quotes
};

} // namespace transfer
