// The program's page cipher must write exactly the engine's file format: what
// one writes the other reads, a page changed on disk is refused, and
// connections keyed outside the program's keep the engine's own cipher, or
// whatever cipher was registered before.
#include "store/StoreFixture.h"

#include "CipherFaults.h"
#include "EngineStatements.h"
#include "PlainConnection.h"
#include "store/engine/DatabaseError.h"
#include "store/engine/EngineSetup.h"
#include "store/engine/PageCipher.h"

#include <QFile>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

enum class Side { Program, Engine };

// A connection keyed as the program keys it, or as a plain C program would.
store::SqliteDatabase Open(Side side, const QString& path, const QString& password)
{
    if (side == Side::Program)
        return store::OpenKeyedDatabase(path, password, store::OpenMode::ExistingFile);
    return OpenAsPlainProgram(path, password);
}

std::string Text(sqlite3* db, const char* statement)
{
    const store::SqliteStatement prepared = store::PrepareSingleStatement(db, statement);
    if (sqlite3_step(prepared.get()) != SQLITE_ROW)
        store::ThrowEngineError(db);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(prepared.get(), 0));
    return text ? text : "";
}

bool OnTheEngineItWasWrittenFor() { return store::CipherVersion().starts_with("3.4."); }

// About 300 pages of rows (ThousandRows), then a change to every tenth of them.
constexpr char ChangeEveryTenth[] = "UPDATE data SET 备注 = 备注 || 'y' WHERE 编号 % 10 = 0";
constexpr long long Expected = 1000 * 1000000LL + 1000 * 300 + 100 + 1000 * 1001 / 2;

class PageCipherTest : public StoreFixture, public ::testing::WithParamInterface<std::pair<Side, Side>> {};
using PageCipherFileTest = StoreFixture;

} // namespace

TEST(PageCipherScopeTest, IsUsedOnTheEngineVersionItWasWrittenForOnly)
{
#ifdef QUILLORY_SQLCIPHER_VERSION
    EXPECT_TRUE(store::CipherVersion().starts_with(QUILLORY_SQLCIPHER_VERSION)) << store::CipherVersion();
#endif
    EXPECT_EQ(store::PageCipherScope().Active(), OnTheEngineItWasWrittenFor()) << store::CipherVersion();
}

// Before it registers, the cipher checks a page made by the engine's own
// cipher; with the cryptography library failing (in a fresh process, where
// that check has not run yet), the engine keeps its own cipher.
TEST(PageCipherScopeTest, ACipherThatFailsTheKnownPageIsNeverUsed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            cipher_faults::FailAll(true);
            const bool active = store::PageCipherScope().Active();
            cipher_faults::FailAll(false);
            std::_Exit(active ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The cipher gives the engine a name of its own, and what was registered
// before the program keyed a connection is registered again after: here a
// table of another name, then none at all (the engine takes its own then).
TEST(PageCipherScopeTest, WhatWasRegisteredBeforeIsRegisteredAgain)
{
    if (!OnTheEngineItWasWrittenFor())
        GTEST_SKIP() << "the cipher serves SQLCipher 3.4 only";
    using Table = void* [20]; // the engine's cipher interface; entry 2 names the cipher
    using Fill = int (*)(Table*);
    using Register = int (*)(Table*);
    using Malloc = void* (*)(int);
    const auto fill = reinterpret_cast<Fill>(dlsym(RTLD_DEFAULT, "sqlcipher_openssl_setup"));
    const auto registerTable = reinterpret_cast<Register>(dlsym(RTLD_DEFAULT, "sqlcipher_register_provider"));
    const auto engineMalloc = reinterpret_cast<Malloc>(dlsym(RTLD_DEFAULT, "sqlcipher_malloc"));
    ASSERT_TRUE(fill && registerTable && engineMalloc);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a.udb"));
    store::WriteNewDatabase(path, store::DatabasePassword, QStringLiteral("0123456789ABCDEF"));
    // While a connection stays open the engine keeps what is registered.
    const store::SqliteDatabase holder = OpenAsPlainProgram(path, store::DatabasePassword);

    auto* other = static_cast<Table*>(engineMalloc(sizeof(Table)));
    ASSERT_EQ(fill(other), SQLITE_OK);
    (*other)[2] = reinterpret_cast<void*>(+[](void*) -> const char* { return "another-cipher"; });
    ASSERT_EQ(registerTable(other), SQLITE_OK);
    for (const char* before : {static_cast<const char*>("another-cipher"), static_cast<const char*>(nullptr)}) {
        const store::SqliteDatabase program = Open(Side::Program, path, store::DatabasePassword);
        EXPECT_EQ(Text(program.get(), "PRAGMA cipher_provider"), store::PageCipherName);
        const store::SqliteDatabase plain = OpenAsPlainProgram(path, store::DatabasePassword);
        EXPECT_EQ(Text(plain.get(), "PRAGMA cipher_provider"), before ? before : "openssl");
        EXPECT_EQ(Number(plain.get(), "SELECT count(*) FROM Pass"), 1);
        registerTable(nullptr);
    }
}

TEST_P(PageCipherTest, WhatOneSideWritesTheOtherReads)
{
    const auto [writer, reader] = GetParam();
    connection.Close();
    {
        const store::SqliteDatabase db = Open(writer, DatabasePath(), store::DatabasePassword);
        store::Execute(db.get(), "BEGIN");
        store::Execute(db.get(), ThousandRows.c_str());
        store::Execute(db.get(), "COMMIT");
        store::Execute(db.get(), ChangeEveryTenth);
    }
    const store::SqliteDatabase db = Open(reader, DatabasePath(), store::DatabasePassword);
    EXPECT_EQ(Number(db.get(), Checksum), Expected);
    EXPECT_EQ(Text(db.get(), "PRAGMA integrity_check"), "ok");
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
        store::Execute(db.get(), ThousandRows.c_str());
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
    store::Execute(first.get(), ThousandRows.c_str());
    store::Execute(second.get(), ThousandRows.c_str());
    store::Execute(first.get(), ChangeEveryTenth);
    EXPECT_EQ(Number(second.get(), Checksum), Expected - 100);
    EXPECT_EQ(Number(first.get(), Checksum), Expected);
}
