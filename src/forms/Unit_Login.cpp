#include "forms/Unit_Login.h"

#include "desktop/Unit_Function.h"
#include "forms/Unit1.h"
#include "platform/system/CodePage.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "security/CurrentPassword.h"
#include "ui/ConcealedControl.h"
#include "ui/FormBuilding.h"
#include "ui/MouseClickFilter.h"
#include "ui/PasswordKeyFilter.h"
#include "ui/StateControl.h"
#include "ui/StatusBar.h"
#include "ui/WindowFont.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

TForm2* Form2 = nullptr;

namespace {

constexpr int kLoginClientWidth = 294;
constexpr int kLoginClientHeight = 161;

QLineEdit* makeStateEdit(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    QLineEdit* edit = makeEdit(parent, name, geometry, text);
    MakeStateControl(edit);
    return edit;
}

} // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent)
{
    Form2 = this;
    CreateControls();
    BindEvents();
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::CreateControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("管理登录"));
    setFont(WindowFont());
    // Fixed single border without any caption button; the window is not resizable.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kLoginClientWidth, kLoginClientHeight);

    GroupBox1 = named(new QGroupBox(this), "GroupBox1");
    GroupBox1->setGeometry(0, 0, kLoginClientWidth, kLoginClientHeight - TStatusBar::Height);

    Label1 = named(new QLabel(QStringLiteral("请输入管理密码："), GroupBox1), "Label1");
    Label1->move(16, 24);
    Label1->adjustSize();

    Edit_LoginPass = makeEdit(GroupBox1, "Edit_LoginPass", {40, 56, 220, 25});
    Edit_LoginPass->setEchoMode(QLineEdit::Password);
    // Shown as stars, and announced to assistive tools as a password box
    // without its characters.
    ConcealFromAssistiveTools(Edit_LoginPass, QAccessible::EditableText);
    Edit_LoginPass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    Button_Logining = makeButton(GroupBox1, "Button_Logining", QStringLiteral("进入"), {102, 96, 75, 25});
    Button2 = makeButton(GroupBox1, "Button2", QStringLiteral("退出"), {184, 96, 75, 25});
    Edit_Error = makeStateEdit(GroupBox1, "Edit_Error", {24, 117, 33, 21}, QStringLiteral("0"));
    Edit_LoginPass_Temp = makeStateEdit(GroupBox1, "Edit_LoginPass_Temp", {40, 88, 217, 21}, QString());

    StatusBar1 = named(new TStatusBar({kLoginClientWidth}, this), "StatusBar1");
    StatusBar1->setGeometry(0, kLoginClientHeight - TStatusBar::Height, kLoginClientWidth, TStatusBar::Height);

    setTabOrder(Edit_LoginPass, Button_Logining);
    setTabOrder(Button_Logining, Button2);
    Edit_LoginPass->setFocus();

    centreOnDesktop(this);
}

void TForm2::BindEvents()
{
    connect(Button_Logining, &QPushButton::clicked, this, Bind(this, &TForm2::Button_LoginingClick, Button_Logining));
    connect(Button2, &QPushButton::clicked, this, Bind(this, &TForm2::Button2Click, Button2));
    connect(Edit_LoginPass, &QLineEdit::textChanged, this, Bind(this, &TForm2::Edit_LoginPassChange, Edit_LoginPass));
    // Writing the counter runs its handler at once, before the writer goes on.
    connect(Edit_Error, &QLineEdit::textChanged, this, Bind(this, &TForm2::Edit_ErrorChange, Edit_Error));

    auto* passwordClicks = new MouseClickFilter(Edit_LoginPass);
    connect(passwordClicks, &MouseClickFilter::clicked, this, Bind(this, &TForm2::Edit_LoginPassClick, Edit_LoginPass));
    // Edit_LoginPassKeyPress: only backspace, digits and ASCII letters can be typed.
    new PasswordKeyFilter(Edit_LoginPass);

    // Shortcuts are served before the focused control sees the key, so Enter
    // reaches the default button also from the filtered password box.
    auto enterKey = [this](Qt::Key key) {
        auto* shortcut = new QShortcut(QKeySequence(QKeyCombination(key)), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, Button_Logining, &QPushButton::click);
        return shortcut;
    };
    returnKey_ = enterKey(Qt::Key_Return);
    enterKey_ = enterKey(Qt::Key_Enter);
}

void TForm2::closeEvent(QCloseEvent* event)
{
    // Closed by the desktop (its close command or Alt+F4): the window only
    // hides. With a notification area the tray icon brings it back; without
    // one nothing could, and the main window's rule after every event ends
    // the program as "退出" ends it.
    event->ignore();
    Application->Dispatch([this] { hide(); });
}

void TForm2::Edit_LoginPassClick(QObject* /*Sender*/)
{
    Edit_LoginPass->clear();
}

void TForm2::Edit_LoginPassChange(QObject* /*Sender*/)
{
    Button_Logining->setDefault(true);
    returnKey_->setEnabled(true);
    enterKey_->setEnabled(true);
}

void TForm2::Button_LoginingClick(QObject* /*Sender*/)
{
    if (Edit_LoginPass->text().isEmpty()) {
        ShowMessage(QStringLiteral("请输入密码..."));
        return;
    }
    if (platform::ToAnsi(Edit_LoginPass->text()) == CurrentPassword) {
        hide();
        Application->ShowMainForm = true;
        Form1->show();
        Form1->Button_RefreshClick(Form1->Button_Refresh);
        Edit_LoginPass->clear();
        Edit_LoginPass_Temp->setText(platform::FromAnsi(CurrentPassword));
        ShowTaskbarButton();
        return;
    }
    Edit_Error->setText(QString::number(Edit_Error->text().toInt() + 1));
    StatusBar1->SetPanelText(0, QStringLiteral("密码错误...") + Edit_Error->text() + QStringLiteral("次"));
}

void TForm2::Button2Click(QObject* /*Sender*/)
{
    Form1->Close();
}

void TForm2::Edit_ErrorChange(QObject* /*Sender*/)
{
    // The third wrong password ends the program. Should that end fail (the
    // clipboard held by another program), every later wrong password tries
    // again instead of allowing unlimited guesses.
    if (Edit_Error->text().toInt() < 3)
        return;
    ShowMessage(QStringLiteral("由于您多次输入了无效的密码程序将要退出..."));
    Form1->Close();
}
