#pragma once

#include "store/engine/SqliteHandles.h"
#include "transfer/RecordColumns.h"
#include "transfer/RecordFormats.h"
#include "transfer/RepairLog.h"

#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

// A temporary program folder with a fresh "_.udb", and the transfers run on
// it without any window.
class TemporaryBook {
public:
    TemporaryBook();

    QString Folder() const { return folder_.path() + QLatin1Char('/'); }
    QString ConnectionString() const;

    // Removes every record.
    void Clear();
    // Appends the records (their 编号 ignored) in one go.
    void AddRecords(const std::vector<transfer::Record>& records);
    // Every record in 编号 order.
    std::vector<transfer::Record> Book() const;
    // Every record with 编号 emptied, as an import into an empty book must give them back.
    std::vector<transfer::Record> BookWithoutNumbers() const;

    // Exports every record into the file; answers the number written.
    int ExportTo(transfer::Format format, const QString& path);
    std::string ExportedBytes(transfer::Format format);
    // Imports the file's bytes; answers the number imported and, when asked,
    // the names the file held beyond the book's fields and what reading
    // repaired or skipped. FileFormatError passes through.
    int Import(transfer::Format format, const std::string& bytes, std::vector<std::string>* ignored = nullptr,
               transfer::RepairLog* repairs = nullptr);

private:
    QTemporaryDir folder_;
    store::SqliteDatabase db_; // one connection for the book's life: keying a connection is slow

};

// A record from its nine fields after 编号, in column order.
transfer::Record MakeRecord(std::vector<std::string> fields);

