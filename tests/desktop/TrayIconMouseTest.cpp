#include "TrayFixture.h"

#include "app/Application.h"
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
        tray->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int, int) { log << QStringLiteral("down"); };
        tray->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { log << QStringLiteral("up"); };
        tray->SetIconVisible(true);
    }

    QStringList log;
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

TEST_F(TrayMouseTest, NoPopupWithoutAutomaticPopupOrWithoutAReadableCursor)
{
    RecordingMenu menu;
    tray->PopupMenu = &menu;
    menu.AutoPopup = false;
    area.press(Qt::RightButton);
    menu.AutoPopup = true;
    desktop.cursorReadable = false;
    area.press(Qt::RightButton);
    EXPECT_TRUE(menu.popups.empty());
    EXPECT_EQ(log.count("down"), 2);
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

TEST_F(TrayMouseTest, ButtonEventsReportTheButtonTheKeysAndTheCursorNow)
{
    struct Event {
        TMouseButton button;
        TShiftState shift;
        QPoint at;
    };
    std::vector<Event> downs;
    std::vector<Event> ups;
    tray->OnMouseDown = [&](QObject*, TMouseButton b, TShiftState s, int x, int y) { downs.push_back({b, s, {x, y}}); };
    tray->OnMouseUp = [&](QObject*, TMouseButton b, TShiftState s, int x, int y) { ups.push_back({b, s, {x, y}}); };
    desktop.keys = unsigned(ShiftKey::Shift) | unsigned(ShiftKey::Ctrl);
    area.press(Qt::MiddleButton);
    desktop.keys = 0;
    desktop.cursor = QPoint(10, 20);
    area.release(Qt::MiddleButton);
    area.click(Qt::RightButton);
    ASSERT_EQ(downs.size(), 2u);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(downs[0].button, TMouseButton::mbMiddle);
    EXPECT_EQ(downs[0].shift, ssShift | ssCtrl | ssMiddle);
    EXPECT_EQ(downs[0].at, QPoint(640, 700));
    EXPECT_EQ(ups[0].shift, ssMiddle);
    EXPECT_EQ(ups[0].at, QPoint(10, 20));
    EXPECT_EQ(downs[1].button, TMouseButton::mbRight);
    EXPECT_EQ(ups[1].shift, ssRight);
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
