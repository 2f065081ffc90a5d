// How the store runs the engine: without mutexes, with the program's page
// cache holding the whole file, with the database key derived only while no
// connection holds it and kept out of other processes' sight.
#include "store/StoreFixture.h"

#include "EngineStatements.h"
#include "PlainConnection.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/SecretHeap.h"
#include "store/engine/SecretMemory.h"
#include "store/engine/SqliteHandles.h"
#include "store/Unit_DB.h"

#include <QFile>

#include <openssl/evp.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// One region of this process's memory as /proc/self/smaps lists it.
struct Region {
    std::uintptr_t from = 0, to = 0;
    bool readable = false, fileBacked = false, written = false, resident = false, leftOutOfDumps = false;
};

std::vector<Region> Regions()
{
    std::vector<Region> regions;
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    while (std::getline(smaps, line)) {
        std::istringstream fields(line);
        Region region;
        char dash = 0;
        std::string perms, offset, device, inode, path;
        if (fields >> std::hex >> region.from >> dash >> region.to && dash == '-' && fields >> perms >> offset >> device) {
            fields >> inode >> path;
            region.readable = perms[0] == 'r';
            region.written = perms[1] == 'w';
            region.fileBacked = path.starts_with('/');
            regions.push_back(region);
        } else if (!regions.empty() && line.starts_with("Rss:")) {
            regions.back().resident = line.find_first_of("123456789") != std::string::npos;
        } else if (!regions.empty() && line.starts_with("VmFlags:")) {
            regions.back().leftOutOfDumps = line.find(" dd") != std::string::npos;
        }
    }
    return regions;
}

// Whether a core dump would take the region: anonymous memory and the
// written copies of files' pages; never what is marked to stay out.
bool Dumped(const Region& region)
{
    return region.readable && region.resident && !region.leftOutOfDumps && (region.written || !region.fileBacked);
}

// How often each of the secrets lies in the memory a core dump of this
// process would hold.
std::vector<int> CopiesInDumpedMemory(const std::vector<store::SecretBytes>& secrets)
{
    std::vector<int> copies(secrets.size(), 0);
    std::ifstream memory("/proc/self/mem", std::ios::binary);
    std::vector<char> bytes;
    for (const Region& region : Regions()) {
        if (!Dumped(region) || region.to - region.from > (std::uintptr_t{1} << 30))
            continue;
        bytes.resize(region.to - region.from);
        memory.clear();
        memory.seekg(static_cast<std::streamoff>(region.from));
        if (!memory.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            continue;
        for (std::size_t i = 0; i < secrets.size(); ++i) {
            const char* at = bytes.data();
            const char* const end = bytes.data() + bytes.size();
            while ((at = static_cast<const char*>(memmem(at, static_cast<std::size_t>(end - at), secrets[i].Data(),
                                                          secrets[i].Size())))) {
                ++copies[i];
                ++at;
            }
        }
    }
    return copies;
}

// The database key derived as the engine derives it, and the signing key the
// engine derives from that, both held in secret memory by the test itself.
std::pair<store::SecretBytes, store::SecretBytes> DatabaseKeys(const QByteArray& salt)
{
    const store::SecretAllocations secret;
    const store::SecretBytes passphrase = store::Utf8Secret(store::DatabasePassword);
    store::SecretBytes key(std::string(32, '\0').data(), 32);
    store::SecretBytes signing(std::string(32, '\0').data(), 32);
    QByteArray signingSalt = salt;
    for (char& byte : signingSalt)
        byte = static_cast<char>(byte ^ 0x3a);
    const auto derive = [](const char* from, std::size_t size, const QByteArray& withSalt, int rounds, char* to) {
        return PKCS5_PBKDF2_HMAC_SHA1(from, static_cast<int>(size), reinterpret_cast<const unsigned char*>(withSalt.data()),
                                      static_cast<int>(withSalt.size()), rounds, 32, reinterpret_cast<unsigned char*>(to));
    };
    EXPECT_EQ(derive(passphrase.Data(), passphrase.Size(), salt, 64000, key.Data()), 1);
    EXPECT_EQ(derive(key.Data(), key.Size(), signingSalt, 2, signing.Data()), 1);
    return {std::move(key), std::move(signing)};
}

// Nothing another process of the user runs (a debugger, a core file) gets
// at the keys: the process is not dumpable, the memory that holds keys is
// marked to stay out of a core dump should one be made all the same, and
// neither the engine nor the cryptography library leaves a copy of the key
// (or of a key schedule made from it) anywhere else, on either engine version.
TEST_F(EngineTest, KeysStayOutOfOtherProcessesAndCoreDumps)
{
    connection.Open();
    Exec(QStringLiteral("insert into data (姓名) values ('张三')"));
    OpenWith(QStringLiteral("select * from data"));
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    EXPECT_TRUE(store::EngineAllocationsRouted());
    EXPECT_TRUE(store::CryptoAllocationsRouted());

    const auto [key, signing] = DatabaseKeys(Salt(DatabasePath()));
    // A cipher's key schedule holds a key in rows of 16 bytes: each half is looked for.
    std::vector<store::SecretBytes> halves;
    for (const store::SecretBytes* secret : {&key, &signing}) {
        halves.emplace_back(secret->Data(), 16);
        halves.emplace_back(secret->Data() + 16, 16);
    }
    EXPECT_EQ(CopiesInDumpedMemory(halves), std::vector<int>(4, 0)) << "halves of the key, then of the signing key";

    const auto address = reinterpret_cast<std::uintptr_t>(key.Data());
    const std::vector<Region> regions = Regions();
    const auto holding = std::find_if(regions.begin(), regions.end(),
                                      [&](const Region& r) { return r.from <= address && address < r.to; });
    ASSERT_NE(holding, regions.end());
    EXPECT_TRUE(holding->leftOutOfDumps);
}
