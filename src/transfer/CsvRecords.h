#pragma once

#include "transfer/Csv.h"
#include "transfer/HeaderRecognition.h"
#include "transfer/RecordSource.h"
#include "transfer/TaskControl.h"
#include "transfer/TextEncoding.h"

#include <memory>
#include <set>

// Records as a spreadsheet's table: a header row of column names, then one
// row per record.
namespace transfer {

// Writes UTF-8 with a byte-order mark (so spreadsheets in Chinese locales
// pick the right encoding), the ten column names as the header, and all ten
// columns of every record, a cell that looks like a formula marked as one
// that is not (NeedsFormulaMark).
class CsvRecordSink final : public RecordSink {
public:
    void Begin(std::string& out) override;
    void Append(std::string& out, const RecordView& record) override;
};

// A table as a file holds it: its text as UTF-8, how the file stored it, the
// separator and the first row that is not empty, which names the columns;
// unless that row holds what only records hold (an e-mail address, a
// telephone or QQ number, a web address) and no name a header would have:
// then the table has no header, and its columns have empty names.
struct CsvTable {
    std::string text;
    std::shared_ptr<const std::string> original; // the bytes, when the text was converted from them
    Encoding encoding;
    bool encodingSure = true;
    RepairLog repairs; // of the text's bytes and of its header row
    char separator = ',';
    bool headerless = false;
    std::vector<std::string> header;
    std::size_t bodyOffset = 0; // where the rows below the header begin
    int bodyLine = 1;
};

// Reads a table in the encoding given, else the one of its byte-order mark,
// else the one guessed (DecodeTextFile), separated by commas, semicolons or
// tabs. Throws FileFormatError for a file that is not text.
std::shared_ptr<const CsvTable> ReadCsvTable(std::string bytes, const std::optional<Encoding>& encoding = {},
                                             TaskControl* task = nullptr);

// The roles of a table's columns: by their names, or in a table without a
// header by the values of its first rows.
RecognisedHeader RecogniseTable(const CsvTable& table);

// Reads the rows of a table as records, each column in its role: a row may
// have fewer fields than the header (the rest are empty); the text of fields
// beyond the header is left out and named in Repairs; rows that bring no text
// are skipped. A cell of numbers, addresses or home pages may hold several in
// Google's manner ("a ::: b"). A formula's mark is taken off every cell
// (WithoutFormulaMark).
class CsvRecordSource final : public RecordSource {
public:
    CsvRecordSource(std::shared_ptr<const CsvTable> table, std::vector<ColumnRole> roles, std::vector<PartGroup> groups);
    // The table of the bytes with the roles its header is recognised to have.
    explicit CsvRecordSource(std::string bytes);

    bool Next(Record& record) override;
    double Progress() const override;
    // The columns not kept (不导入) that held text in a row read: named by
    // their label when the column is a known one, else by their own name.
    std::vector<std::string> IgnoredNames() const override;
    // The repairs of the table's text and header, then of the rows read.
    const RepairLog& Repairs() const override { return repairs_; }
    // Per column, its first value that held text among the rows read.
    void Report(ReadingReport& report) const override;

private:
    // Takes the value over where it lands whole, unless another column reads it.
    void Apply(std::size_t column, std::string& value);
    void NoteReadColumns();
    // A value whose type, label or service names QQ is the QQ number, any other a labelled line.
    void QQOrNote(std::string_view companion, const std::string& label, const std::string& value);

    std::shared_ptr<const CsvTable> table_;
    std::vector<ColumnRole> roles_;
    std::vector<PartGroup> groups_;
    CsvReader reader_;
    RecordBuilder builder_;
    std::vector<std::string> fields_;
    RepairLog repairs_;
    std::vector<std::string> samples_;
    std::size_t unsampled_;
    std::vector<bool> ignoredHeldText_; // per column not kept: whether a row held text there
    std::vector<bool> readByOthers_;    // per column: whether another column reads it as its type
    std::vector<std::string> partWhole_; // per part group: the value that stands for the whole
    std::vector<std::string> partJoined_;
};

} // namespace transfer
