// The login check and the setting of a new management password on a real
// program run over a delivered database.
#include "app/Application.h"
#include "app/Unit1.h"
#include "security/CurrentPassword.h"
#include "security/Unit_DESCrypt.h"
#include "security/Unit_Login.h"
#include "store/DatabaseConstants.h"
#include "support/ProgramFixture.h"
#include "ui/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kPassword = QStringLiteral("old2010");

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Cipher(const QString& password)
{
    return QString::fromLatin1(DesEncryptToHex(password.toStdString(), store::PassCipherKey));
}

class LoginCheckTest : public ProgramFixture {
protected:
    void StartAndCheck()
    {
        StartProgram();
        form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    }
};

TEST_F(LoginCheckTest, UsableStoredPasswordShowsTheLoginWindowOnly)
{
    DeliverDatabase(kPassword);
    StartAndCheck();
    EXPECT_EQ(CurrentPassword, kPassword.toStdString());
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(application->Terminated());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());

    // Run again while the login window is shown: read again, the same window shown.
    ExecOnDatabase(QStringLiteral("update Pass set 密码='%1'").arg(Cipher(QStringLiteral("other"))));
    form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    EXPECT_EQ(CurrentPassword, "other");
    EXPECT_TRUE(form2->isVisible());
}

// The stored value that leaves no usable password, and the statement that makes it.
struct UnusableStoredPassword {
    const char* name;
    const char* statement;
};

class UnusableStoredPasswordTest : public LoginCheckTest,
                                   public ::testing::WithParamInterface<UnusableStoredPassword> {};

