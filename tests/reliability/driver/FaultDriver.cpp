// Runs one operation of the program on a program folder, through the main
// window's own handlers on the offscreen platform, so that a test can kill it
// at any moment:
//
//   faultdriver FOLDER add CATEGORY NAME QQ MOBILE PHONE FAX MAIL HOME REMARKS
//   faultdriver FOLDER modify ID CATEGORY NAME QQ MOBILE PHONE FAX MAIL HOME REMARKS
//   faultdriver FOLDER delete ID
//   faultdriver FOLDER clear
//   faultdriver FOLDER password NEW
//   faultdriver FOLDER compact
//
// The program starts as it does for a user (login check, then the record list
// of a correct login); then the driver writes "ready" on standard output, runs
// the operation's handler and writes "done" with the microseconds it took. Every message box is answered
// (Yes to confirmations) and echoed as "box TEXT". Each line is written with
// one unbuffered write, so the reader sees exactly what happened before a kill.
// Exit status: 0 done, 2 bad arguments, 3 the start failed.
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "store/ADOQuery.h"
#include "support/FakeClipboard.h"
#include "support/FakeCredentials.h"
#include "support/FakeDesktop.h"
#include "support/RecordingShell.h"
#include "support/ScriptedMessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <functional>
#include <memory>
#include <unistd.h>

namespace {

void WriteLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n <= 0)
            return;
        written += n;
    }
}

void FillEditor(TForm1& form, const QStringList& values)
{
    form.Edit_FenLei->setCurrentText(values.value(0));
    form.Edit_XingMing->setText(values.value(1));
    form.Edit_QQ->setText(values.value(2));
    form.Edit_ShouJi->setText(values.value(3));
    form.Edit_DianHua->setText(values.value(4));
    form.Edit_ChuanZhen->setText(values.value(5));
    form.Edit_YouXiang->setText(values.value(6));
    form.Edit_WangZhi->setText(values.value(7));
    form.Memo_BeiZhu->setPlainText(values.value(8));
}

// Makes the row with this 编号 current and clicks it, as the user picks it in the grid.
bool ClickRecord(TForm1& form, const QString& id)
{
    TADOQuery& list = *form.ADOQuery1;
    for (int recNo = 1; recNo <= list.RecordCount(); ++recNo) {
        if (list.CellText(recNo - 1, 0) == id) {
            list.SetRecNo(recNo);
            form.DBGrid1CellClick(form.DBGrid1);
            return true;
        }
    }
    return false;
}

// The operation named by the arguments, prepared on the started program; an
// empty function for arguments that name none.
std::function<void()> PrepareOperation(TForm1& form, const QStringList& args)
{
    const QString op = args.value(0);
    if (op == QLatin1String("add") && args.size() == 10) {
        FillEditor(form, args.mid(1));
        return [&form] { form.Button1Click(form.Button1); };
    }
    if (op == QLatin1String("modify") && args.size() == 11) {
        if (!ClickRecord(form, args[1]))
            return {};
        FillEditor(form, args.mid(2));
        return [&form] { form.Button2Click(form.Button2); };
    }
    if (op == QLatin1String("delete") && args.size() == 2) {
        if (!ClickRecord(form, args[1]))
            return {};
        return [&form] { form.Button3Click(form.Button3); };
    }
    if (op == QLatin1String("clear") && args.size() == 1)
        return [&form] { form.Button9Click(form.Button9); };
    if (op == QLatin1String("password") && args.size() == 2) {
        form.Edit_Pass_A->setText(args[1]);
        form.Edit_Pass_B->setText(args[1]);
        return [&form] { form.Button7Click(form.Button7); };
    }
    if (op == QLatin1String("compact") && args.size() == 1)
        return [&form] { form.Button11Click(form.Button11); };
    // sync SERVER USER PASSWORD: "立即同步", and the loop turned until it has ended.
    if (op == QLatin1String("sync") && args.size() == 4) {
        form.Edit_SyncServer->setText(args[1]);
        form.Edit_SyncUser->setText(args[2]);
        form.Edit_SyncPass->setText(args[3]);
        return [&form] {
            form.Button_SyncClick(form.Button_Sync);
            QDeadlineTimer deadline(120000);
            while (!form.Button_Sync->isEnabled() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        };
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        WriteLine(QStringLiteral("usage: faultdriver FOLDER OPERATION [ARGUMENTS...]"));
        return 2;
    }
    const QString folder = args[0].endsWith(u'/') ? args[0] : args[0] + u'/';

    ScriptedMessageBoxes boxes;
    FakeClipboard clipboard;
    FakeDesktop desktop;
    RecordingShell shell;
    FakeCredentials credentials;
    boxes.whileOpen = [&boxes](const platform::MessageBoxRequest& request) {
        WriteLine(QStringLiteral("box ") + request.text);
        if (request.buttons == platform::MessageButtons::YesNo)
            boxes.answer(platform::MessageResult::Yes);
    };

    TApplication application(folder + QStringLiteral("Kestrelle"));
    auto form1 = std::make_unique<TForm1>();
    application.SetMainForm(form1.get());
    auto form2 = std::make_unique<TForm2>();
    // What the login timer and a correct password do.
    application.Dispatch([&] { form1->Button_CheckLoginClick(form1->Button_CheckLogin); });
    application.Dispatch([&] { form1->Button_RefreshClick(form1->Button_Refresh); });
    if (!boxes.shown().empty() || application.Terminated())
        return 3;

    const std::function<void()> operation = PrepareOperation(*form1, args.mid(1));
    if (!operation) {
        WriteLine(QStringLiteral("unknown operation or record"));
        return 2;
    }
    WriteLine(QStringLiteral("ready"));
    QElapsedTimer timer;
    timer.start();
    application.Dispatch(operation);
    WriteLine(QStringLiteral("done %1").arg(timer.nsecsElapsed() / 1000));
    return 0;
}
