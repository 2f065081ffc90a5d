#include "security/PasswordBackup.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PasswordBackupTest, StampDropsSeparatorsAndBackslashes)
{
    EXPECT_EQ(BackupStamp(QStringLiteral("2026\\12\\07 9:15")), QStringLiteral("20261207915"));
}

TEST(PasswordBackupTest, FailedCopyLeavesAnEarlierCopyAsItWas)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bak_1_.udb"));
    QFile earlier(target);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();

    EXPECT_FALSE(CopyReplacing(dir.filePath(QStringLiteral("missing.udb")), target));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier"));
}

} // namespace
