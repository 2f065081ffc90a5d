#include "sync/SyncStore.h"

#include "store/ConnectionString.h"
#include "store/SyncSchema.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/DatabaseError.h"
#include "transfer/BookDatabase.h"

#include <sqlite3.h>

namespace booksync {
namespace {

namespace col = transfer::col;

// The sync waits no longer than this for the program's own connection: it
// runs on the window's thread, and a busy file is tried again at the next step.
constexpr int BusyTimeoutMs = 50;

// A statement from the store's cache, reset, its values bound by position from 1.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement)
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    // A statement of its own, for one use.
    Statement(sqlite3* db, const char* text) : db_(db), owned_(store::PrepareSingleStatement(db, text)), statement_(owned_.get()) {}
    // A cached statement left mid-way would keep its read open, and with it a lock on the file.
    ~Statement()
    {
        if (!owned_)
            sqlite3_reset(statement_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Text(std::string_view value)
    {
        Check(sqlite3_bind_text(statement_, ++bound_, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Text(const QString& value) { return Text(value.toUtf8().toStdString()); }
    Statement& Blob(const std::optional<std::string>& value)
    {
        if (!value)
            return Null();
        Check(sqlite3_bind_blob(statement_, ++bound_, value->data(), static_cast<int>(value->size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& OptionalText(const std::optional<std::string>& value) { return value ? Text(*value) : Null(); }
    Statement& Int(long long value)
    {
        Check(sqlite3_bind_int64(statement_, ++bound_, value));
        return *this;
    }
    Statement& Null()
    {
        Check(sqlite3_bind_null(statement_, ++bound_));
        return *this;
    }

    bool Step()
    {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            store::ThrowEngineError(db_);
        return false;
    }
    void Run()
    {
        while (Step()) {
        }
    }

    std::string ColumnText(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
    }
    std::optional<std::string> ColumnOptional(int column) const
    {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL)
            return std::nullopt;
        const void* bytes = sqlite3_column_blob(statement_, column);
        const int size = sqlite3_column_bytes(statement_, column);
        return bytes ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size)) : std::string();
    }
    QString ColumnQString(int column) const { return QString::fromStdString(ColumnText(column)); }
    long long ColumnInt(int column) const { return sqlite3_column_int64(statement_, column); }

private:
    void Check(int rc)
    {
        if (rc != SQLITE_OK)
            store::ThrowEngineError(db_);
    }

    sqlite3* db_;
    store::SqliteStatement owned_;
    sqlite3_stmt* statement_;
    int bound_ = 0;
};

void BindRecord(Statement& statement, const Record& record)
{
    for (int column = col::Category; column < col::Count; ++column)
        statement.Text(record[column]);
}

Account ReadAccountFrom(sqlite3* db)
{
    Statement read(db, "SELECT server, user, book, token, pin, password, last_time, last_result FROM sync_account");
    Account account;
    if (!read.Step())
        return account;
    account.server = read.ColumnQString(0);
    account.user = read.ColumnQString(1);
    account.book = read.ColumnQString(2);
    account.token = read.ColumnQString(3);
    account.pin = read.ColumnQString(4);
    if (const auto password = read.ColumnOptional(5))
        account.password = QString::fromStdString(*password);
    account.lastTime = read.ColumnQString(6);
    account.lastResult = read.ColumnQString(7);
    return account;
}

} // namespace

SyncStore::SyncStore(const QString& connectionString) : db_(transfer::OpenBook(connectionString))
{
    sqlite3_busy_timeout(db_.get(), BusyTimeoutMs);
    store::EnsureSyncSchema(db_.get());
}

sqlite3_stmt* SyncStore::Prepared(const char* sql)
{
    store::SqliteStatement& cached = cache_[sql];
    if (!cached)
        cached = store::PrepareSingleStatement(Db(), sql);
    return cached.get();
}

std::shared_ptr<const void> SyncStore::HoldKey(const QString& connectionString)
{
    const QString password =
        TConnectionString::Parse(connectionString).Value(store::DatabasePasswordKey).value_or(QString());
    return store::KeyForFile(transfer::BookPath(connectionString), store::Utf8Secret(password)).Hold();
}

Account SyncStore::PeekAccount(const QString& connectionString)
{
    const store::SqliteDatabase db = transfer::OpenBook(connectionString);
    sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
    return store::HasSyncSchema(db.get()) ? ReadAccountFrom(db.get()) : Account();
}

Account SyncStore::ReadAccount() { return ReadAccountFrom(Db()); }


void SyncStore::WriteSettings(const Account& account)
{
    Transaction transaction(*this);
    const Account old = ReadAccount();
    if (old.book != account.book) {
        // Another book: nothing of the old one's state holds for it. Every
        // record meets the new book's cards as at a first sync.
        store::Execute(Db(), "DELETE FROM sync_item WHERE deleted = 1");
        store::Execute(Db(), "UPDATE sync_item SET uid = NULL, href = NULL, etag = NULL, card = NULL, dirty = 1");
        store::Execute(Db(), "DELETE FROM sync_conflict");
        store::Execute(Db(), "UPDATE sync_account SET token = ''");
    }
    Statement(Db(), Prepared("UPDATE sync_account SET server = ?1, user = ?2, book = ?3, pin = ?4"))
        .Text(account.server)
        .Text(account.user)
        .Text(account.book)
        .Text(account.pin)
        .Run();
    transaction.Commit();
}

void SyncStore::WritePassword(const std::optional<QString>& password)
{
    Statement write(Db(), Prepared("UPDATE sync_account SET password = ?1"));
    if (password)
        write.Text(*password);
    else
        write.Null();
    write.Run();
}

void SyncStore::WriteResult(const QString& time, const QString& result)
{
    Statement(Db(), Prepared("UPDATE sync_account SET last_time = ?1, last_result = ?2")).Text(time).Text(result).Run();
}

void SyncStore::WriteToken(const QString& token)
{
    Statement(Db(), Prepared("UPDATE sync_account SET token = ?1")).Text(token).Run();
}

std::unordered_map<std::string, SyncStore::Known> SyncStore::ItemsByHref()
{
    std::unordered_map<std::string, Known> items;
    Statement read(Db(), Prepared("SELECT href, 编号, etag FROM sync_item WHERE href IS NOT NULL"));
    while (read.Step())
        items[read.ColumnText(0)] = {read.ColumnInt(1), read.ColumnOptional(2)};
    return items;
}

std::optional<Item> SyncStore::ReadItem(long long number)
{
    Statement read(Db(), Prepared("SELECT uid, href, etag, card, dirty, deleted FROM sync_item WHERE 编号 = ?1"));
    read.Int(number);
    if (!read.Step())
        return std::nullopt;
    Item item;
    item.number = number;
    item.uid = read.ColumnText(0);
    item.href = read.ColumnText(1);
    item.etag = read.ColumnOptional(2);
    item.card = read.ColumnOptional(3);
    item.dirty = read.ColumnInt(4);
    item.deleted = read.ColumnInt(5) != 0;
    return item;
}

std::optional<Record> SyncStore::ReadRecord(long long number)
{
    Statement read(Db(), Prepared("SELECT 分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 FROM data WHERE 编号 = ?1"));
    read.Int(number);
    if (!read.Step())
        return std::nullopt;
    Record record;
    record[col::Number] = std::to_string(number);
    for (int column = col::Category; column < col::Count; ++column)
        record[column] = read.ColumnText(column - 1);
    return record;
}

std::vector<long long> SyncStore::UnlinkedRecords()
{
    std::vector<long long> numbers;
    Statement read(Db(), Prepared("SELECT d.编号 FROM data d LEFT JOIN sync_item i ON i.编号 = d.编号"
                         " WHERE i.href IS NULL ORDER BY d.编号"));
    while (read.Step())
        numbers.push_back(read.ColumnInt(0));
    return numbers;
}

std::vector<long long> SyncStore::DirtyItems()
{
    std::vector<long long> numbers;
    Statement read(Db(), Prepared("SELECT 编号 FROM sync_item WHERE dirty > 0 ORDER BY 编号"));
    while (read.Step())
        numbers.push_back(read.ColumnInt(0));
    return numbers;
}

int SyncStore::RecordCount()
{
    Statement read(Db(), Prepared("SELECT count(*) FROM data"));
    read.Step();
    return static_cast<int>(read.ColumnInt(0));
}

long long SyncStore::InsertRecord(const Record& record)
{
    Statement insert(Db(), Prepared("INSERT INTO data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9)"));
    BindRecord(insert, record);
    insert.Run();
    return sqlite3_last_insert_rowid(Db());
}

void SyncStore::UpdateRecord(long long number, const Record& record)
{
    Statement update(Db(), Prepared("UPDATE data SET 分类=?1,姓名=?2,QQ=?3,手机=?4,电话=?5,传真=?6,邮箱=?7,主页=?8,备注=?9 WHERE 编号=?10"));
    BindRecord(update, record);
    update.Int(number).Run();
}

void SyncStore::DeleteRecord(long long number) { Statement(Db(), Prepared("DELETE FROM data WHERE 编号 = ?1")).Int(number).Run(); }

void SyncStore::WriteItem(const Item& item)
{
    Statement(Db(), Prepared("INSERT OR REPLACE INTO sync_item (编号, uid, href, etag, card, dirty, deleted)"
                    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"))
        .Int(item.number)
        .OptionalText(item.uid.empty() ? std::nullopt : std::optional(item.uid))
        .OptionalText(item.href.empty() ? std::nullopt : std::optional(item.href))
        .OptionalText(item.etag)
        .Blob(item.card)
        .Int(item.dirty)
        .Int(item.deleted ? 1 : 0)
        .Run();
}

void SyncStore::ForgetItem(long long number)
{
    Statement(Db(), Prepared("DELETE FROM sync_item WHERE 编号 = ?1")).Int(number).Run();
    Statement(Db(), Prepared("DELETE FROM sync_conflict WHERE 编号 = ?1")).Int(number).Run();
}

void SyncStore::ClearDirty(long long number, long long seen)
{
    Statement(Db(), Prepared("UPDATE sync_item SET dirty = 0 WHERE 编号 = ?1 AND dirty = ?2")).Int(number).Int(seen).Run();
}

void SyncStore::ReplaceConflicts(long long number, const std::vector<std::pair<int, std::string>>& serverValues)
{
    Statement(Db(), Prepared("DELETE FROM sync_conflict WHERE 编号 = ?1")).Int(number).Run();
    for (const auto& [column, value] : serverValues)
        Statement(Db(), Prepared("INSERT INTO sync_conflict (编号, 字段, server) VALUES (?1, ?2, ?3)")).Int(number).Int(column).Text(value).Run();
}

std::vector<Conflict> SyncStore::Conflicts()
{
    std::vector<Conflict> conflicts;
    Statement read(Db(), Prepared("SELECT c.编号, c.字段, c.server, d.姓名, d.分类,d.姓名,d.QQ,d.手机,d.电话,d.传真,d.邮箱,d.主页,d.备注"
                         " FROM sync_conflict c JOIN data d ON d.编号 = c.编号 ORDER BY c.编号, c.字段"));
    while (read.Step()) {
        Conflict conflict;
        conflict.number = read.ColumnInt(0);
        conflict.column = static_cast<int>(read.ColumnInt(1));
        conflict.server = read.ColumnText(2);
        conflict.name = read.ColumnText(3);
        if (conflict.column >= col::Category && conflict.column < col::Count)
            conflict.local = read.ColumnText(4 + conflict.column - col::Category);
        conflicts.push_back(std::move(conflict));
    }
    return conflicts;
}

bool SyncStore::HasConflicts(long long number)
{
    Statement read(Db(), Prepared("SELECT count(*) FROM sync_conflict WHERE 编号 = ?1"));
    read.Int(number).Step();
    return read.ColumnInt(0) > 0;
}

void SyncStore::ResolveConflict(long long number, int column, bool takeServer)
{
    if (column < col::Category || column >= col::Count)
        return;
    Transaction transaction(*this);
    Statement read(Db(), Prepared("SELECT server FROM sync_conflict WHERE 编号 = ?1 AND 字段 = ?2"));
    read.Int(number).Int(column);
    if (!read.Step())
        return;
    if (takeServer) {
        std::optional<Record> record = ReadRecord(number);
        if (record) {
            (*record)[column] = read.ColumnText(0);
            UpdateRecord(number, *record);
        }
    }
    Statement(Db(), Prepared("DELETE FROM sync_conflict WHERE 编号 = ?1 AND 字段 = ?2")).Int(number).Int(column).Run();
    // Whichever value stays, the card is to be brought up to it.
    Statement(Db(), Prepared("UPDATE sync_item SET dirty = dirty + 1 WHERE 编号 = ?1")).Int(number).Run();
    transaction.Commit();
}

SyncStore::Transaction::Transaction(SyncStore& store) : db_(store.Db()) { store::Execute(db_, "BEGIN IMMEDIATE"); }

SyncStore::Transaction::~Transaction()
{
    if (open_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SyncStore::Transaction::Commit()
{
    store::Execute(db_, "COMMIT");
    open_ = false;
}

} // namespace booksync
