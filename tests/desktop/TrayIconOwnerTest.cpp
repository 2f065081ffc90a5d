#include "TrayFixture.h"

#include "platform/ApplicationWindow.h"
#include "runtime/Application.h"

#include <QCoreApplication>

using namespace platform;

namespace {

// The tray icon of the program's main window: the owner is the main form.
class TrayOwnerTest : public TrayFixture {
protected:
    TrayOwnerTest()
    {
        application.SetMainForm(&owner);
        appWindow.SetVisible(true);
    }
    ~TrayOwnerTest() override { appWindow.SetVisible(true); }

    TApplication application{QStringLiteral("/nonexistent/Kestrelle")};
    ApplicationWindow& appWindow = ApplicationWindow::instance();
};

} // namespace

TEST_F(TrayOwnerTest, ShowingTheOwnerBringsTheApplicationAndThenTheOwnerToTheFront)
{
    owner.show();
    EXPECT_EQ(desktop.foreground,
              (QStringList{FakeDesktop::windowEntry(appWindow.handle()), QStringLiteral("widget Form1")}));
    owner.hide();
    EXPECT_EQ(desktop.foreground.size(), 2);
}

TEST_F(TrayOwnerTest, MinimisingGoesIntoTheTrayOnlyWithMinimizeToTrayAndItsEvent)
{
    int minimised = 0;
    owner.show();
    owner.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(owner.isVisible());  // the default: an ordinary minimise
    owner.showNormal();

    tray->MinimizeToTray = true;
    tray->OnMinimizeToTray = [&](QObject*) { ++minimised; };
    owner.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(minimised, 1);
    EXPECT_FALSE(owner.isVisible());
    EXPECT_FALSE(owner.isMinimized());
    EXPECT_FALSE(appWindow.IsVisible());
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_NE(shown(), nullptr);
}

TEST_F(TrayOwnerTest, AStartupAnswerOfFalseHidesTheMainFormAndTheTaskbarButton)
{
    owner.show();
    tray->OnStartup = [](QObject*, bool& showMainForm) { showMainForm = false; };
    tray->Loaded();
    EXPECT_FALSE(application.ShowMainForm);
    EXPECT_FALSE(owner.isVisible());
    EXPECT_FALSE(appWindow.IsVisible());
}

TEST_F(TrayOwnerTest, TheApplicationWindowHookMinimisesIntoTheTrayAndRestores)
{
    owner.show();
    SendMessage(appWindow.handle(), WM_SIZE, SIZE_MINIMIZED);
    EXPECT_TRUE(owner.isVisible());  // MinimizeToTray is off

    tray->MinimizeToTray = true;
    SendMessage(appWindow.handle(), WM_SIZE, SIZE_MINIMIZED);
    EXPECT_FALSE(owner.isVisible());
    EXPECT_FALSE(appWindow.IsVisible());
    EXPECT_TRUE(tray->IconVisible());

    owner.setWindowState(Qt::WindowMinimized);
    SendMessage(appWindow.handle(), WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_FALSE(owner.isMinimized());
}

TEST_F(TrayOwnerTest, DestructionUnhooksTheComponentFromTheApplicationWindowAndTheOwner)
{
    tray.reset();
    owner.show();
    SendMessage(appWindow.handle(), RegisterWindowMessage(TaskbarCreatedName));
    EXPECT_TRUE(desktop.foreground.isEmpty());
    EXPECT_EQ(area.iconCount(), 0u);
}
