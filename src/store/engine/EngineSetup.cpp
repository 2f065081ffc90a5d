#include "store/engine/EngineSetup.h"

#include "store/engine/ReadAheadFiles.h"
#include "store/engine/SecretHeap.h"

#include <sqlite3.h>

#include <cstdlib>

#include <sys/prctl.h>

namespace store {

// Should something have started the engine already, it keeps its defaults,
// which are merely slower.
const char* PrepareEngine()
{
    static const char* const files = []() -> const char* {
        prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
        RouteAllocationsThroughSecretHeap();
        sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
        if (sqlite3_initialize() != SQLITE_OK)
            return nullptr;
        return RegisterReadAheadFiles() ? ReadAheadFilesName : nullptr;
    }();
    return files;
}

int LongestDatabasePath()
{
    constexpr int JournalSuffix = 8; // "-journal"
    const sqlite3_vfs* files = sqlite3_vfs_find(PrepareEngine());
    return files ? files->mxPathname - JournalSuffix : 0;
}

const std::string& CipherVersion()
{
    static const std::string version = [] {
        PrepareEngine(); // asking starts the engine, which must be set up first
        std::string found;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK
                && sqlite3_step(stmt) == SQLITE_ROW) {
                if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
                    found = text;
            }
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db);
        return found;
    }();
    return version;
}

int CipherMajorVersion() { return std::atoi(CipherVersion().c_str()); }

} // namespace store
