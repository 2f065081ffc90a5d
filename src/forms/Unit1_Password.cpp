// The main window's side of the management password: the login check, which
// decrypts the stored password and shows the login window, and the settings
// group that stores a new password.
#include "forms/Unit1_Password.h"

#include "forms/Unit1.h"
#include "forms/PlaceMessages.h"
#include "forms/Unit_Login.h"
#include "platform/DesktopService.h"
#include "platform/system/FileError.h"
#include "platform/system/CodePage.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "security/CurrentPassword.h"
#include "security/PasswordBackup.h"
#include "security/Unit_DESCrypt.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "ui/PasswordKeyFilter.h"
#include "ui/StatusBar.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

QString UpdatePasswordStatement(const std::string& cipherHex)
{
    return QStringLiteral("update Pass  set 密码='") + QString::fromLatin1(cipherHex) + QStringLiteral("' ");
}

} // namespace

void InstallPasswordKeyFilters(TForm1* form)
{
    new PasswordKeyFilter(form->Edit_Pass_A);
    new PasswordKeyFilter(form->Edit_Pass_B);
}

void TForm1::Button_CheckLoginClick(QObject* /*Sender*/)
{
    ADOQuery_Pass->Close();
    ADOQuery_Pass->SQL.Clear();
    ADOQuery_Pass->SQL.Add(QStringLiteral("Select 密码 from Pass"));
    ADOQuery_Pass->Open();
    const QString stored = ADOQuery_Pass->IsEmpty() ? QString() : ADOQuery_Pass->FieldByName(QStringLiteral("密码"));
    CurrentPassword = DesDecryptFromHex(platform::ToAnsi(stored), store::PassCipherKey);

    if (CurrentPassword.empty()) {
        // No usable stored password: nobody could log in, so the program ends
        // before the main window has been seen.
        Close();
        return;
    }
    hide();
    // Hidden and shown again, so a window already on screen comes to the front.
    Form2->hide();
    Form2->show();
    platform::desktop().bringToFront(Form2);
    Application->ProcessMessages();
}

void TForm1::Button7Click(QObject* /*Sender*/)
{
    if (platform::ToAnsi(Edit_Pass_A->text()) == CurrentPassword) {
        ShowMessage(QStringLiteral("请输入新的密码."));
        return;
    }
    if (Edit_Pass_A->text().isEmpty()) {
        ShowMessage(QStringLiteral("请填写密码."));
        return;
    }
    if (Edit_Pass_B->text().isEmpty()) {
        ShowMessage(QStringLiteral("请填写确认密码."));
        return;
    }
    if (Edit_Pass_A->text() != Edit_Pass_B->text()) {
        ShowMessage(QStringLiteral("两次输入的密码不相同."));
        Button_PassClealClick(Button_PassCleal);
        return;
    }

    // The database as it was, old password included, stays beside it under a
    // name no earlier backup has; without that copy the password stays as it was.
    const QString database = Application->ProgramFolder() + store::DatabaseFileName;
    try {
        MakeBackup(database, BackupStamp(StatusBar1->PanelText(2)));
    } catch (const platform::FileError& error) {
        ShowMessage(QStringLiteral("密码没有修改: 无法备份数据库.\n") + CannotMakeFile(error));
        return;
    }

    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(UpdatePasswordStatement(
        DesEncryptToHex(platform::ToAnsi(Edit_Pass_B->text()), store::PassCipherKey)));
    ADOQuery1->ExecSQL();
    ShowMessage(QStringLiteral("密码设置成功,请重新登录Tallykeep."));
    Close();
}

void TForm1::Button_PassClealClick(QObject* /*Sender*/)
{
    Edit_Pass_A->clear();
    Edit_Pass_B->clear();
}