TEST_P(UnusableStoredPasswordTest, EndsTheProgramSilently)
{
    DeliverDatabase(kPassword);
    ExecOnDatabase(QString::fromUtf8(GetParam().statement));
    StartAndCheck();
    EXPECT_TRUE(CurrentPassword.empty());
    EXPECT_TRUE(application->Terminated());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, UnusableStoredPasswordTest,
    ::testing::Values(UnusableStoredPassword{"EmptyTable", "delete from Pass"},
                      UnusableStoredPassword{"EmptyValue", "update Pass set 密码=''"},
                      UnusableStoredPassword{"NullValue", "update Pass set 密码=null"},
                      UnusableStoredPassword{"NotHexadecimal", "update Pass set 密码='XYZ12345XYZ12345'"},
                      UnusableStoredPassword{"OddLength", "update Pass set 密码='0123456789ABCDE'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginCheckTest, DatabaseErrorIsReportedOnceAndShowsNoWindow)
{
    DeliverDatabase(kPassword);
    ExecOnDatabase(QStringLiteral("drop table Pass"));
    StartProgram();
    form1->Timer_CheckLogin->start();
    application->Dispatch([this] { form1->Timer_CheckLoginTimer(form1->Timer_CheckLogin); });
    EXPECT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(application->Terminated());
}

class PasswordSettingsTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        DeliverDatabase(kPassword);
        // A second row: the new password goes into every row.
        ExecOnDatabase(QStringLiteral("insert into Pass (密码) values ('%1')").arg(Cipher(kPassword)));
        StartProgram();
        LogIn();
    }

    void LogIn()
    {
        form1->Button_CheckLoginClick(form1->Button_CheckLogin);
        form2->Edit_LoginPass->setText(kPassword);
        form2->Button_Logining->click();
        ASSERT_TRUE(form1->isVisible());
    }

    QLineEdit* NewPassword() { return form1->findChild<QLineEdit*>(QStringLiteral("Edit_Pass_A")); }
    QLineEdit* Confirmation() { return form1->findChild<QLineEdit*>(QStringLiteral("Edit_Pass_B")); }

    void SetPassword(const QString& newPassword, const QString& confirmation)
    {
        NewPassword()->setText(newPassword);
        Confirmation()->setText(confirmation);
        form1->findChild<QPushButton*>(QStringLiteral("Button7"))->click();
    }

    QStringList StoredCiphers() { return ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass")); }
};

TEST_F(PasswordSettingsTest, WrongInputIsToldInOrderAndWritesNothing)
{
    struct Case {
        QString newPassword, confirmation, message;
    };
    const Case cases[] = {
        {kPassword, QString(), QStringLiteral("请输入新的密码.")},
        {kPassword, kPassword, QStringLiteral("请输入新的密码.")},
        {QString(), QStringLiteral("abc"), QStringLiteral("请填写密码.")},
        {QStringLiteral("abc"), QString(), QStringLiteral("请填写确认密码.")},
        {QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("两次输入的密码不相同.")},
        {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("两次输入的密码不相同.")},
    };
    const QStringList before = StoredCiphers();
    for (const Case& c : cases) {
        messageBoxes.clear();
        SetPassword(c.newPassword, c.confirmation);
        EXPECT_EQ(messageBoxes.texts(), QStringList{c.message}) << c.newPassword.toStdString();
    }
    // The differing pair was emptied by "重置".
    EXPECT_TRUE(NewPassword()->text().isEmpty());
    EXPECT_TRUE(Confirmation()->text().isEmpty());
    EXPECT_EQ(StoredCiphers(), before);
    EXPECT_TRUE(QDir(ProgramFolder()).entryList({QStringLiteral("bak_*")}).isEmpty());
    EXPECT_FALSE(application->Terminated());
}

TEST_F(PasswordSettingsTest, ResetEmptiesBothBoxes)
{
    NewPassword()->setText(QStringLiteral("abc"));
    Confirmation()->setText(QStringLiteral("abc"));
    form1->findChild<QPushButton*>(QStringLiteral("Button_PassCleal"))->click();
    EXPECT_TRUE(NewPassword()->text().isEmpty());
    EXPECT_TRUE(Confirmation()->text().isEmpty());
}

TEST_F(PasswordSettingsTest, NewPasswordIsStoredInEveryRowAfterABackupAndTheProgramEnds)
{
    form1->StatusBar1->SetPanelText(2, QStringLiteral("2026-12-07 09:15:30"));
    const QString backup = FileInFolder(QStringLiteral("bak_20261207091530_.udb"));
    {
        QFile old(backup);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older backup");
    }
    const QByteArray databaseBefore = FileBytes(FileInFolder(QStringLiteral("_.udb")));
    const int emptiesBefore = clipboard.empties;

    SetPassword(QStringLiteral("new8char"), QStringLiteral("new8char"));

    EXPECT_EQ(FileBytes(backup), databaseBefore);
    const QStringList ciphers = StoredCiphers();
    ASSERT_EQ(ciphers.size(), 2);
    for (const QString& cipher : ciphers) {
        EXPECT_EQ(cipher, Cipher(QStringLiteral("new8char")));
        EXPECT_EQ(cipher.size(), 16);
    }
    EXPECT_EQ(messageBoxes.texts().last(), QStringLiteral("密码设置成功,请重新登录Tallykeep."));
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, emptiesBefore + 1);
    // Set only for the next run.
    EXPECT_EQ(CurrentPassword, kPassword.toStdString());
}

TEST_F(PasswordSettingsTest, LongerPasswordTakesTwoBlocksAndOnlyItLogsInNextTime)
{
    const QString longer = QStringLiteral("Abcdefgh12345678");  // 16 characters
    SetPassword(longer, longer);
    ASSERT_TRUE(application->Terminated());
    EXPECT_EQ(StoredCiphers().first().size(), 32);

    RestartProgram();
    form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    form2->Edit_LoginPass->setText(kPassword);
    form2->Button_Logining->click();
    EXPECT_FALSE(form1->isVisible());
    EXPECT_EQ(form2->Edit_Error->text(), QStringLiteral("1"));
    form2->Edit_LoginPass->setText(longer);
    form2->Button_Logining->click();
    EXPECT_TRUE(form1->isVisible());
}

TEST_F(PasswordSettingsTest, BackupNameDropsSlashesOfShortDateFormats)
{
    form1->StatusBar1->SetPanelText(2, QStringLiteral("2026/12/7 9:05:03"));
    SetPassword(QStringLiteral("abc"), QStringLiteral("abc"));
    EXPECT_TRUE(QFile::exists(FileInFolder(QStringLiteral("bak_202612790503_.udb"))));
    EXPECT_EQ(StoredCiphers().first(), Cipher(QStringLiteral("abc")));
}

TEST_F(PasswordSettingsTest, OnlyDigitsAndAsciiLettersCanBeTypedIntoEitherBox)
{
    for (QLineEdit* box : {NewPassword(), Confirmation()}) {
        const int beepsBefore = desktop.beeps;
        QTest::keyClicks(box, QStringLiteral("a1"));
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
        QTest::keyClicks(box, QStringLiteral(" .-"));
        EXPECT_EQ(box->text(), QStringLiteral("a1"));
        EXPECT_EQ(desktop.beeps, beepsBefore + 4);
    }
}

} // namespace
