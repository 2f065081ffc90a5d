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

// The separator a table uses, told by its first line that is not empty: the
// one of comma, semicolon and tab found most often outside quotes there (a
// comma when none is, or on a tie).
char DetectSeparator(std::string_view text);

// Reads rows from UTF-8 text. A row ends at CR LF, LF or a lone CR outside
// quotes; inside quotes every character, line breaks included, belongs to the
// field as written. An empty line is a row of one empty field.
class CsvReader {
public:
    // Reads from the offset on, which begins the given line.
    explicit CsvReader(std::string_view text, char separator = ',', std::size_t offset = 0, int line = 1)
        : text_(text), separator_(separator), pos_(offset), line_(line), rowLine_(line)
    {
    }

    // The next row's fields; false once the text is used up. Throws
    // FileFormatError for a quote that is never closed, a quote inside a field
    // that does not start with one, or text after a closing quote.
    bool Next(std::vector<std::string>& fields);

    // The line on which the row last read began.
    int RowLine() const { return rowLine_; }
    // How much of the text has been read, and the line that begins there.
    std::size_t Position() const { return pos_; }
    int Line() const { return line_; }

private:
    void ReadQuotedField(std::string& field);
    void ReadPlainField(std::string& field);

    std::string_view text_;
    char separator_;
    std::size_t pos_;
    int line_;
    int rowLine_;
};

} // namespace transfer
