#pragma once

#include "transfer/BookDatabase.h"
#include "transfer/Duplicates.h"
#include "transfer/RecordFormats.h"
#include "transfer/WholeFileWriter.h"

#include <QFileDevice>
#include <QString>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The two transfers as work that runs in slices, so that a window can stay
// responsive and offer to cancel between them. Neither job changes anything
// that lasts before its Finish: dropping a job cancels it.
namespace transfer {

// Writes every record of table data, in 编号 order, into a file.
class ExportJob {
public:
    ExportJob(sqlite3* db, Format format, const QString& path, QFileDevice::Permissions permissions);

    // Writes up to count more records; false once every record is written.
    bool Step(int count);
    // Puts the file in place. Call once Step has answered false.
    void Finish();

    int Written() const { return written_; }
    double Progress() const;

private:
    RecordCursor cursor_;
    std::unique_ptr<RecordSink> sink_;
    WholeFileWriter file_;
    std::string buffer_;
    RecordView record_;
    int written_ = 0;
};

// Appends the records of a file to table data in one transaction. Given
// which of the records read to leave out, by their order in the file (the
// duplicates the preview found), it leaves those out.
class ImportJob {
public:
    ImportJob(sqlite3* db, std::unique_ptr<RecordSource> source, const std::vector<bool>* leaveOut = nullptr);

    // Appends up to count more records; false once the file is read to its
    // end. Throws FileFormatError at a malformed spot of the file.
    bool Step(int count);
    // Commits the transaction. Call once Step has answered false.
    void Finish();

    int Imported() const { return imported_; }
    // The duplicates left out.
    int Skipped() const { return skipped_; }
    double Progress() const { return source_->Progress(); }
    // The categories of the records, each once, in the order they came.
    const std::vector<std::string>& Categories() const { return categories_; }
    std::vector<std::string> IgnoredNames() const { return source_->IgnoredNames(); }
    // What reading the file repaired or skipped.
    const RepairLog& Repairs() const { return source_->Repairs(); }

private:
    std::unique_ptr<RecordSource> source_;
    RecordAppender appender_;
    std::vector<bool> leaveOut_;
    std::size_t read_ = 0;
    Record record_;
    std::vector<std::string> categories_;
    std::unordered_set<std::string> knownCategories_;
    int imported_ = 0;
    int skipped_ = 0;
};

// Every record of table data in a duplicate index.
DuplicateIndex IndexBook(sqlite3* db);

} // namespace transfer
