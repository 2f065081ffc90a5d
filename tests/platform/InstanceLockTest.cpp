#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Points the runtime folder at a fresh directory for one test.
class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = qgetenv("XDG_RUNTIME_DIR");
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", previous_); }

    QTemporaryDir dir_;
    QByteArray previous_;
};

TEST_F(InstanceLockTest, SecondHolderIsRefusedUntilFirstReleases)
{
    auto first = platform::instanceLocks().acquire(QStringLiteral("通讯录"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform::instanceLocks().acquire(QStringLiteral("通讯录")), nullptr);
    first.reset();
    EXPECT_NE(platform::instanceLocks().acquire(QStringLiteral("通讯录")), nullptr);
}

TEST_F(InstanceLockTest, ObjectOfAnotherKindUnderTheNameCountsAsHeld)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("通讯录.lock")));
    EXPECT_EQ(platform::instanceLocks().acquire(QStringLiteral("通讯录")), nullptr);
}

} // namespace
