// The login check and the setting of a new management password on a real
// program run over a delivered database.
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "security/CurrentPassword.h"
#include "security/Unit_DESCrypt.h"
#include "store/DatabaseConstants.h"
#include "support/ProgramFixture.h"
#include "ui/StatusBar.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
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

using LoginCheckTest = ProgramFixture;

TEST_F(LoginCheckTest, UsableStoredPasswordShowsTheLoginWindowOnly)
{
    DeliverDatabase(kPassword);
    StartProgram();
    form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    EXPECT_EQ(CurrentPassword, kPassword.toStdString());
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());

    // Run again while the window is shown: the password is read again.
    ExecOnDatabase(QStringLiteral("update Pass set 密码='%1'").arg(Cipher(QStringLiteral("other"))));
    form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    EXPECT_EQ(CurrentPassword, "other");
    EXPECT_TRUE(form2->isVisible());
}

struct UnusableStoredPassword {
    const char* name;
    QString statement;
};

void PrintTo(const UnusableStoredPassword& value, std::ostream* out)
{
    *out << value.name;
}

class UnusableStoredPasswordTest : public ProgramFixture,
                                   public ::testing::WithParamInterface<UnusableStoredPassword> {};

TEST_P(UnusableStoredPasswordTest, EndsTheProgramSilently)
{
    DeliverDatabase(kPassword);
    ExecOnDatabase(GetParam().statement);
    StartProgram();
    form1->Button_CheckLoginClick(form1->Button_CheckLogin);
    EXPECT_TRUE(application->Terminated());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, UnusableStoredPasswordTest,
    ::testing::Values(
        UnusableStoredPassword{"EmptyTable", QStringLiteral("delete from Pass")},
        UnusableStoredPassword{"EmptyValue", QStringLiteral("update Pass set 密码=''")},
        UnusableStoredPassword{"NullValue", QStringLiteral("update Pass set 密码=null")},
        UnusableStoredPassword{"NotHexadecimal", QStringLiteral("update Pass set 密码='0123456789ABCDEG'")},
        UnusableStoredPassword{"CipherOfEmptyText", QStringLiteral("update Pass set 密码='%1'").arg(Cipher({}))}),
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
        LogIn(kPassword);
        ASSERT_TRUE(form1->isVisible());
    }

    void LogIn(const QString& password)
    {
        form1->Button_CheckLoginClick(form1->Button_CheckLogin);
        form2->Edit_LoginPass->setText(password);
        form2->Button_Logining->click();
    }

    void SetPassword(const QString& newPassword, const QString& confirmation)
    {
        form1->findChild<QLineEdit*>(QStringLiteral("Edit_Pass_A"))->setText(newPassword);
        form1->findChild<QLineEdit*>(QStringLiteral("Edit_Pass_B"))->setText(confirmation);
        form1->findChild<QPushButton*>(QStringLiteral("Button7"))->click();
    }

    QStringList StoredCiphers() { return ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass")); }
};

TEST_F(PasswordSettingsTest, WrongInputIsToldInOrderAndWritesNothing)
{
    const QString ab = QStringLiteral("ab");
    const struct {
        QString newPassword, confirmation, message;
    } cases[] = {
        {kPassword, QString(), QStringLiteral("请输入新的密码.")},
        {QString(), ab, QStringLiteral("请填写密码.")},
        {ab, QString(), QStringLiteral("请填写确认密码.")},
        {ab, ab.toUpper(), QStringLiteral("两次输入的密码不相同.")},
    };
    const QStringList before = StoredCiphers();
    for (const auto& c : cases) {
        messageBoxes.clear();
        SetPassword(c.newPassword, c.confirmation);
        EXPECT_EQ(messageBoxes.texts(), QStringList{c.message});
    }
    // The differing pair was emptied.
    EXPECT_TRUE(form1->Edit_Pass_A->text().isEmpty());
    EXPECT_TRUE(form1->Edit_Pass_B->text().isEmpty());
    EXPECT_EQ(StoredCiphers(), before);
    EXPECT_TRUE(QDir(ProgramFolder()).entryList({QStringLiteral("bak_*")}).isEmpty());
    EXPECT_FALSE(application->Terminated());
}

// A screen reader tells the two boxes apart by their labels, and reads them as
// the clear edit boxes they are.
TEST_F(PasswordSettingsTest, BoxesAreNamedAfterTheirLabelsForAssistiveTools)
{
    const std::pair<QLineEdit*, QString> boxes[] = {{form1->Edit_Pass_A, QStringLiteral("请输入密码")},
                                                   {form1->Edit_Pass_B, QStringLiteral("确认密码")}};
    for (const auto& [box, label] : boxes) {
        box->setText(QStringLiteral("ab12"));
        QAccessibleInterface* described = QAccessible::queryAccessibleInterface(box);
        EXPECT_EQ(described->text(QAccessible::Name), label);
        EXPECT_EQ(described->role(), QAccessible::EditableText);
        EXPECT_FALSE(described->state().passwordEdit);
        ASSERT_NE(described->textInterface(), nullptr);
        EXPECT_EQ(described->textInterface()->text(0, 4), QStringLiteral("ab12"));
    }
}

TEST_F(PasswordSettingsTest, NewPasswordGoesIntoEveryRowAfterABackupAndTheProgramEnds)
{
    form1->StatusBar1->SetPanelText(2, QStringLiteral("2026-12-07 09:15:30"));
    // An earlier backup of the same stamp stays; the new one goes beside it.
    QFile earlier(FileInFolder(QStringLiteral("bak_20261207091530_.udb")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier backup");
    earlier.close();
    const QString backup = FileInFolder(QStringLiteral("bak_20261207091530_2_.udb"));
    const QByteArray databaseBefore = FileBytes(FileInFolder(QStringLiteral("_.udb")));
    const int emptiesBefore = clipboard.empties;

    SetPassword(QStringLiteral("new8char"), QStringLiteral("new8char"));

    EXPECT_EQ(FileBytes(backup), databaseBefore);
    EXPECT_EQ(FileBytes(earlier.fileName()), "an earlier backup");
    EXPECT_EQ(StoredCiphers(), QStringList(2, Cipher(QStringLiteral("new8char"))));
    EXPECT_EQ(StoredCiphers().first().size(), 16);
    EXPECT_EQ(messageBoxes.texts().last(), QStringLiteral("密码设置成功,请重新登录Tallykeep."));
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, emptiesBefore + 1);
}

TEST_F(PasswordSettingsTest, LongerPasswordTakesTwoBlocksAndOnlyItLogsInNextTime)
{
    const QString longer = QStringLiteral("Abcdefgh12345678");
    SetPassword(longer, longer);
    ASSERT_TRUE(application->Terminated());
    EXPECT_EQ(StoredCiphers().first().size(), 32);

    RestartProgram();
    LogIn(kPassword);
    EXPECT_FALSE(form1->isVisible());
    LogIn(longer);
    EXPECT_TRUE(form1->isVisible());
}

TEST_F(PasswordSettingsTest, BackupNameDropsTheSlashesOfShortDateFormats)
{
    form1->StatusBar1->SetPanelText(2, QStringLiteral("2026/12/7 9:05:03"));
    SetPassword(QStringLiteral("abc"), QStringLiteral("abc"));
    EXPECT_TRUE(QFile::exists(FileInFolder(QStringLiteral("bak_202612790503_.udb"))));
    EXPECT_EQ(StoredCiphers().first(), Cipher(QStringLiteral("abc")));
}

} // namespace
