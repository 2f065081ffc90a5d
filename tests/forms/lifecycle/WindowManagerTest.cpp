// The program on desktops with and without a notification area: which windows
// have taskbar entries, and what closing the login window from the desktop does.
#include "LifecycleFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"

#include <QAction>
#include <QPushButton>

namespace {

struct Desktop {
    const char* name;
    bool notificationArea;
};

void PrintTo(const Desktop& desktop, std::ostream* out)
{
    *out << desktop.name;
}

class WindowManagerTest : public LifecycleFixture, public ::testing::WithParamInterface<Desktop> {
protected:
    bool Tray() const { return GetParam().notificationArea; }
    bool Entries(bool form1Entry, bool form2Entry) const
    {
        return taskbar.HasEntry(*form1) == form1Entry && taskbar.HasEntry(*form2) == form2Entry;
    }
};

} // namespace

// In the tray the program has no taskbar entry at all, the login window that
// asks for the password included. Without a notification area the login
// window is the only way back, so it keeps its entry.
TEST_P(WindowManagerTest, EveryWindowFollowsTheTaskbarButton)
{
    StartLoggedIn();
    EXPECT_TRUE(Entries(true, true));
    area.available = Tray();

    form1->Button_HIde->click();
    if (Tray()) {
        EXPECT_TRUE(Entries(false, false));
        EXPECT_FALSE(TaskbarButtonShown());
        area.click(Qt::LeftButton);
    }
    ASSERT_TRUE(form2->isVisible());
    EXPECT_TRUE(desktop.foreground.contains(QStringLiteral("widget Form2")));
    EXPECT_EQ(taskbar.HasEntry(*form2), !Tray());
    EXPECT_EQ(TaskbarButtonShown(), !Tray());

    TypePassword(kPassword);
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(Entries(true, true));
}

// The desktop's close (Alt+F4) on the login window: with a notification area
// the window hides and the tray icon brings it back; without one the program
// ends as "退出" ends it, rather than running on with nothing on screen.
TEST_P(WindowManagerTest, ClosingTheLoginWindowFromTheDesktop)
{
    StartToLogin();
    area.available = Tray();
    form2->close();
    EXPECT_EQ(application->Terminated(), !Tray());
    EXPECT_EQ(Connected(), Tray());
    EXPECT_EQ(clipboard.empties, Tray() ? 0 : 1);
    if (Tray()) {
        EXPECT_FALSE(form2->isVisible());
        area.click(Qt::LeftButton);
        EXPECT_TRUE(form2->isVisible());
    }
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowManagerTest,
                         ::testing::Values(Desktop{"WithNotificationArea", true},
                                           Desktop{"WithoutNotificationArea", false}),
                         [](const ::testing::TestParamInfo<Desktop>& info) { return std::string(info.param.name); });
