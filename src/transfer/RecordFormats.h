#pragma once

#include "transfer/RecordSource.h"

#include <memory>
#include <string>

namespace transfer {

// The file formats records travel in.
enum class Format { Csv, VCard };

// A reader of bytes in the format; throws FileFormatError when the file's
// start is already wrong (a CSV file without a usable header row).
std::unique_ptr<RecordSource> OpenRecordSource(Format format, std::string bytes);

// A writer of records in the format.
std::unique_ptr<RecordSink> MakeRecordSink(Format format);

} // namespace transfer
