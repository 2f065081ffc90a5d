#pragma once

#include "transfer/RecordColumns.h"

#include <memory>
#include <string>
#include <vector>

namespace transfer {

enum class Format { Csv, VCard };

// Records read one by one from a file's bytes.
class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The next record that holds any text (编号 stays empty); false at the
    // end of the file. Throws FileFormatError at a malformed spot.
    virtual bool Next(Record& record) = 0;
    // How much of the file has been read, from 0 to 1.
    virtual double Progress() const = 0;
    // The names in the file that lead to no column (CSV columns, vCard
    // properties), each once, sorted.
    virtual std::vector<std::string> IgnoredNames() const = 0;
};

// A reader of bytes in the format; throws FileFormatError when the file's
// start is already wrong (a CSV file without a usable header row).
std::unique_ptr<RecordSource> OpenRecordSource(Format format, std::string bytes);

// Writes records in a format.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // What comes before the first record.
    virtual void Begin(std::string& out) = 0;
    virtual void Append(std::string& out, const RecordView& record) = 0;
};

std::unique_ptr<RecordSink> MakeRecordSink(Format format);

} // namespace transfer
