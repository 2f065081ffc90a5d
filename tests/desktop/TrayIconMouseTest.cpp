#include "TrayFixture.h"

#include "runtime/Application.h"
#include "support/ScriptedMessageBoxes.h"

#include <QAction>

#include <stdexcept>

using namespace platform;

namespace {

class TrayMouseTest : public TrayFixture {
protected:
    TrayMouseTest()
    {
        tray->OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, tray.get());
            log << QStringLiteral("click");
        };
        tray->OnMouseDown = [this](QObject*, TMouseButton, TShiftState shift, int, int) {
            log << QStringLiteral("down");
            lastShift = shift;
        };
        tray->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { log << QStringLiteral("up"); };
        tray->SetIconVisible(true);
    }

    QStringList log;
    TShiftState lastShift = 0;
};

} // namespace

TEST_F(TrayMouseTest, APressAndReleaseClicksOnceAtTheRelease)
{
    area.press(Qt::LeftButton);
    EXPECT_EQ(log, QStringList{"down"});
    area.release(Qt::LeftButton);
    EXPECT_EQ(log, (QStringList{"down", "click", "up"}));
    clock.advance(2000);
    EXPECT_EQ(log.count("click"), 1);
}

TEST_F(TrayMouseTest, WithoutOnDblClickADoubleClickClicksOnce)
{
    area.doubleClick();
    clock.advance(2000);
    EXPECT_EQ(log.count("click"), 1);
}

TEST_F(TrayMouseTest, WithOnDblClickAClickWaitsForTheDoubleClickTime)
{
    tray->OnDblClick = [this](QObject*) { log << QStringLiteral("double"); };
    desktop.doubleClickInterval = 400;
    area.click(Qt::LeftButton);
    clock.advance(399);
    EXPECT_EQ(log.count("click"), 0);
    clock.advance(1);
    EXPECT_EQ(log.count("click"), 1);
    clock.advance(2000);
    EXPECT_EQ(log.count("click"), 1);
}

TEST_F(TrayMouseTest, WithOnDblClickADoubleClickFiresOnlyOnDblClick)
{
    tray->OnDblClick = [this](QObject*) { log << QStringLiteral("double"); };
    area.doubleClick();
    clock.advance(2000);
    EXPECT_EQ(log.count("double"), 1);
    EXPECT_EQ(log.count("click"), 0);

    // The next single click is a click again.
    log.clear();
    area.click(Qt::LeftButton);
    clock.advance(2000);
    EXPECT_EQ(log.count("click"), 1);
}

TEST_F(TrayMouseTest, TheRightButtonPopsTheMenuUpAtTheCursorOnPress)
{
    RecordingMenu menu;
    tray->PopupMenu = &menu;
    area.press(Qt::RightButton);
    ASSERT_EQ(menu.popups.size(), 1u);
    EXPECT_EQ(menu.popups[0], QPoint(640, 700));
    EXPECT_EQ(menu.PopupComponent, tray.get());
    EXPECT_EQ(desktop.foreground.first(), FakeDesktop::windowEntry(SharedTrayHandler()->Handle()));
    area.release(Qt::RightButton);
    EXPECT_EQ(menu.popups.size(), 1u);
    EXPECT_EQ(log, (QStringList{"down", "up"}));

    tray->LeftPopup = true;
    area.press(Qt::RightButton);
    EXPECT_EQ(menu.popups.size(), 2u);

    menu.AutoPopup = false;
    area.press(Qt::RightButton);
    EXPECT_EQ(menu.popups.size(), 2u);
}

TEST_F(TrayMouseTest, TheLeftButtonPopsTheMenuUpOnlyWithLeftPopup)
{
    RecordingMenu menu;
    tray->PopupMenu = &menu;
    area.click(Qt::LeftButton);
    EXPECT_TRUE(menu.popups.empty());
    tray->LeftPopup = true;
    area.press(Qt::LeftButton);
    EXPECT_EQ(menu.popups.size(), 1u);
}

