#pragma once

#include "store/engine/SqliteHandles.h"
#include "transfer/RecordColumns.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The sync's reads and writes of the book's file, on a connection of its
// own (opened for one step and closed after it, so that a compaction that
// replaces the file between steps is never written past). Each batch of
// changes is one transaction (Transaction). Raises EDatabaseError.
namespace booksync {

using transfer::Record;

struct Account {
    QString server;
    QString user;
    QString book;     // the address book's address
    QString token;    // the sync-token of the last listing applied
    QString pin;      // hex SHA-256 of a certificate the user trusts
    std::optional<QString> password; // only when the user chose to keep it here
    QString lastTime;
    QString lastResult;
};

// One row of sync_item.
struct Item {
    long long number = 0;   // 编号
    std::string uid;
    std::string href;       // empty: not yet on the server
    std::optional<std::string> etag; // nothing: a create not yet confirmed; "": on the server, its bytes to fetch
    std::optional<std::string> card; // the card as last synced
    long long dirty = 0;
    bool deleted = false;
};

// A field changed on both sides, as the page shows it.
struct Conflict {
    long long number = 0;
    int column = 0;
    std::string name;        // the record's 姓名
    std::string local;
    std::string server;
};

class SyncStore {
public:
    // Opens the book that the connection string names and makes sure its
    // sync tables exist.
    explicit SyncStore(const QString& connectionString);

    sqlite3* Db() const { return db_.get(); }

    // Keeps the book's derived key while the result lives, so that the
    // connections of the steps of one sync do not each derive it again.
    static std::shared_ptr<const void> HoldKey(const QString& connectionString);

    Account ReadAccount();
    // The account of a book, without making the sync's tables where there are none.
    static Account PeekAccount(const QString& connectionString);
    // Writes the settings (server, user, book, pin); a new book forgets the old one's state.
    void WriteSettings(const Account& account);
    void WritePassword(const std::optional<QString>& password);
    void WriteResult(const QString& time, const QString& result);
    void WriteToken(const QString& token);

    // href → (编号, ETag) of every item on the server or on its way there.
    struct Known {
        long long number = 0;
        std::optional<std::string> etag;
    };
    std::unordered_map<std::string, Known> ItemsByHref();
    std::optional<Item> ReadItem(long long number);
    std::optional<Record> ReadRecord(long long number);
    // The records not linked to any card (new here, or from before the first sync).
    std::vector<long long> UnlinkedRecords();
    std::vector<long long> DirtyItems();
    int RecordCount();

    long long InsertRecord(const Record& record);
    void UpdateRecord(long long number, const Record& record);
    void DeleteRecord(long long number);

    // Writes every column of the item (the triggers' dirty count included).
    void WriteItem(const Item& item);
    void ForgetItem(long long number);
    // Sets dirty to 0 when it is still the count read before a push.
    void ClearDirty(long long number, long long seen);

    void ReplaceConflicts(long long number, const std::vector<std::pair<int, std::string>>& serverValues);
    std::vector<Conflict> Conflicts();
    bool HasConflicts(long long number);
    // The user's pick for one field: the server's value into the record, or the local one kept.
    void ResolveConflict(long long number, int column, bool takeServer);

    // BEGIN IMMEDIATE ... COMMIT; rolled back unless committed.
    class Transaction {
    public:
        explicit Transaction(SyncStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit();

    private:
        sqlite3* db_;
        bool open_ = true;
    };

private:
    // Prepared once per connection, by the address of the statement's text.
    sqlite3_stmt* Prepared(const char* sql);

    store::SqliteDatabase db_;
    std::unordered_map<const char*, store::SqliteStatement> cache_; // finalized before db_ closes
};

} // namespace booksync
