#include "store/SyncSchema.h"

#include "store/engine/SqliteHandles.h"

#include <sqlite3.h>

namespace store {
namespace {

constexpr const char* SyncSchemaStatements[] = {
    "CREATE TABLE IF NOT EXISTS sync_account (id INTEGER PRIMARY KEY CHECK (id = 1),"
    " server TEXT NOT NULL DEFAULT '', user TEXT NOT NULL DEFAULT '', book TEXT NOT NULL DEFAULT '',"
    " token TEXT NOT NULL DEFAULT '', pin TEXT NOT NULL DEFAULT '', password TEXT,"
    " last_time TEXT NOT NULL DEFAULT '', last_result TEXT NOT NULL DEFAULT '')",
    "INSERT OR IGNORE INTO sync_account (id) VALUES (1)",
    // href is unique: one card is never linked to two records.
    "CREATE TABLE IF NOT EXISTS sync_item (编号 INTEGER PRIMARY KEY, uid TEXT, href TEXT UNIQUE, etag TEXT,"
    " card BLOB, dirty INTEGER NOT NULL DEFAULT 0, deleted INTEGER NOT NULL DEFAULT 0)",
    // The records already in the book are new to every server.
    "INSERT OR IGNORE INTO sync_item (编号, dirty) SELECT 编号, 1 FROM data",
    // What waits to be sent is found without reading every item.
    "CREATE INDEX IF NOT EXISTS sync_item_dirty ON sync_item (dirty) WHERE dirty > 0",
    "CREATE TABLE IF NOT EXISTS sync_conflict (编号 INTEGER NOT NULL, 字段 INTEGER NOT NULL, server TEXT,"
    " PRIMARY KEY (编号, 字段))",
    // A new record is a local change; so is an update that changed a field
    // (a modify that stores the same values is none).
    "CREATE TRIGGER IF NOT EXISTS sync_data_insert AFTER INSERT ON data BEGIN"
    " INSERT OR IGNORE INTO sync_item (编号) VALUES (NEW.编号);"
    " UPDATE sync_item SET dirty = dirty + 1, deleted = 0 WHERE 编号 = NEW.编号; END",
    "CREATE TRIGGER IF NOT EXISTS sync_data_update AFTER UPDATE ON data"
    " WHEN OLD.编号 IS NOT NEW.编号 OR OLD.分类 IS NOT NEW.分类 OR OLD.姓名 IS NOT NEW.姓名 OR OLD.QQ IS NOT NEW.QQ"
    " OR OLD.手机 IS NOT NEW.手机 OR OLD.电话 IS NOT NEW.电话 OR OLD.传真 IS NOT NEW.传真"
    " OR OLD.邮箱 IS NOT NEW.邮箱 OR OLD.主页 IS NOT NEW.主页 OR OLD.备注 IS NOT NEW.备注 BEGIN"
    " UPDATE sync_item SET deleted = 1, dirty = dirty + 1 WHERE 编号 = OLD.编号 AND OLD.编号 IS NOT NEW.编号;"
    " INSERT OR IGNORE INTO sync_item (编号) VALUES (NEW.编号);"
    " UPDATE sync_item SET dirty = dirty + 1 WHERE 编号 = NEW.编号; END",
    // A record that never reached the server leaves nothing behind; one that
    // did is remembered until its card is deleted there.
    "CREATE TRIGGER IF NOT EXISTS sync_data_delete AFTER DELETE ON data BEGIN"
    " DELETE FROM sync_item WHERE 编号 = OLD.编号 AND href IS NULL;"
    " DELETE FROM sync_conflict WHERE 编号 = OLD.编号;"
    " UPDATE sync_item SET deleted = 1, dirty = dirty + 1 WHERE 编号 = OLD.编号; END",
};

} // namespace

bool HasSyncSchema(sqlite3* db)
{
    const SqliteStatement count = PrepareSingleStatement(
        db, "SELECT count(*) FROM sqlite_master WHERE name IN ('sync_account', 'sync_item', 'sync_conflict',"
            " 'sync_data_insert', 'sync_data_update', 'sync_data_delete')");
    if (sqlite3_step(count.get()) != SQLITE_ROW)
        ThrowEngineError(db);
    return sqlite3_column_int(count.get(), 0) == 6;
}

void EnsureSyncSchema(sqlite3* db)
{
    if (HasSyncSchema(db))
        return;
    Execute(db, "BEGIN IMMEDIATE");
    try {
        for (const char* statement : SyncSchemaStatements)
            Execute(db, statement);
        Execute(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace store