TEST_F(TrayMouseTest, ADoubleClickChoosesTheFirstDefaultItemOfTheMenu)
{
    RecordingMenu menu;
    QAction* plain = menu.addAction(QStringLiteral("plain"));
    QAction* first = menu.addAction(QStringLiteral("first"));
    QAction* second = menu.addAction(QStringLiteral("second"));
    menu.SetDefault(second, true);
    menu.SetDefault(first, true);
    QStringList chosen;
    for (QAction* item : {plain, first, second})
        QObject::connect(item, &QAction::triggered, [&chosen, item] { chosen << item->text(); });
    tray->PopupMenu = &menu;
    area.doubleClick();
    EXPECT_EQ(chosen, QStringList{"first"});

    tray->LeftPopup = true;
    chosen.clear();
    menu.popups.clear();
    area.notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(TrayMouseTest, DisabledIgnoresTheMouseButNotBalloons)
{
    RecordingMenu menu;
    tray->PopupMenu = &menu;
    tray->OnMouseMove = [this](QObject*, TShiftState, int, int) { log << QStringLiteral("move"); };
    tray->OnBalloonHintShow = [this](QObject*) { log << QStringLiteral("show"); };
    tray->OnBalloonHintHide = [this](QObject*) { log << QStringLiteral("hide"); };
    tray->OnBalloonHintTimeout = [this](QObject*) { log << QStringLiteral("timeout"); };
    tray->OnBalloonHintClick = [this](QObject*) { log << QStringLiteral("balloon click"); };
    tray->Enabled = false;
    area.click(Qt::LeftButton);
    area.doubleClick();
    area.click(Qt::RightButton);
    area.click(Qt::MiddleButton);
    area.moveOver();
    for (unsigned code : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
        area.notify(code);
    clock.advance(2000);
    EXPECT_EQ(log, (QStringList{"show", "hide", "timeout", "balloon click"}));
    EXPECT_TRUE(menu.popups.empty());
}

TEST_F(TrayMouseTest, ButtonEventsReportTheKeysHeldAndTheButton)
{
    desktop.keys = unsigned(ShiftKey::Shift) | unsigned(ShiftKey::Ctrl);
    area.press(Qt::MiddleButton);
    EXPECT_EQ(lastShift, ssShift | ssCtrl | ssMiddle);
    desktop.keys = unsigned(ShiftKey::Alt);
    area.press(Qt::RightButton);
    EXPECT_EQ(lastShift, ssAlt | ssRight);
}

TEST_F(TrayMouseTest, RightAndMiddleDoubleClicksAndVersion3NoticesAreIgnoredInClassicMode)
{
    for (unsigned code : {WM_RBUTTONDBLCLK, 0x0209u, WM_CONTEXTMENU, NIN_SELECT, NIN_KEYSELECT})
        area.notify(code);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(TrayMouseTest, EnterAndExitAreReportedWhenWanted)
{
    tray->OnMouseEnter = [this](QObject*) { log << QStringLiteral("enter"); };
    tray->OnMouseExit = [this](QObject*) { log << QStringLiteral("exit"); };
    tray->OnMouseMove = [this](QObject*, TShiftState, int x, int y) { log << QStringLiteral("move %1,%2").arg(x).arg(y); };
    area.moveOver();
    clock.advance(100);
    EXPECT_EQ(log, QStringList{"move 640,700"});

    log.clear();
    tray->SetWantEnterExitEvents(true);
    area.moveOver();
    area.moveOver();
    clock.advance(100);  // the pointer stays where it was last reported
    EXPECT_EQ(log, (QStringList{"enter", "move 640,700", "move 640,700"}));
    desktop.cursor = QPoint(0, 0);
    clock.advance(19);
    EXPECT_EQ(log.count("exit"), 0);
    clock.advance(1);
    EXPECT_EQ(log.count("exit"), 1);
    clock.advance(100);
    EXPECT_EQ(log.count("exit"), 1);
    area.moveOver();
    EXPECT_EQ(log.count("enter"), 2);

    tray->SetWantEnterExitEvents(false);
    EXPECT_EQ(clock.count(), 0u);
}

TEST_F(TrayMouseTest, AnErrorInAnEventIsReportedAndTheIconKeepsWorking)
{
    ScriptedMessageBoxes boxes;
    TApplication application(QStringLiteral("/nonexistent/Kestrelle"));
    tray->OnClick = [](QObject*) { throw std::runtime_error("click failed"); };
    area.click(Qt::LeftButton);
    area.click(Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), (QStringList{"click failed", "click failed"}));
    EXPECT_EQ(log.count("down"), 2);
}

TEST_F(TrayMouseTest, AComponentDestroyedByItsOwnClickStopsThere)
{
    tray->OnClick = [this](QObject*) { tray.reset(); };
    area.click(Qt::LeftButton);
    EXPECT_EQ(tray, nullptr);
    EXPECT_EQ(area.iconCount(), 0u);
}
