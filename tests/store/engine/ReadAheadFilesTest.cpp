// The file layer that reads database files ahead, driven directly: what it
// read ahead must never stand in for bytes that changed since.
#include "store/DatabaseConstants.h"
#include "store/engine/ReadAheadFiles.h"
#include "store/engine/SqliteHandles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

namespace {

constexpr int Page = 1024;
constexpr int Pages = 70; // more than one 64 KiB window, the last one cut short

QByteArray PageBytes(int page, char mark) { return QByteArray(Page, mark) + QByteArray::number(page); }

class ReadAheadFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("file.db"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int page = 0; page < Pages; ++page)
            file.write(PageBytes(page, 'a').left(Page));
        file.close();
        // The layer is registered when the engine first opens a database.
        sqlite3_initialize();
        store::OpenKeyedDatabase(dir.filePath(QStringLiteral("any.db")), QString(), store::OpenMode::CreateIfMissing);
        sqlite3_vfs* vfs = sqlite3_vfs_find(store::ReadAheadFilesName);
        ASSERT_NE(vfs, nullptr);
        memory.resize(static_cast<std::size_t>(vfs->szOsFile));
        opened = reinterpret_cast<sqlite3_file*>(memory.data());
        const QByteArray name = path.toUtf8();
        ASSERT_EQ(vfs->xOpen(vfs, name.constData(), opened, SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
    }
    void TearDown() override
    {
        if (opened && opened->pMethods)
            opened->pMethods->xClose(opened);
    }

    QByteArray Read(int page, int bytes = Page)
    {
        QByteArray buffer(bytes, '\0');
        lastRc = opened->pMethods->xRead(opened, buffer.data(), bytes, sqlite3_int64{page} * Page);
        return buffer;
    }
    void ChangeOnDisk(int page, char mark)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(qint64{page} * Page);
        file.write(PageBytes(page, mark).left(Page));
    }
    void Lock(int level) { ASSERT_EQ(opened->pMethods->xLock(opened, level), SQLITE_OK); }
    void Unlock(int level) { ASSERT_EQ(opened->pMethods->xUnlock(opened, level), SQLITE_OK); }

    QTemporaryDir dir;
    QString path;
    std::vector<std::max_align_t> memory;
    sqlite3_file* opened = nullptr;
    int lastRc = SQLITE_OK;
};

} // namespace

TEST_F(ReadAheadFilesTest, ReadsMatchTheFileUpToItsEndAndShortReadsStayShort)
{
    Lock(SQLITE_LOCK_SHARED);
    for (int page = 0; page < Pages; ++page) {
        EXPECT_EQ(Read(page), PageBytes(page, 'a').left(Page)) << page;
        EXPECT_EQ(lastRc, SQLITE_OK) << page;
    }
    const QByteArray beyond = Read(Pages - 1, 2 * Page);
    EXPECT_EQ(lastRc, SQLITE_IOERR_SHORT_READ);
    EXPECT_EQ(beyond, PageBytes(Pages - 1, 'a').left(Page) + QByteArray(Page, '\0'));
}

TEST_F(ReadAheadFilesTest, WhatWasReadAheadGoesWithTheLockAndWithEveryWrite)
{
    Lock(SQLITE_LOCK_SHARED);
    Read(0);
    Read(1); // a second page in a row: the next ones are read ahead
    Unlock(SQLITE_LOCK_NONE);
    ChangeOnDisk(2, 'b');
    Lock(SQLITE_LOCK_SHARED);
    EXPECT_EQ(Read(2), PageBytes(2, 'b').left(Page));

    Read(3); // read ahead again from here
    const QByteArray written = PageBytes(5, 'c').left(Page);
    ASSERT_EQ(opened->pMethods->xWrite(opened, written.constData(), Page, sqlite3_int64{5} * Page), SQLITE_OK);
    EXPECT_EQ(Read(5), written);
}
