#pragma once

#include "transfer/RecordColumns.h"

#include <string>
#include <vector>

namespace transfer {

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

// Writes records in a format.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // What comes before the first record.
    virtual void Begin(std::string& out) = 0;
    virtual void Append(std::string& out, const RecordView& record) = 0;
};

} // namespace transfer
