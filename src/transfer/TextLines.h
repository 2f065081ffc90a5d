#pragma once

#include <cstddef>
#include <string_view>

// Lines as a text editor counts them, so that a message naming a line points
// where the user looks. A line ends at LF, CR LF or CR CR LF (some phones
// write a CR before each CR LF: that is one line end, not two). A lone CR
// ends a line only in a file whose first line ends with one (as old Mac
// programs write); anywhere else it is a character of its line, as a bare CR
// inside a value is.
namespace transfer {

class LineBreaks {
public:
    explicit LineBreaks(std::string_view text);

    // The length of the line end that starts at offset i of the text, 0 when
    // none starts there.
    std::size_t At(std::string_view text, std::size_t i) const
    {
        const char c = text[i];
        if (c == '\n')
            return 1;
        if (c != '\r')
            return 0;
        if (i + 1 < text.size() && text[i + 1] == '\n')
            return 2;
        if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n')
            return 3;
        return loneCrEnds_ ? 1 : 0;
    }
    bool LoneCrEnds() const { return loneCrEnds_; }

private:
    bool loneCrEnds_ = false;
};

// Turns offsets into line numbers (counted from 1) in one pass: each offset
// asked for must be at least the one asked for before.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text), breaks_(text) {}
    int LineOf(std::size_t offset);

private:
    std::string_view text_;
    LineBreaks breaks_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// The line that holds the byte at offset.
int LineAt(std::string_view text, std::size_t offset);

} // namespace transfer
