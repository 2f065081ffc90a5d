#pragma once

#include "store/engine/SqliteHandles.h"
#include "transfer/RecordColumns.h"

#include <QString>

namespace transfer {

// A connection of its own to the database that a connection string names
// (its Data Source and key), so that a long transfer neither holds nor
// depends on the program's connection. Raises EDatabaseError.
store::SqliteDatabase OpenBook(const QString& connectionString);

// The database file that a connection string names.
QString BookPath(const QString& connectionString);

// Every record of table data in 编号 order, read row by row.
class RecordCursor {
public:
    explicit RecordCursor(sqlite3* db);

    // The number of records when the cursor was made.
    int Count() const { return count_; }
    // The next record; its texts stay valid until the next call. A null
    // reads as empty text. False after the last record.
    bool Next(RecordView& record);

private:
    sqlite3* db_;
    store::SqliteStatement select_;
    int count_ = 0;
};

// Appends records to table data through one prepared insert with bound
// values, all in one transaction: nothing is in the table until Commit, and
// an appender dropped before it takes back everything it appended.
class RecordAppender {
public:
    explicit RecordAppender(sqlite3* db);
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    // Appends the record's fields after 编号, which the database assigns.
    void Append(const Record& record);
    void Commit();

private:
    sqlite3* db_;
    store::SqliteStatement insert_;
    bool open_ = false;
};

} // namespace transfer
