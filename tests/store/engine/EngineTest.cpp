// How the store runs the engine: without mutexes, with a page cache that
// serves scans of tables larger than itself, and with the database key
// derived no more often than the file's salt changes.
#define SQLITE_HAS_CODEC 1
#include "store/StoreFixture.h"

#include "store/engine/DerivedKey.h"
#include "store/engine/SqliteHandles.h"
#include "store/Unit_DB.h"

#include <QFile>

#include <sqlite3.h>

#include <string>

namespace {

class EngineTest : public StoreFixture {
protected:
    store::SqliteDatabase OpenDatabase()
    {
        return store::OpenKeyedDatabase(DatabasePath(), store::DatabasePassword, store::OpenMode::ExistingFile);
    }

    static long long Number(sqlite3* db, const char* statement)
    {
        const store::SqliteStatement prepared = store::PrepareSingleStatement(db, statement);
        EXPECT_EQ(sqlite3_step(prepared.get()), SQLITE_ROW) << statement;
        return sqlite3_column_int64(prepared.get(), 0);
    }

    static QByteArray Salt(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
    }

    static int CacheHits(sqlite3* db)
    {
        int hits = 0, highwater = 0;
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_HIT, &hits, &highwater, 1);
        return hits;
    }
};

// Rows of about 300 bytes: a thousand of them fill about 300 pages.
constexpr char Fill[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                        "INSERT INTO data (姓名, 备注) SELECT 'name' || i, printf('%.300c', 'x') FROM n";
constexpr char Checksum[] = "SELECT count(*) * 1000000 + sum(length(备注)) + sum(编号) FROM data";

} // namespace

TEST_F(EngineTest, ConnectionsRunWithoutMutex)
{
    const store::SqliteDatabase db = OpenDatabase();
    EXPECT_EQ(sqlite3_db_mutex(db.get()), nullptr);
}

// A cache far smaller than a transaction, on the heap; and one large enough
// to take its pages from huge-page slabs, again smaller than the transaction.
struct CacheCase {
    int cachePages;
    int rows;
    int rowBytes;
};

class CacheWritesTest : public EngineTest, public ::testing::WithParamInterface<CacheCase> {
protected:
    static std::string FillOf(int rows, int rowBytes)
    {
        return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows)
            + ") INSERT INTO data (姓名, 备注) SELECT 'name' || i, printf('%." + std::to_string(rowBytes)
            + "c', 'x') FROM n";
    }
};

TEST_P(CacheWritesTest, KeepsEveryWriteAndRollback)
{
    const CacheCase c = GetParam();
    const std::string fill = FillOf(c.rows, c.rowBytes);
    const store::SqliteDatabase db = OpenDatabase();
    store::Execute(db.get(), QByteArray("PRAGMA cache_size = ") + QByteArray::number(c.cachePages));
    // A transaction larger than the cache: changed pages are written out early.
    store::Execute(db.get(), "BEGIN");
    store::Execute(db.get(), fill.c_str());
    store::Execute(db.get(), "COMMIT");
    const long long filled = Number(db.get(), Checksum);
    EXPECT_EQ(Number(db.get(), "SELECT count(*) FROM data"), c.rows);

    store::Execute(db.get(), "BEGIN");
    store::Execute(db.get(), "UPDATE data SET 备注 = 备注 || 'y'");
    store::Execute(db.get(), "DELETE FROM data WHERE 编号 % 2 = 0");
    store::Execute(db.get(), "ROLLBACK");
    EXPECT_EQ(Number(db.get(), Checksum), filled);

    store::Execute(db.get(), "DELETE FROM data WHERE 编号 > 10");
    store::Execute(db.get(), "VACUUM"); // shrinks the file: cached pages past its end go
    store::Execute(db.get(), fill.c_str());
    EXPECT_EQ(Number(db.get(), "SELECT count(*) FROM data"), c.rows + 10);
    const store::SqliteStatement check = store::PrepareSingleStatement(db.get(), "PRAGMA integrity_check");
    ASSERT_EQ(sqlite3_step(check.get()), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)), "ok");

    // What another connection reads is what this one wrote.
    const store::SqliteDatabase other = OpenDatabase();
    EXPECT_EQ(Number(other.get(), Checksum), Number(db.get(), Checksum));
}

