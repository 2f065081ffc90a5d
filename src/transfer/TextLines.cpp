#include "transfer/TextLines.h"

#include <algorithm>

namespace transfer {

LineBreaks::LineBreaks(std::string_view text)
{
    const std::size_t first = text.find_first_of("\r\n");
    if (first == std::string_view::npos || text[first] == '\n')
        return;
    const std::string_view after = text.substr(first + 1);
    loneCrEnds_ = !after.starts_with('\n') && !after.starts_with("\r\n");
}

int LineCounter::LineOf(std::size_t offset)
{
    const std::size_t end = std::min(offset, text_.size());
    while (pos_ < end) {
        const std::size_t length = breaks_.At(text_, pos_);
        if (length == 0) {
            ++pos_;
        } else if (pos_ + length <= end) {
            pos_ += length;
            ++line_;
        } else {
            break; // the offset stands inside a line end: on the line it ends
        }
    }
    return line_;
}

int LineAt(std::string_view text, std::size_t offset) { return LineCounter(text).LineOf(offset); }

} // namespace transfer
