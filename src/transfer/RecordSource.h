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
    // What the file held that is not kept at all, as the closing message
    // names it (a table's columns by their names or known labels, a card's
    // properties in Chinese), each once, sorted.
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
