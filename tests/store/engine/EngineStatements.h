#pragma once

#include "store/engine/SqliteHandles.h"

#include <sqlite3.h>

#include <string>

// Statements and a read that the engine's tests share.

// Rows of about 300 bytes: a thousand of them fill about 300 pages.
inline std::string FillOf(int rows)
{
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows)
        + ") INSERT INTO data (姓名, 备注) SELECT 'name' || i, printf('%.300c', 'x') FROM n";
}
inline const std::string ThousandRows = FillOf(1000);

// One number that changes with the rows, their numbers and the remarks' lengths.
inline constexpr char Checksum[] = "SELECT count(*) * 1000000 + sum(length(备注)) + sum(编号) FROM data";

// The first column of the statement's first row; the engine's error when it has none.
inline long long Number(sqlite3* db, const char* statement)
{
    const store::SqliteStatement prepared = store::PrepareSingleStatement(db, statement);
    if (sqlite3_step(prepared.get()) != SQLITE_ROW)
        store::ThrowEngineError(db);
    return sqlite3_column_int64(prepared.get(), 0);
}
