#pragma once

#include "transfer/RepairLog.h"
#include "transfer/TextLines.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as spreadsheets write and read them (RFC 4180).
namespace transfer {

// Appends one row: the fields separated by commas, the row ended by CR LF.
// A field holding a comma, a double quote, CR or LF goes between double
// quotes, with each quote inside doubled.
void AppendCsvRow(std::string& out, std::span<const std::string_view> fields);

// A cell that a spreadsheet would run as a formula (one beginning with =, +,
// -, @, a tab or a CR) is written with an apostrophe before it, as
// spreadsheets expect, and so is one that begins with apostrophes before such
// a character; reading takes exactly one apostrophe off such a cell again, so
// every cell reads back as it was.
bool NeedsFormulaMark(std::string_view cell);
std::string_view WithoutFormulaMark(std::string_view cell);

// The separator a table uses, told by its first line that is not empty: the
// one of comma, semicolon and tab found most often outside quotes there (a
// comma when none is, or on a tie).
char DetectSeparator(std::string_view text);

// Reads rows from UTF-8 text. A row ends where its line ends (TextLines)
// outside quotes; inside quotes every character, line ends included, belongs
// to the field as written. An empty line is a row of one empty field.
// Nothing is refused; each repair is named in the log given:
// - a quote that no later quote closes is a character, and its field plain;
// - a quote inside a field that does not start with one is a character;
// - text between a closing quote and the separator joins the field.
class CsvReader {
public:
    // Reads from the offset on, which begins the given line.
    explicit CsvReader(std::string_view text, char separator = ',', std::size_t offset = 0, int line = 1);

    // The next row's fields; false once the text is used up.
    bool Next(std::vector<std::string>& fields, RepairLog* repairs = nullptr);

    // The line on which the row last read began.
    int RowLine() const { return rowLine_; }
    // How much of the text has been read, and the line that begins there.
    std::size_t Position() const { return pos_; }
    int Line() const { return line_; }

private:
    void ReadQuotedField(std::string& field, RepairLog* repairs);
    void ReadPlainField(std::string& field, RepairLog* repairs, bool quoteMet = false);
    std::size_t BreakAt(std::size_t i) const { return breaks_.At(text_, i); }

    std::string_view text_;
    LineBreaks breaks_;
    std::size_t lastQuote_; // no quote stands after this offset
    char separator_;
    std::size_t pos_;
    int line_;
    int rowLine_;
};

} // namespace transfer
