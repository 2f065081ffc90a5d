#pragma once

#include "transfer/Csv.h"
#include "transfer/RecordSource.h"

#include <set>

// Records as a spreadsheet's table: a header row of column names, then one
// row per record.
namespace transfer {

// Writes UTF-8 with a byte-order mark (so spreadsheets in Chinese locales
// pick the right encoding), the ten column names as the header, and all ten
// columns of every record.
class CsvRecordSink final : public RecordSink {
public:
    void Begin(std::string& out) override;
    void Append(std::string& out, const RecordView& record) override;
};

// Reads a table in UTF-8 (with or without a byte-order mark) or in the code
// page. The header row maps columns to fields by name (blanks around a name
// and letter case do not matter); 编号 is left to the database, and columns of
// other names are skipped. A row may have fewer fields than the header (the
// rest are empty) but not more.
class CsvRecordSource final : public RecordSource {
public:
    explicit CsvRecordSource(std::string bytes);

    bool Next(Record& record) override;
    double Progress() const override;
    std::vector<std::string> IgnoredNames() const override;

private:
    void ReadHeader();

    std::string text_;
    CsvReader reader_;
    std::vector<int> columnOfField_; // per field of a row: its column, or -1 when skipped
    std::set<std::string> ignored_;
    std::vector<std::string> fields_;
};

} // namespace transfer
