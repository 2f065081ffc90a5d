#include "Anchor.h"

#include "support/RecordMaker.h"

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <stdexcept>

#include <time.h>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

void Check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

sqlite3* OpenKeyed(const std::string& path, const std::string& key)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    Check(db, sqlite3_key(db, key.data(), static_cast<int>(key.size())));
    // The program's file format. SQLCipher 3.x writes it by default and takes
    // the last two pragmas for unknown ones, which do nothing; 4.x needs all.
    Check(db, sqlite3_exec(db,
                           "PRAGMA cipher_page_size = 1024; PRAGMA kdf_iter = 64000;"
                           " PRAGMA cipher_hmac_algorithm = HMAC_SHA1; PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1;",
                           nullptr, nullptr, nullptr));
    // The program may still hold the file for a moment after its last repaint.
    sqlite3_busy_timeout(db, 10'000);
    Check(db, sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr));
    return db;
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double CpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace

Anchor::Anchor(const std::string& databasePath, const std::string& key) : db_(OpenKeyed(databasePath, key)) {}

Anchor::~Anchor() { sqlite3_close(db_); }

LoopResult Anchor::Loop(const std::string& statement)
{
    LoopResult result;
    const auto start = Clock::now();
    const double cpuStart = CpuMilliseconds();
    sqlite3_stmt* stmt = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, statement.c_str(), -1, &stmt, nullptr));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owner(stmt, sqlite3_finalize);
    const int columns = sqlite3_column_count(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int column = 0; column < columns; ++column) {
            if (sqlite3_column_text(stmt, column))
                result.textBytes += sqlite3_column_bytes(stmt, column);
        }
        ++result.rows;
    }
    result.milliseconds = MillisecondsSince(start);
    result.cpuMilliseconds = CpuMilliseconds() - cpuStart;
    Check(db_, rc);
    return result;
}

LoopResult Anchor::Execute(const std::string& statement)
{
    const auto start = Clock::now();
    const double cpuStart = CpuMilliseconds();
    Check(db_, sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, nullptr));
    return {MillisecondsSince(start), CpuMilliseconds() - cpuStart, 0, 0};
}

void Anchor::AddRecords(int count)
{
    Execute("BEGIN");
    sqlite3_stmt* raw = nullptr;
    Check(db_, sqlite3_prepare_v2(db_,
                                  "Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values "
                                  "(?,?,?,?,?,?,?,?,?)",
                                  -1, &raw, nullptr));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> insert(raw, sqlite3_finalize);
    RecordMaker maker;
    for (int record = 0; record < count; ++record) {
        const RecordMaker::Record values = maker.Next();
        for (int column = 0; column < 9; ++column) {
            const std::string& value = values[static_cast<std::size_t>(column)];
            sqlite3_bind_text(raw, column + 1, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        }
        Check(db_, sqlite3_step(raw));
        sqlite3_reset(raw);
    }
    Execute("COMMIT");
}

} // namespace bench
