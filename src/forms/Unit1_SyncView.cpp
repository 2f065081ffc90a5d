// The group "通讯录同步" on the settings page, below "导入导出": the server's
// address, the user and the password, the address book, "立即同步", the
// conflicts, whether the password may be kept in the book's file, and the
// last sync's time and result. Its two timers sync after an edit and every
// 15 minutes.
#include "forms/Unit1.h"

#include "runtime/Application.h"
#include "store/ADOQuery.h"
#include "ui/FormBuilding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int SyncAfterEditMs = 5000;
constexpr int SyncEveryMs = 15 * 60 * 1000;

} // namespace

void TForm1::CreateSyncGroup()
{
    GroupBox8 = named(new QGroupBox(QStringLiteral("通讯录同步"), TabSheet2), "GroupBox8");
    GroupBox8->setGeometry(0, 301, 708, 118);
    auto label = [this](const char* name, const QString& caption, int left, int top) {
        auto* made = named(new QLabel(caption, GroupBox8), name);
        made->move(left, top);
        made->adjustSize();
        return made;
    };
    auto edit = [this](const char* name, QRect geometry) {
        QLineEdit* made = makeEdit(GroupBox8, name, geometry);
        return made;
    };
    Label31 = label("Label31", QStringLiteral("服务器地址"), 8, 22);
    Edit_SyncServer = edit("Edit_SyncServer", {84, 18, 240, 21});
    Edit_SyncServer->setPlaceholderText(QStringLiteral("https://"));
    Label32 = label("Label32", QStringLiteral("用户名"), 334, 22);
    Edit_SyncUser = edit("Edit_SyncUser", {384, 18, 110, 21});
    Label33 = label("Label33", QStringLiteral("密码"), 506, 22);
    Edit_SyncPass = edit("Edit_SyncPass", {540, 18, 156, 21});
    Edit_SyncPass->setEchoMode(QLineEdit::Password);
    Label34 = label("Label34", QStringLiteral("通讯录"), 32, 48);
    ComboBox_SyncBook = named(new QComboBox(GroupBox8), "ComboBox_SyncBook");
    ComboBox_SyncBook->setGeometry(84, 44, 240, 21);
    Button_Sync = makeButton(GroupBox8, "Button_Sync", QStringLiteral("立即同步"), {344, 42, 89, 25});
    Button_SyncConflicts = makeButton(GroupBox8, "Button_SyncConflicts", QStringLiteral("处理冲突"), {440, 42, 89, 25});
    Button_SyncConflicts->setEnabled(false);
    CheckBox_SyncKeepPass = named(new QCheckBox(QStringLiteral("密码存入数据库"), GroupBox8), "CheckBox_SyncKeepPass");
    CheckBox_SyncKeepPass->move(540, 46);
    CheckBox_SyncKeepPass->adjustSize();
    Label_SyncStatus = label("Label_SyncStatus", QStringLiteral("尚未同步."), 8, 74);
    Label_SyncStatus->setFixedWidth(690);
    Label35 = label("Label35",
                    QStringLiteral("密码存入系统密钥环. 存入数据库时注意: 数据库文件的密钥是程序内置的常量, 拿到文件就能读出密码."),
                    8, 94);
    Label35->setStyleSheet(QStringLiteral("color: gray"));

    connect(Button_Sync, &QPushButton::clicked, this, Bind(this, &TForm1::Button_SyncClick, Button_Sync));
    connect(Button_SyncConflicts, &QPushButton::clicked, this,
            Bind(this, &TForm1::Button_SyncConflictsClick, Button_SyncConflicts));
    QWidget* previous = Button_ImportVCard; // the page's last control before this group
    for (QWidget* next : {static_cast<QWidget*>(Edit_SyncServer), static_cast<QWidget*>(Edit_SyncUser),
                          static_cast<QWidget*>(Edit_SyncPass), static_cast<QWidget*>(ComboBox_SyncBook),
                          static_cast<QWidget*>(Button_Sync), static_cast<QWidget*>(Button_SyncConflicts),
                          static_cast<QWidget*>(CheckBox_SyncKeepPass)}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }

    Timer_Sync = named(new QTimer(this), "Timer_Sync");
    Timer_Sync->setSingleShot(true);
    Timer_Sync->setInterval(SyncAfterEditMs);
    connect(Timer_Sync, &QTimer::timeout, this, Bind(this, &TForm1::Timer_SyncTimer, Timer_Sync));
    Timer_SyncEvery = named(new QTimer(this), "Timer_SyncEvery");
    Timer_SyncEvery->setInterval(SyncEveryMs);
    connect(Timer_SyncEvery, &QTimer::timeout, this, Bind(this, &TForm1::Timer_SyncEveryTimer, Timer_SyncEvery));
    // A reload follows every add, modify, clear and import; a deletion removes a row.
    connect(ADOQuery1, &TADOQuery::opened, this, [this] { SyncSoonAfterEdit(); });
    connect(ADOQuery1, &TADOQuery::rowRemoved, this, [this] { SyncSoonAfterEdit(); });
}
