#pragma once

// The anchor the window's times are set beside: a plain C program's loop over
// the same statement on the same file, on one keyed connection opened with
// the engine's default flags and default page cache.

#include <string>

struct sqlite3;

namespace bench {

struct LoopResult {
    double milliseconds = 0;
    double cpuMilliseconds = 0;
    long long rows = 0;
    long long textBytes = 0;
};

class Anchor {
public:
    Anchor(const std::string& databasePath, const std::string& key);
    ~Anchor();
    Anchor(const Anchor&) = delete;
    Anchor& operator=(const Anchor&) = delete;

    // Prepares the statement and steps every row, reading each column as text.
    LoopResult Loop(const std::string& statement);
    // Runs one statement that returns no rows; real and processor time.
    LoopResult Execute(const std::string& statement);
    // Adds `count` generated records in one transaction.
    void AddRecords(int count);

private:
    sqlite3* db_ = nullptr;
};

} // namespace bench
