#include "store/engine/SqliteHandles.h"

#include "store/engine/DatabaseError.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/EngineSetup.h"
#include "store/engine/FileFormat.h"
#include "store/engine/PageCipher.h"
#include "store/engine/SecretHeap.h"

#include <sqlite3.h>

namespace store {

void SqliteCloser::operator()(sqlite3* db) noexcept
{
    sqlite3_close_v2(db);
    key.reset();
}

void SqliteFinalizer::operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }

void ThrowEngineError(sqlite3* db)
{
    throw EDatabaseError(std::string(db ? sqlite3_errmsg(db) : "out of memory"));
}

SqliteDatabase OpenKeyedDatabase(const QString& path, const QString& password, OpenMode mode)
{
    const char* const files = PrepareEngine();
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, files);
    SqliteDatabase db(raw); // closed on every way out, also after a failed open
    if (opened != SQLITE_OK) {
        throw EDatabaseError(QStringLiteral("%1: %2").arg(
            QString::fromUtf8(raw ? sqlite3_errmsg(raw) : "out of memory"), path));
    }
    // What the engine and the cryptography library make of the key, from the
    // key itself to the contexts of the first page read, goes to secret memory.
    const SecretAllocations secret;
    if (!password.isEmpty()) {
        const FileKey key = KeyForFile(path, Utf8Secret(password));
        {
            const PageCipherScope cipher;
            if (sqlite3_key(db.get(), key.Data(), key.Size()) != SQLITE_OK)
                ThrowEngineError(db.get());
        }
        StateFileFormat(db.get(), "main");
        db.get_deleter().key = key.Hold();
    }
    // The key is only checked (and the engine derives its keys) when the
    // first page is read.
    try {
        Execute(db.get(), QByteArrayLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const EDatabaseError& error) {
        throw EDatabaseError(QStringLiteral("%1: %2").arg(QString::fromUtf8(error.what()), path));
    }
    return db;
}

SqliteStatement PrepareSingleStatement(sqlite3* db, const QByteArray& utf8)
{
    // The engine stops reading at a NUL, which would silently drop the rest.
    if (utf8.contains('\0'))
        throw EDatabaseError("The statement contains a NUL character.");
    const char* const end = utf8.constData() + utf8.size();
    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &raw, &tail) != SQLITE_OK)
        ThrowEngineError(db);
    SqliteStatement statement(raw);
    if (!statement)
        throw EDatabaseError("The statement is empty.");
    // Only blanks, comments or lone semicolons may follow.
    while (tail && tail < end) {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &extra, &next);
        SqliteStatement extraOwner(extra);
        if (rc != SQLITE_OK || extra)
            throw EDatabaseError("Characters found after the end of the statement.");
        if (next == tail)
            break;
        tail = next;
    }
    return statement;
}

int RunToCompletion(sqlite3* db, sqlite3_stmt* statement)
{
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        ThrowEngineError(db);
    // sqlite3_changes keeps the count of the last statement that wrote.
    return sqlite3_stmt_readonly(statement) ? 0 : sqlite3_changes(db);
}

int Execute(sqlite3* db, const QByteArray& utf8)
{
    const SqliteStatement statement = PrepareSingleStatement(db, utf8);
    return RunToCompletion(db, statement.get());
}

} // namespace store
