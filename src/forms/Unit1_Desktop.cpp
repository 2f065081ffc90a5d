// The main window's place on the desktop: the tray icon (made with the window,
// shown from the window's load to the end of the run; a left click shows the
// window again) and the desktop launcher written at every start.
#include "forms/Unit1.h"

#include "desktop/TrayIcon.h"
#include "desktop/Unit_Function.h"
#include "runtime/Application.h"
#include "ui/Pictures.h"

void TForm1::CreateTrayIcon()
{
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->SetHint(QStringLiteral("Quillory"));
    TrayIcon1->SetIcon(TrayIconPicture());
    TrayIcon1->SetIconIndex(0);
    TrayIcon1->SetCycleInterval(0);
    TrayIcon1->PopupMenu = PopupMenu1;
    TrayIcon1->OnClick = [this](QObject* Sender) { Application->Dispatch([&] { TrayIcon1Click(Sender); }); };
    TrayIcon1->SetIconVisible(true);
    TrayIcon1->Loaded();
}

void TForm1::ShowTrayIcon()
{
    TrayIcon1->SetIconVisible(true);
}

void TForm1::WriteDesktopShortcut()
{
    CreateDesktopShortcut(Application->ExeName(), QStringLiteral("Tallykeep个人版"));
}
