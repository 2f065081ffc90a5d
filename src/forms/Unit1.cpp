// The main window's creation, close and timers.
#include "forms/Unit1.h"
#include "forms/SyncSession.h"

#include "forms/PlaceMessages.h"
#include "platform/NotificationArea.h"
#include "platform/system/FileError.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "skin/ProgramSkin.h"
#include "skin/Skins.h"
#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DataSource.h"
#include "ui/ClockText.h"
#include "ui/Links.h"
#include "ui/RecordGridModel.h"
#include "ui/StatusBar.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

TForm1* Form1 = nullptr;

namespace {

QTimer* makeTimer(QObject* owner, const char* name, int interval, bool enabled)
{
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    if (enabled)
        timer->start();
    return timer;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    Form1 = this;
    CreateControls();

    ADOConnection1 = std::make_unique<TADOConnection>();
    ADOQuery1 = new TADOQuery(this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    ADOQuery1->Connection = ADOConnection1.get();
    ADOQuery1->SQL.SetText(QStringLiteral("Select * from data"));
    DataSource1 = new TDataSource(this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DataSource1->SetDataSet(ADOQuery1);
    ADOQuery_Pass = new TADOQuery(this);
    ADOQuery_Pass->setObjectName(QStringLiteral("ADOQuery_Pass"));
    ADOQuery_Pass->Connection = ADOConnection1.get();
    GridModel = new RecordGridModel(DataSource1, this);
    DBGrid1->setModel(GridModel);

    Timer_CheckLogin = makeTimer(this, "Timer_CheckLogin", 1000, false);
    Timer_ClearClipbrd = makeTimer(this, "Timer_ClearClipbrd", 60000, false);
    Timer1 = makeTimer(this, "Timer1", 1000, true);
    Timer_CloseMe = makeTimer(this, "Timer_CloseMe", 1000, false);
    CreateSyncGroup();

    CreateTrayIcon();
    BindEvents();
    // The skin is carried inside the window and loaded as the window is made.
    Skin1 = CreateProgramSkin(this);
    Skin1->Loaded();
    Application->Dispatch([this] { FormCreate(this); });
}

TForm1::~TForm1()
{
    if (Application)
        Application->OnEventHandled = nullptr;
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FormCreate(QObject* /*Sender*/)
{
    try {
        Application->ShowMainForm = false;
        const QString folder = Application->ProgramFolder();
        if (!QFileInfo::exists(folder + store::DatabaseFileName)) {
            ShowMessage(QStringLiteral("没有发现数据库\"_.udb\"文件."));
            Timer_CloseMe->start();
            return;
        }
        // Said now rather than as the engine's "unable to open database file"
        // at the login check: the program cannot work on this file.
        if (const QString tooLong = DatabasePathTooLong(folder + store::DatabaseFileName); !tooLong.isEmpty()) {
            ShowMessage(tooLong);
            Timer_CloseMe->start();
            return;
        }
        ADOConnection1->ConnectionString = store::ProgramConnectionString(folder);
        // The login check needs the login window, which is made after this
        // window: the timer is armed once start-up has completed.
        loginCheckWanted_ = true;
        LoadCategoryLists();
        HookGridWheel();
    } catch (const platform::FileError& error) {
        // A file the start makes ("class.dat") that cannot be made: the cause is known.
        ShowMessage(CannotMakeFile(error));
        Close();
    } catch (const std::exception&) {
        ShowMessage(QStringLiteral("程序发生未知错误,请联系客服 QQ") + links::kSupportNumber + QLatin1Char(' '));
        Close();
    }
    ShowTrayIcon();
    WriteDesktopShortcut();
}

void TForm1::StartupCompleted()
{
    if (loginCheckWanted_)
        Timer_CheckLogin->start();
    trayLastSeen_ = platform::notificationArea().isAvailable();
    WatchLogins();
    Application->OnEventHandled = [this] { KeepReachable(); };
    // Start-up itself may have left nothing on screen and nothing on its way.
    Application->Dispatch([] {});
}

void TForm1::Close()
{
    FormClose(this);
    hide();
    if (Application->MainForm() == this)
        Application->Terminate();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The window has no close box; a close asked for by the window manager
    // takes the program's own close path.
    event->ignore();
    Application->Dispatch([this] { Close(); });
}

void TForm1::Timer_CheckLoginTimer(QObject* /*Sender*/)
{
    // A one-shot trigger: stopped before the check, so a failing check runs
    // once and reports once.
    Timer_CheckLogin->stop();
    Button_CheckLoginClick(Button_CheckLogin);
}

void TForm1::Timer1Timer(QObject* /*Sender*/)
{
    StatusBar1->SetPanelText(2, ClockText(QLocale::system(), QDateTime::currentDateTime()));
}

void TForm1::Timer_CloseMeTimer(QObject* /*Sender*/)
{
    Close();
}
