#include "transfer/BookDatabase.h"

#include "store/ConnectionString.h"
#include "store/engine/DatabaseError.h"

#include <sqlite3.h>

namespace transfer {
namespace {

constexpr char SelectAll[] = "Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data order by 编号";
constexpr char InsertOne[] =
    "Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values (?1,?2,?3,?4,?5,?6,?7,?8,?9)";

// A transfer waits this long for the program's own connection to let go of the file.
constexpr int BusyTimeoutMs = 5000;

} // namespace

QString BookPath(const QString& connectionString)
{
    const QString path = TConnectionString::Parse(connectionString).Value(store::DataSourceKey).value_or(QString());
    if (path.isEmpty())
        throw EDatabaseError("The connection string names no Data Source.");
    return path;
}

store::SqliteDatabase OpenBook(const QString& connectionString)
{
    const TConnectionString parts = TConnectionString::Parse(connectionString);
    const QString* password = parts.Find(store::DatabasePasswordKey);
    store::SqliteDatabase db = store::OpenKeyedDatabase(BookPath(connectionString), password ? *password : QString(),
                                                        store::OpenMode::ExistingFile);
    sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
    return db;
}

RecordCursor::RecordCursor(sqlite3* db) : db_(db)
{
    const store::SqliteStatement count = store::PrepareSingleStatement(db, "select count(*) from data");
    if (sqlite3_step(count.get()) != SQLITE_ROW)
        store::ThrowEngineError(db);
    count_ = sqlite3_column_int(count.get(), 0);
    select_ = store::PrepareSingleStatement(db, SelectAll);
}

bool RecordCursor::Next(RecordView& record)
{
    const int rc = sqlite3_step(select_.get());
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        store::ThrowEngineError(db_);
    for (int column = 0; column < col::Count; ++column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select_.get(), column));
        if (!text && sqlite3_column_type(select_.get(), column) != SQLITE_NULL)
            store::ThrowEngineError(db_);
        record[column] = text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(select_.get(), column)))
                              : std::string_view();
    }
    return true;
}

RecordAppender::RecordAppender(sqlite3* db) : db_(db)
{
    // Taking the write lock now makes a busy file fail here, before any work.
    store::Execute(db, "begin immediate");
    open_ = true;
    insert_ = store::PrepareSingleStatement(db, InsertOne);
}

RecordAppender::~RecordAppender()
{
    insert_.reset();
    if (open_)
        sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
}

void RecordAppender::Append(const Record& record)
{
    sqlite3_stmt* insert = insert_.get();
    for (int column = col::Category; column < col::Count; ++column) {
        const std::string& text = record[column];
        if (sqlite3_bind_text(insert, column, text.data(), static_cast<int>(text.size()), SQLITE_STATIC) != SQLITE_OK)
            store::ThrowEngineError(db_);
    }
    store::RunToCompletion(db_, insert);
    sqlite3_reset(insert);
}

void RecordAppender::Commit()
{
    insert_.reset();
    store::Execute(db_, "commit");
    open_ = false;
}

} // namespace transfer
