#pragma once

#include "transfer/RecordSource.h"

#include <memory>
#include <string>

namespace transfer {

// The file formats records travel in.
enum class Format { Csv, VCard };

// A reader of bytes in the format, a table's columns in the roles their
// names are recognised to have; throws FileFormatError when the file is not
// text.
std::unique_ptr<RecordSource> OpenRecordSource(Format format, std::string bytes);

// A writer of records in the format.
std::unique_ptr<RecordSink> MakeRecordSink(Format format);

} // namespace transfer
