#pragma once

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

// Reads rows from UTF-8 text. A row ends at CR LF, LF or a lone CR outside
// quotes; inside quotes every character, line breaks included, belongs to the
// field as written. An empty line is a row of one empty field.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // The next row's fields; false once the text is used up. Throws
    // FileFormatError for a quote that is never closed, a quote inside a field
    // that does not start with one, or text after a closing quote.
    bool Next(std::vector<std::string>& fields);

    // The line on which the row last read began.
    int RowLine() const { return rowLine_; }
    // How much of the text has been read.
    std::size_t Position() const { return pos_; }

private:
    void ReadQuotedField(std::string& field);
    void ReadPlainField(std::string& field);

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int rowLine_ = 1;
};

} // namespace transfer
