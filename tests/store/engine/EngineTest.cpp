// How the store runs the engine: without mutexes, with the program's page
// cache holding the whole file, with the database key derived only while no
// connection holds it and kept out of other processes' sight.
#include "store/StoreFixture.h"

#include "EngineStatements.h"
#include "PlainConnection.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/SecretMemory.h"
#include "store/engine/SqliteHandles.h"
#include "store/Unit_DB.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/prctl.h>

namespace {

class EngineTest : public StoreFixture {
protected:
    store::SqliteDatabase OpenDatabase()
    {
        return store::OpenKeyedDatabase(DatabasePath(), store::DatabasePassword, store::OpenMode::ExistingFile);
    }

    static QByteArray Salt(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
    }

    // Pages the connection had to read from the file since the last call.
    static int CacheMisses(sqlite3* db)
    {
        int misses = 0, highwater = 0;
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &misses, &highwater, 1);
        return misses;
    }
};


} // namespace

TEST_F(EngineTest, ConnectionsRunWithoutMutex)
{
    const store::SqliteDatabase db = OpenDatabase();
    EXPECT_EQ(sqlite3_db_mutex(db.get()), nullptr);
}

// Each re-list after the first reads no page from the file, also once
// another connection has made the file several times larger.
TEST_F(EngineTest, RelistsFindTheWholeFileInTheCache)
{
    Exec(QString::fromStdString(ThousandRows));
    for (int round = 0; round < 2; ++round) {
        OpenWith("Select * from data");
        sqlite3* db = connection.Handle();
        CacheMisses(db);
        OpenWith("Select * from data");
        EXPECT_EQ(CacheMisses(db), 0) << "round " << round;
        EXPECT_EQ(query.RecordCount(), 1000 * (1 + 3 * round));
        const store::SqliteDatabase other = OpenDatabase();
        store::Execute(other.get(), FillOf(3000).c_str());
    }
}

// Rows of a list, a search or a filter read back what another connection
// wrote since, in either journal mode, whatever was read ahead before.
class ReadAheadTest : public EngineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReadAheadTest, ScansSeeWhatAnotherConnectionWroteInBetween)
{
    const store::SqliteDatabase reader = OpenDatabase();
    const store::SqliteDatabase writer = OpenDatabase();
    store::Execute(writer.get(), QByteArray("PRAGMA journal_mode = ") + GetParam());
    store::Execute(writer.get(), ThousandRows.c_str());
    store::Execute(reader.get(), "PRAGMA cache_size = 8"); // scans go to the file
    for (const std::string& change : {std::string("UPDATE data SET 备注 = 'changed' || 编号 WHERE 编号 % 3 = 0"),
                                      std::string("DELETE FROM data WHERE 编号 % 5 = 0"), ThousandRows}) {
        Number(reader.get(), Checksum);
        store::Execute(writer.get(), change.c_str());
        EXPECT_EQ(Number(reader.get(), Checksum), Number(writer.get(), Checksum)) << change;
    }
}

INSTANTIATE_TEST_SUITE_P(JournalModes, ReadAheadTest, ::testing::Values("DELETE", "WAL"));

TEST_F(EngineTest, TheDerivedKeyIsHeldWhileAConnectionIsOpenAndNoLonger)
{
    ASSERT_FALSE(store::DerivedKeyHeld());
    connection.Open();
    EXPECT_TRUE(store::DerivedKeyHeld());
    const int derived = store::KeyDerivations();
    {
        // A second connection, as a transfer opens one, derives nothing.
        const store::SqliteDatabase other = OpenDatabase();
        EXPECT_EQ(store::KeyDerivations(), derived);
    }
    EXPECT_TRUE(store::DerivedKeyHeld());
    connection.Close();
    EXPECT_FALSE(store::DerivedKeyHeld());
    connection.Open();
    EXPECT_EQ(store::KeyDerivations(), derived + 1);
}

TEST_F(EngineTest, CompactedFileKeepsItsSaltAndOpensWithThePassphrase)
{
    Exec("insert into data (姓名) values ('张伟')");
    connection.Close();
    const QByteArray salt = Salt(DatabasePath());
    ASSERT_TRUE(CompactDatabaseFile(DatabasePath(), store::DatabasePassword));
    EXPECT_FALSE(store::DerivedKeyHeld());
    OpenWith("Select 姓名 from data");
    EXPECT_EQ(query.FieldAsString(0), QStringLiteral("张伟"));

    // The compacted file is keyed as before: the passphrase opens it through
    // the engine's own derivation.
    EXPECT_EQ(Salt(DatabasePath()), salt);
    const store::SqliteDatabase plain = OpenAsPlainProgram(DatabasePath(), store::DatabasePassword, SQLITE_OPEN_READONLY);
    EXPECT_EQ(Number(plain.get(), "SELECT count(*) FROM data"), 1);
}

// Nothing another process of the user runs (a debugger, a core file) gets
// at the keys: the process is not dumpable, and the memory that holds keys
// is marked to stay out of a core dump should one be made all the same.
TEST_F(EngineTest, KeysStayOutOfOtherProcessesAndCoreDumps)
{
    connection.Open();
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);

    const store::SecretBytes secret("key", 3);
    const auto address = reinterpret_cast<std::uintptr_t>(secret.Data());
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool inMapping = false, found = false;
    while (std::getline(maps, line)) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inMapping = from <= address && address < to;
        } else if (inMapping && line.starts_with("VmFlags:")) {
            found = true;
            EXPECT_NE(line.find(" dd"), std::string::npos) << line; // "do not dump"
        }
    }
    EXPECT_TRUE(found);
}
