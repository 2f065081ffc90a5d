#pragma once

#include "transfer/TaskControl.h"

#include <QString>

#include <cstddef>
#include <stdexcept>
#include <string>

// The bytes of a file the user picked for an import, read with bounds: the
// pick may be a link to a device (/dev/zero), a pipe that never ends, a
// folder or a file far larger than any address book.
namespace transfer {

// The largest file an import reads: larger than any address book, small
// enough that its text, its records and the preview fit in memory.
inline constexpr std::size_t MaxImportBytes = std::size_t{256} << 20;

// A file that is not read, with a message in Chinese naming it and why.
class ImportFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole file, read in pieces that report progress to the task and let
// it cancel. Follows links to their target, which must be a regular file of
// at most MaxImportBytes; anything else, and a file that cannot be read, is
// refused with ImportFileError. Opening never waits for a pipe's writer.
std::string ReadImportFile(const QString& path, TaskControl* task = nullptr);

} // namespace transfer
