#include "security/PasswordBackup.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(BackupStampTest, DropsEverySeparatorAFileNameCannotHoldOrTheStampNeverHad)
{
    EXPECT_EQ(BackupStamp(QStringLiteral("2026-12-07 09:15:30")), QStringLiteral("20261207091530"));
    EXPECT_EQ(BackupStamp(QStringLiteral("07/12/2026 9:15:30 PM")), QStringLiteral("0712202691530PM"));
    EXPECT_EQ(BackupStamp(QStringLiteral("2026\\12\\07")), QStringLiteral("20261207"));
    EXPECT_EQ(BackupStamp(QStringLiteral("2026年12月7日 星期一 9:15")), QStringLiteral("2026年12月7日星期一915"));
    EXPECT_EQ(BackupFilePath(QStringLiteral("/p/"), QStringLiteral("1")), QStringLiteral("/p/bak_1_.udb"));
}

TEST(CopyReplacingTest, ReplacesAnEarlierCopyWhole)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("_.udb"));
    const QString target = dir.filePath(QStringLiteral("bak_1_.udb"));
    QByteArray content(200 * 1024, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    WriteFile(source, content);
    WriteFile(target, QByteArray(300 * 1024, 'x'));

    EXPECT_TRUE(CopyReplacing(source, target));
    EXPECT_EQ(ReadFile(target), content);
    EXPECT_EQ(ReadFile(source), content);
}

TEST(CopyReplacingTest, FailedCopyLeavesAnEarlierCopyAsItWas)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bak_1_.udb"));
    WriteFile(target, "earlier");
    EXPECT_FALSE(CopyReplacing(dir.filePath(QStringLiteral("missing.udb")), target));
    EXPECT_EQ(ReadFile(target), QByteArray("earlier"));
    // A target in a folder that does not exist (a name with a stray "/").
    WriteFile(dir.filePath(QStringLiteral("_.udb")), "db");
    EXPECT_FALSE(CopyReplacing(dir.filePath(QStringLiteral("_.udb")), dir.filePath(QStringLiteral("no/such.udb"))));
}

} // namespace
