#include "store/ADOConnection.h"

#include "store/ConnectionString.h"
#include "store/engine/DatabaseError.h"

#include <sqlite3.h>

namespace {

// The cache holds the file and this much more, so that it is sized again
// only after the file has grown by about a quarter.
int CachePagesFor(int filePages) { return filePages + filePages / 4 + 256; }

int PageCount(sqlite3* db)
{
    const store::SqliteStatement count = store::PrepareSingleStatement(db, QByteArrayLiteral("PRAGMA page_count"));
    if (sqlite3_step(count.get()) != SQLITE_ROW)
        store::ThrowEngineError(db);
    return sqlite3_column_int(count.get(), 0);
}

} // namespace

TADOConnection::TADOConnection(QObject* parent) : QObject(parent) {}

TADOConnection::~TADOConnection() = default;

void TADOConnection::Open()
{
    if (db_)
        return;
    SealConnectionString();
    const TConnectionString parts = TConnectionString::Parse(ConnectionString);
    const QString path = parts.Value(store::DataSourceKey).value_or(QString());
    if (path.isEmpty())
        throw EDatabaseError("The connection string names no Data Source.");
    const QString* password = parts.Find(store::DatabasePasswordKey);
    db_ = store::OpenKeyedDatabase(path, password ? *password : QString(), store::OpenMode::ExistingFile);
    cachePages_ = 0;
    try {
        FitCacheToFile();
    } catch (...) {
        db_.reset();
        throw;
    }
    emit connectedChanged(true);
}

void TADOConnection::SealConnectionString()
{
    const auto* sealed = sealed_.empty() ? nullptr : reinterpret_cast<const QChar*>(sealed_.back().Data());
    if (ConnectionString.isEmpty() || ConnectionString.constData() == sealed)
        return;
    const qsizetype length = ConnectionString.size();
    sealed_.emplace_back(reinterpret_cast<const char*>(ConnectionString.constData()),
                         static_cast<std::size_t>(length) * sizeof(QChar));
    WipeText(ConnectionString);
    ConnectionString = QString::fromRawData(reinterpret_cast<const QChar*>(sealed_.back().Data()), length);
}

void TADOConnection::Close()
{
    if (!db_)
        return;
    db_.reset();
    emit connectedChanged(false);
}

void TADOConnection::FitCacheToFile()
{
    sqlite3* db = Handle();
    const int filePages = PageCount(db);
    if (filePages <= cachePages_)
        return;
    cachePages_ = CachePagesFor(filePages);
    store::Execute(db, QByteArrayLiteral("PRAGMA cache_size = ") + QByteArray::number(cachePages_));
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
