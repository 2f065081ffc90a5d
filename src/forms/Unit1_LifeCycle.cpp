// Hiding to and showing from the tray, the tray menu's handlers and every way
// the main window closes.
#include "forms/Unit1.h"

#include "desktop/Unit_Clipbrd.h"
#include "desktop/Unit_Function.h"
#include "forms/Unit_Login.h"
#include "platform/NotificationArea.h"
#include "runtime/Application.h"
#include "store/ADOConnection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void TForm1::HideMEClick(QObject* /*Sender*/)
{
    HideTaskbarButton();
    hide();
    Form2->Edit_LoginPass_Temp->clear();
    if (!platform::notificationArea().isAvailable())
        ShowLoginWindowInstead();
}

void TForm1::ShowLoginWindowInstead()
{
    // No icon could bring the window back, and a second copy ends silently:
    // the login window asks for the password at once, and it keeps its
    // taskbar entry so that it can always be found.
    Button_CheckLoginClick(Button_CheckLogin);
    ShowTaskbarButton();
}

void TForm1::KeepReachable()
{
    if (Application->Terminated() || !Form2)
        return;
    const bool tray = platform::notificationArea().isAvailable();
    const bool trayWent = trayLastSeen_ && !tray;
    const bool waitedInTray = waitingInTray_;
    const bool onScreen = isVisible() || Form2->isVisible();
    // The login check comes within a second of the start; the close timer ends
    // the program (and tries again while the clipboard is held).
    const bool windowComing = Timer_CheckLogin->isActive() || Timer_CloseMe->isActive();
    trayLastSeen_ = tray;
    waitingInTray_ = tray && !onScreen && !windowComing;
    if (tray || windowComing)
        return;
    if (onScreen) {
        // The area went away while the login window asked for the password
        // without a taskbar entry: it gets one, as it has on such a desktop.
        if (trayWent && !isVisible())
            ShowTaskbarButton();
        return;
    }
    if (waitedInTray) {
        // The area went away while the program sat in it: the login window
        // comes, as hiding brings it without an area. A check that fails
        // reports its error and the program ends below.
        Application->Dispatch([this] { ShowLoginWindowInstead(); });
        if (Application->Terminated() || Form2->isVisible())
            return;
    }
    // An error (of the start, the login check or any later event) left no
    // window: the program ends as closing the login window ends it, so that
    // no invisible copy holds the one-copy lock. Should the clipboard be held,
    // the end is tried again after the next event (the clock's tick).
    Close();
}

void TForm1::ShowMEClick(QObject* /*Sender*/)
{
    if (Form2->Edit_LoginPass_Temp->text().isEmpty()) {
        Button_CheckLoginClick(Button_CheckLogin);
        return;
    }
    hide();
    show();
    raise();
    activateWindow();
    Application->ProcessMessages();
    ShowTaskbarButton();
}

void TForm1::CloseMeClick(QObject* /*Sender*/)
{
    Close();
}

void TForm1::Button_HIdeClick(QObject* /*Sender*/)
{
    HideMEClick(HideME);
}

void TForm1::Button4Click(QObject* /*Sender*/)
{
    CloseMeClick(CloseMe);
}

void TForm1::TrayIcon1Click(QObject* /*Sender*/)
{
    ShowMEClick(ShowME);
}

void TForm1::FormClose(QObject* /*Sender*/)
{
    ADOConnection1->Close();
    ClipboardInstance()->Clear();
}

void TForm1::Timer_ClearClipbrdTimer(QObject* /*Sender*/)
{
    // Nothing starts this timer; were it started, it would empty the
    // clipboard once and stop.
    ClipboardInstance()->Clear();
    Timer_ClearClipbrd->stop();
}