INSTANTIATE_TEST_SUITE_P(Caches, CacheWritesTest,
                         ::testing::Values(CacheCase{8, 1000, 300}, CacheCase{3600, 5000, 900}),
                         [](const ::testing::TestParamInfo<CacheCase>& info) {
                             return info.param.cachePages < 100 ? "Small" : "HugePageSlabs";
                         });

// Connections read the database file ahead of the engine; what one read ahead
// must never hide what another connection wrote since, in either journal mode.
class ReadAheadTest : public EngineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReadAheadTest, ScansSeeWhatAnotherConnectionWroteInBetween)
{
    const store::SqliteDatabase reader = OpenDatabase();
    const store::SqliteDatabase writer = OpenDatabase();
    store::Execute(writer.get(), QByteArray("PRAGMA journal_mode = ") + GetParam());
    store::Execute(writer.get(), Fill);
    store::Execute(reader.get(), "PRAGMA cache_size = 8"); // scans go to the file
    for (const char* change : {"UPDATE data SET 备注 = 'changed' || 编号 WHERE 编号 % 3 = 0",
                               "DELETE FROM data WHERE 编号 % 5 = 0", Fill}) {
        Number(reader.get(), Checksum);
        store::Execute(writer.get(), change);
        EXPECT_EQ(Number(reader.get(), Checksum), Number(writer.get(), Checksum)) << change;
    }
}

INSTANTIATE_TEST_SUITE_P(JournalModes, ReadAheadTest, ::testing::Values("DELETE", "WAL"));

TEST_F(EngineTest, ScanOfTableLargerThanCacheHitsTheCachedPages)
{
    const store::SqliteDatabase db = OpenDatabase();
    store::Execute(db.get(), Fill);
    store::Execute(db.get(), "PRAGMA cache_size = 100");
    const char* scan = "SELECT sum(length(备注)) FROM data";
    Number(db.get(), scan);
    CacheHits(db.get());
    Number(db.get(), scan);
    // The engine's own cache would hit none of the leaf pages here.
    EXPECT_GE(CacheHits(db.get()), 90);
}

TEST_F(EngineTest, InMemoryDatabaseKeepsItsPagesBeyondTheCacheSize)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    const store::SqliteDatabase db(raw);
    store::Execute(db.get(), "PRAGMA cache_size = 5");
    store::Execute(db.get(), "CREATE TABLE data (编号 INTEGER PRIMARY KEY, 姓名 TEXT, 备注 TEXT)");
    store::Execute(db.get(), Fill);
    store::Execute(db.get(), "PRAGMA shrink_memory");
    EXPECT_EQ(Number(db.get(), Checksum) / 1000000, 1000);
}

TEST_F(EngineTest, KeyIsDerivedOncePerSaltAlsoAcrossCompaction)
{
    Exec("insert into data (姓名) values ('张伟')");
    connection.Close();
    const QByteArray salt = Salt(DatabasePath());
    const int before = store::KeyDerivations();

    connection.Open();
    connection.Close();
    ASSERT_TRUE(CompactDatabaseFile(DatabasePath(), store::DatabasePassword));
    connection.Open();
    OpenWith("Select 姓名 from data");
    EXPECT_EQ(query.FieldAsString(0), QStringLiteral("张伟"));
    EXPECT_LE(store::KeyDerivations() - before, 1);

    // The compacted file is keyed as before: the passphrase opens it through
    // the engine's own derivation.
    EXPECT_EQ(Salt(DatabasePath()), salt);
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(DatabasePath().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const store::SqliteDatabase plain(raw);
    const QByteArray key = store::DatabasePassword.toUtf8();
    ASSERT_EQ(sqlite3_key(raw, key.constData(), static_cast<int>(key.size())), SQLITE_OK);
    EXPECT_EQ(Number(raw, "SELECT count(*) FROM data"), 1);
}
