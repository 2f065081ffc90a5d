// The main window's life: the clock, hiding to and showing from the tray,
// every way the program ends and the clipboard emptied on the way out.
#include "LifecycleFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/ApplicationWindow.h"
#include "runtime/Application.h"
#include "ui/ClockText.h"
#include "ui/StatusBar.h"

#include <QAction>
#include <QDateTime>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr std::uint32_t kToolWindow = 0x80;

class LifeCycleTest : public LifecycleFixture {
protected:
    QString Marker() const { return form2->Edit_LoginPass_Temp->text(); }
    const platform::ApplicationWindow& TaskbarOwner() const { return platform::ApplicationWindow::instance(); }
};

QString ClockNow()
{
    return ClockText(QLocale::system(), QDateTime::currentDateTime());
}

} // namespace

TEST_F(LifeCycleTest, TimersAreMadeWithTheirIntervalsAndOnlyTheClockRuns)
{
    DeliverDatabase(kPassword);
    StartProgram();
    struct Expected {
        QTimer* timer;
        int interval;
        bool running;
    };
    for (const Expected& e : {Expected{form1->Timer_CheckLogin, 1000, false},
                              Expected{form1->Timer_ClearClipbrd, 60000, false}, Expected{form1->Timer1, 1000, true},
                              Expected{form1->Timer_CloseMe, 1000, false}}) {
        SCOPED_TRACE(e.timer->objectName().toStdString());
        EXPECT_EQ(e.timer->interval(), e.interval);
        EXPECT_EQ(e.timer->isActive(), e.running);
        EXPECT_FALSE(e.timer->isSingleShot());
    }
}

TEST_F(LifeCycleTest, TheClockReplacesThePromotionalLineAtItsFirstTick)
{
    StartProgram();
    EXPECT_EQ(form1->StatusBar1->PanelText(2), QStringLiteral("BrightmoorQQ群:20100425"));
    const QString before = ClockNow();
    Tick(form1->Timer1);
    const QString after = ClockNow();
    const QString shown = form1->StatusBar1->PanelText(2);
    EXPECT_TRUE(shown == before || shown == after) << shown.toStdString();
    EXPECT_TRUE(form1->StatusBar1->PanelText(0).isEmpty());
    EXPECT_TRUE(form1->StatusBar1->PanelText(1).isEmpty());
}

TEST_F(LifeCycleTest, HidingEmptiesTheMarkerAndTheTaskbarAndATrayClickThenAsksForThePassword)
{
    StartLoggedIn();
    EXPECT_TRUE(TaskbarOwner().IsVisible());
    EXPECT_EQ(TaskbarOwner().ExStyle() & kToolWindow, 0u);
    form1->PageControl1->setCurrentIndex(1);

    form1->Button_HIde->click();
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(Marker().isEmpty());
    EXPECT_FALSE(TaskbarOwner().IsVisible());
    EXPECT_NE(TaskbarOwner().ExStyle() & kToolWindow, 0u);
    EXPECT_FALSE(form2->isVisible());

    area.click(Qt::LeftButton);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());

    TypePassword(kPassword);
    EXPECT_TRUE(form1->isVisible());
    EXPECT_EQ(form1->PageControl1->currentIndex(), 1);  // the window was only hidden
    EXPECT_TRUE(TaskbarOwner().IsVisible());
    EXPECT_EQ(TaskbarOwner().ExStyle() & kToolWindow, 0u);
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(LifeCycleTest, WhileLoggedInATrayClickShowsTheWindowWithoutAPassword)
{
    StartLoggedIn();
    form1->hide();  // covered by another window, say; the marker is still set
    area.click(Qt::LeftButton);
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(Marker(), kPassword);
    EXPECT_TRUE(TaskbarOwner().IsVisible());

    form1->ShowME->trigger();
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
}

TEST_F(LifeCycleTest, HidingWhileOnlyTheLoginWindowIsShownLeavesItOnScreen)
{
    StartToLogin();
    form1->HideME->trigger();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_TRUE(Marker().isEmpty());
    // Showing runs the login check again: the login window stays in front.
    form1->ShowME->trigger();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
}

// Each way out, from a logged-in run with the database open.
struct ClosePath {
    const char* name;
    void (*take)(TForm1&, TForm2&);
};

class ClosePathTest : public LifeCycleTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(ClosePathTest, ClosesTheConnectionEmptiesTheClipboardAndEndsTheProgram)
{
    StartLoggedIn();
    ASSERT_TRUE(Connected());
    GetParam().take(*form1, *form2);
    EXPECT_FALSE(Connected());
    EXPECT_EQ(clipboard.opens, 1);
    EXPECT_EQ(clipboard.empties, 1);
    EXPECT_EQ(clipboard.closes, 1);
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_FALSE(clipboard.holdsData);
    EXPECT_TRUE(application->Terminated());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayOut, ClosePathTest,
    ::testing::Values(ClosePath{"TrayMenuExit", [](TForm1& f1, TForm2&) { f1.CloseMe->trigger(); }},
                      ClosePath{"ExitButton", [](TForm1& f1, TForm2&) { f1.Button4->click(); }},
                      ClosePath{"LoginWindowExit", [](TForm1&, TForm2& f2) { f2.Button2->click(); }},
                      ClosePath{"CloseMeTimer",
                                [](TForm1& f1, TForm2&) {
                                    f1.Timer_CloseMe->start();
                                    Tick(f1.Timer_CloseMe);
                                }}),
    [](const ::testing::TestParamInfo<ClosePath>& info) { return std::string(info.param.name); });

TEST_F(LifeCycleTest, AClipboardHeldOpenByAnotherProgramStopsTheExitWithItsMessage)
{
    StartLoggedIn();
    clipboard.heldByOtherProgram = true;
    form1->Button4->click();
    EXPECT_EQ(messageBoxes.texts(), QStringList{"Cannot open clipboard"});
    EXPECT_FALSE(application->Terminated());
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(Connected());
    EXPECT_EQ(clipboard.empties, 0);
    EXPECT_TRUE(clipboard.holdsData);

    // Once the other program lets go, the next exit goes through.
    clipboard.heldByOtherProgram = false;
    form1->CloseMe->trigger();
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, 1);
}

TEST_F(LifeCycleTest, TheCloseTimerTriesAgainAfterAHeldClipboard)
{
    StartProgram();  // no database: the close timer is running
    clipboard.heldByOtherProgram = true;
    Tick(form1->Timer_CloseMe);
    EXPECT_FALSE(application->Terminated());
    EXPECT_TRUE(form1->Timer_CloseMe->isActive());
    clipboard.heldByOtherProgram = false;
    Tick(form1->Timer_CloseMe);
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(messageBoxes.texts(), (QStringList{"没有发现数据库\"_.udb\"文件.", "Cannot open clipboard"}));
}
