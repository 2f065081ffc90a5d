// Every test program runs in a session of its own: the folders where the
// program keeps its lock, writes its launcher and finds the user's files are
// fresh ones, so a test never meets a real copy of the program or the user's
// desktop, and none of the user's windows or clipboard.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

TEST(PrivateSession, TheUsersFoldersAreFreshOnesOfThisProgram)
{
    const QString home = QDir::homePath();
    EXPECT_TRUE(home.startsWith(QDir::tempPath() + QLatin1Char('/'))) << home.toStdString();
    const QStandardPaths::StandardLocation locations[] = {
        QStandardPaths::RuntimeLocation, QStandardPaths::DesktopLocation, QStandardPaths::GenericConfigLocation,
        QStandardPaths::GenericDataLocation, QStandardPaths::GenericCacheLocation};
    for (const auto location : locations) {
        const QString path = QStandardPaths::writableLocation(location);
        EXPECT_TRUE(path.startsWith(QFileInfo(home).path() + QLatin1Char('/'))) << path.toStdString();
    }
    const QFileInfo runtime(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    const QFileDevice::Permissions forTheUser = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    EXPECT_EQ(runtime.permissions() & ~forTheUser, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_TRUE(qEnvironmentVariableIsEmpty("DISPLAY"));
    EXPECT_TRUE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
}
