#pragma once

#include <stdexcept>
#include <string>

namespace transfer {

// A file that cannot be read as the format it claims: the message names the
// line (counted from 1) where reading had to stop.
class FileFormatError : public std::runtime_error {
public:
    FileFormatError(int line, const std::string& reason)
        : std::runtime_error("第" + std::to_string(line) + "行: " + reason), line_(line)
    {
    }
    int Line() const { return line_; }

private:
    int line_;
};

} // namespace transfer
