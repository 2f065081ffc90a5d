// The program's page cipher must write exactly the engine's file format: what
// one writes the other reads, a page changed on disk is refused, and
// connections keyed outside the program's keep the engine's own cipher.
#define SQLITE_HAS_CODEC 1
#include "store/StoreFixture.h"

#include "store/engine/DatabaseError.h"
#include "store/engine/PageCipher.h"
#include "store/engine/SqliteHandles.h"

#include <QFile>

#include <sqlite3.h>

#include <string>
#include <utility>

namespace {

enum class Side { Program, Engine };

// A connection keyed as the program keys it, or as a plain C program would.
store::SqliteDatabase Open(Side side, const QString& path, const QString& password)
{
    if (side == Side::Program)
        return store::OpenKeyedDatabase(path, password, store::OpenMode::ExistingFile);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    store::SqliteDatabase db(raw);
    const QByteArray key = password.toUtf8();
    sqlite3_key(raw, key.constData(), static_cast<int>(key.size()));
    return db;
}

long long Number(sqlite3* db, const char* statement)
{
    const store::SqliteStatement prepared = store::PrepareSingleStatement(db, statement);
    if (sqlite3_step(prepared.get()) != SQLITE_ROW)
        store::ThrowEngineError(db);
    return sqlite3_column_int64(prepared.get(), 0);
}

// About 300 pages of rows, then a change to every tenth of them.
constexpr char Fill[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                        "INSERT INTO data (姓名, 备注) SELECT 'name' || i, printf('%.300c', 'x') FROM n";
constexpr char Change[] = "UPDATE data SET 备注 = 备注 || 'y' WHERE 编号 % 10 = 0";
constexpr char Checksum[] = "SELECT count(*) * 1000000 + sum(length(备注)) + sum(编号) FROM data";
constexpr long long Expected = 1000 * 1000000LL + 1000 * 300 + 100 + 1000 * 1001 / 2;

class PageCipherTest : public StoreFixture, public ::testing::WithParamInterface<std::pair<Side, Side>> {};
using PageCipherFileTest = StoreFixture;

} // namespace

TEST(PageCipherScopeTest, IsUsedOnTheEngineThisProgramIsBuiltWith)
{
    EXPECT_TRUE(store::PageCipherScope().Active());
}

TEST_P(PageCipherTest, WhatOneSideWritesTheOtherReads)
{
    const auto [writer, reader] = GetParam();
    connection.Close();
    {
        const store::SqliteDatabase db = Open(writer, DatabasePath(), store::DatabasePassword);
        store::Execute(db.get(), "BEGIN");
        store::Execute(db.get(), Fill);
        store::Execute(db.get(), "COMMIT");
        store::Execute(db.get(), Change);
    }
    const store::SqliteDatabase db = Open(reader, DatabasePath(), store::DatabasePassword);
    EXPECT_EQ(Number(db.get(), Checksum), Expected);
    const store::SqliteStatement check = store::PrepareSingleStatement(db.get(), "PRAGMA integrity_check");
    ASSERT_EQ(sqlite3_step(check.get()), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)), "ok");
}

INSTANTIATE_TEST_SUITE_P(Sides, PageCipherTest,
                         ::testing::Values(std::pair{Side::Program, Side::Engine},
                                           std::pair{Side::Engine, Side::Program},
                                           std::pair{Side::Program, Side::Program}),
                         [](const auto& info) {
                             auto name = [](Side side) { return side == Side::Program ? "Program" : "Engine"; };
                             return std::string(name(info.param.first)) + "To" + name(info.param.second);
                         });

TEST_F(PageCipherFileTest, PageChangedOnDiskIsRefusedNotRead)
{
    connection.Close();
    {
        const store::SqliteDatabase db = Open(Side::Program, DatabasePath(), store::DatabasePassword);
        store::Execute(db.get(), Fill);
    }
    QFile file(DatabasePath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(100 * 1024 + 200)); // inside a page of rows
    char byte = 0;
    ASSERT_TRUE(file.getChar(&byte));
    file.seek(100 * 1024 + 200);
    file.putChar(static_cast<char>(byte ^ 0x01));
    file.close();

    const store::SqliteDatabase db = Open(Side::Program, DatabasePath(), store::DatabasePassword);
    EXPECT_THROW(Number(db.get(), Checksum), EDatabaseError);
}

TEST_F(PageCipherFileTest, FilesWithOtherPassphrasesOpenSideBySide)
{
    connection.Close();
    const QString otherPath = ProgramFolder() + "other.udb";
    store::WriteNewDatabase(otherPath, QStringLiteral("另一个密码"), QString::fromLatin1(StoredCipher));
    const store::SqliteDatabase first = Open(Side::Program, DatabasePath(), store::DatabasePassword);
    const store::SqliteDatabase second = Open(Side::Program, otherPath, QStringLiteral("另一个密码"));
    store::Execute(first.get(), Fill);
    store::Execute(second.get(), Fill);
    store::Execute(first.get(), Change);
    EXPECT_EQ(Number(second.get(), Checksum), Expected - 100);
    EXPECT_EQ(Number(first.get(), Checksum), Expected);
}
