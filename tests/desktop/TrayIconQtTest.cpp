// The tray icon on the program's own notification-area service.
#include "desktop/TrayIcon.h"

#include <QCoreApplication>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(TrayIconOnTheDesktop, TheIconIsShownWhenTheDesktopHasANotificationArea)
{
    if (!platform::notificationArea().isAvailable())
        GTEST_SKIP() << "this desktop has no notification area";
    QPixmap picture(32, 32);
    picture.fill(Qt::darkCyan);
    TTrayIcon tray(nullptr);
    tray.SetIcon(QIcon(picture));
    tray.SetHint(QStringLiteral("Quillory"));
    EXPECT_TRUE(tray.AddTrayIcon());
    EXPECT_TRUE(tray.IconVisible());
    QCoreApplication::processEvents();
    // Present: it can be changed, and removed once.
    EXPECT_TRUE(tray.UpdateTrayIcon());
    EXPECT_TRUE(tray.RemoveTrayIcon());
    EXPECT_FALSE(tray.RemoveTrayIcon());
}
