#include "store/ADOConnection.h"

#include "store/ConnectionString.h"
#include "store/engine/DatabaseError.h"

#include <sqlite3.h>

namespace {

// Room for the first pages of the file, which every re-list reads again; how
// the size was chosen is in docs/store.md.
constexpr int PageCacheKiB = 11 * 1024;

} // namespace

TADOConnection::TADOConnection(QObject* parent) : QObject(parent) {}

TADOConnection::~TADOConnection() = default;

void TADOConnection::Open()
{
    if (db_)
        return;
    const TConnectionString parts = TConnectionString::Parse(ConnectionString);
    const QString path = parts.Value(store::DataSourceKey).value_or(QString());
    if (path.isEmpty())
        throw EDatabaseError("The connection string names no Data Source.");
    const QString password = parts.Value(store::DatabasePasswordKey).value_or(QString());
    store::SqliteDatabase db = store::OpenKeyedDatabase(path, password, store::OpenMode::ExistingFile);
    store::Execute(db.get(), QByteArrayLiteral("PRAGMA cache_size = -") + QByteArray::number(PageCacheKiB));
    db_ = std::move(db);
    emit connectedChanged(true);
}

void TADOConnection::Close()
{
    if (!db_)
        return;
    db_.reset();
    emit connectedChanged(false);
}

sqlite3* TADOConnection::Handle()
{
    Open();
    return db_.get();
}

sqlite3* TADOConnection::WritableHandle()
{
    if (db_ && sqlite3_db_readonly(db_.get(), "main") == 1)
        Close();
    return Handle();
}
