#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Owning handles over the engine's C API and the few calls everything in the
// store needs: open a keyed file, prepare exactly one statement, run it.
// Every failure raises EDatabaseError with the engine's own message.
namespace store {

// Closes a connection and lets go of the key it was opened with.
struct SqliteCloser {
    std::shared_ptr<const void> key;
    void operator()(sqlite3* db) noexcept;
};
struct SqliteFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};
using SqliteDatabase = std::unique_ptr<sqlite3, SqliteCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

enum class OpenMode {
    ExistingFile,    // a missing file is an error, never silently created
    CreateIfMissing, // for writing a fresh database
};

// Opens the file at path, keys it with password (no key when empty) in the
// program's file format (FileFormat.h) and proves the key by reading the
// schema, so a wrong key or a damaged file fails here rather than at the
// first statement.
SqliteDatabase OpenKeyedDatabase(const QString& path, const QString& password, OpenMode mode);

// Prepares the whole text as one statement. Empty text (only blanks or
// comments) and text holding a second statement are errors.
SqliteStatement PrepareSingleStatement(sqlite3* db, const QByteArray& utf8);

// Steps a prepared statement to its end, discarding any rows; returns the
// number of rows it changed.
int RunToCompletion(sqlite3* db, sqlite3_stmt* statement);

// Prepares and runs one statement.
int Execute(sqlite3* db, const QByteArray& utf8);

// The engine's message for the last failure on db.
[[noreturn]] void ThrowEngineError(sqlite3* db);

} // namespace store
