#include "platform/system/FileError.h"
#include "security/PasswordBackup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(PasswordBackupTest, StampDropsSeparatorsAndBackslashes)
{
    EXPECT_EQ(BackupStamp(QStringLiteral("2026\\12\\07 9:15")), QStringLiteral("20261207915"));
    // Separators that stood elsewhere give one stamp: the names below keep both backups apart.
    EXPECT_EQ(BackupStamp(QStringLiteral("2025/1/11 12:03:04")), BackupStamp(QStringLiteral("2025/11/1 12:03:04")));
}

// What lies under the stamp's names before the backup, and where it goes.
TEST(PasswordBackupTest, ABackupTakesTheFirstFreeNameOfItsStampAndReplacesNothing)
{
    const struct {
        const char* name;
        QStringList taken; // "file:NAME" or "link:NAME>TARGET", made before the backup
        QString expected;
    } cases[] = {
        {"the design's name", {}, QStringLiteral("bak_1_.udb")},
        {"an earlier backup", {QStringLiteral("file:bak_1_.udb")}, QStringLiteral("bak_1_2_.udb")},
        {"two earlier ones", {QStringLiteral("file:bak_1_.udb"), QStringLiteral("file:bak_1_2_.udb")},
         QStringLiteral("bak_1_3_.udb")},
        {"a link to the database", {QStringLiteral("link:bak_1_.udb>_.udb")}, QStringLiteral("bak_1_2_.udb")},
        {"a dangling link", {QStringLiteral("link:bak_1_.udb>elsewhere")}, QStringLiteral("bak_1_2_.udb")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("_.udb"));
        Write(database, "the database");
        QMap<QString, QByteArray> before;
        for (const QString& taken : c.taken) {
            const QStringList parts = taken.mid(5).split(QLatin1Char('>'));
            if (taken.startsWith(QStringLiteral("file:")))
                Write(dir.filePath(parts[0]), "earlier " + parts[0].toUtf8());
            else
                ASSERT_TRUE(QFile::link(parts[1], dir.filePath(parts[0])));
        }
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::System))
            before[name] = Bytes(dir.filePath(name));

        EXPECT_EQ(MakeBackup(database, QStringLiteral("1")), dir.filePath(c.expected));
        EXPECT_EQ(Bytes(dir.filePath(c.expected)), "the database");
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            EXPECT_EQ(Bytes(dir.filePath(it.key())), it.value()) << it.key().toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("elsewhere"))));
    }
}

TEST(PasswordBackupTest, AFailedBackupLeavesNothingBehindAndSaysWhy)
{
    QTemporaryDir dir;
    try {
        MakeBackup(dir.filePath(QStringLiteral("missing.udb")), QStringLiteral("1"));
        ADD_FAILURE() << "no error";
    } catch (const platform::FileError& error) {
        EXPECT_EQ(error.Error(), ENOENT);
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("无法读取文件"))) << error.what();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
}

} // namespace
