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
    // Without a notification area no icon could bring the window back, and a
    // second copy ends silently: the login window is the way back instead, and
    // it keeps its taskbar entry so that it can always be found.
    if (!platform::notificationArea().isAvailable()) {
        Button_CheckLoginClick(Button_CheckLogin);
        ShowTaskbarButton();
    }
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
