#pragma once

#include "transfer/Encodings.h"
#include "transfer/RecordColumns.h"
#include "transfer/RepairLog.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace transfer {

// How much of a value the preview shows (Shortened): a value may be hundreds
// of megabytes, which no window can lay out.
inline constexpr std::size_t ShownValueBytes = 256;

// What a reading of a file found beyond its records, for the preview.
struct ReadingReport {
    // A table: per column, its first value that held text, shortened for showing.
    std::vector<std::string> samples;
    // Cards: each property with how often it occurred, and who wrote them.
    std::vector<std::pair<std::string, int>> properties;
    std::string kind;
    // The encoding the reading took, when it found it itself, and whether it is sure.
    std::optional<Encoding> encoding;
    bool encodingSure = true;
};

// Records read one by one from a file's bytes.
class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The next record that holds any text (编号 stays empty); false at the
    // end of the file. What is damaged is repaired or skipped and named in
    // Repairs; FileFormatError is thrown only for a file that holds nothing
    // to import at all, naming the line of its first fault.
    virtual bool Next(Record& record) = 0;
    // How much of the file has been read, from 0 to 1.
    virtual double Progress() const = 0;
    // What the file held that is not kept at all, as the closing message
    // names it (a table's columns by their names or known labels, a card's
    // properties in Chinese), each once, sorted.
    virtual std::vector<std::string> IgnoredNames() const = 0;
    // What was repaired or skipped so far.
    virtual const RepairLog& Repairs() const = 0;
    // What the reading so far found out for the preview.
    virtual void Report(ReadingReport& report) const = 0;
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
