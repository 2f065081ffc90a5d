// The login window driven by control name on a real program run: the check of
// the typed password, the attempt limit, Enter and the key filter.
#include "app/Application.h"
#include "app/Unit1.h"
#include "security/CurrentPassword.h"
#include "security/Unit_Login.h"
#include "support/ProgramFixture.h"
#include "ui/StatusBar.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kPassword = QStringLiteral("Tk2010abc");
const QString kThirdWrongText = QStringLiteral("由于您多次输入了无效的密码程序将要退出...");

class LoginWindowTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        DeliverDatabase(kPassword);
        StartProgram();
        form1->Button_CheckLoginClick(form1->Button_CheckLogin);
        ASSERT_TRUE(form2->isVisible());
        QApplication::setActiveWindow(form2.get());
        form2->Edit_LoginPass->setFocus();
    }

    template <class Widget>
    Widget* Control(const char* name)
    {
        auto* control = form2->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* PasswordBox() { return Control<QLineEdit>("Edit_LoginPass"); }
    QLineEdit* Counter() { return Control<QLineEdit>("Edit_Error"); }
    QLineEdit* Marker() { return Control<QLineEdit>("Edit_LoginPass_Temp"); }
    QString Status() { return Control<TStatusBar>("StatusBar1")->PanelText(0); }

    void TryPassword(const QString& password)
    {
        PasswordBox()->setText(password);
        Control<QPushButton>("Button_Logining")->click();
    }
};

TEST_F(LoginWindowTest, StartsHiddenWithCounterZeroAndNoMarker)
{
    TForm2 fresh;
    EXPECT_FALSE(fresh.isVisible());
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("管理登录"));
    EXPECT_EQ(fresh.Edit_Error->text(), QStringLiteral("0"));
    EXPECT_TRUE(fresh.Edit_LoginPass_Temp->text().isEmpty());
    EXPECT_FALSE(fresh.Button_Logining->isDefault());
    EXPECT_EQ(fresh.Edit_LoginPass->echoMode(), QLineEdit::Password);
}

TEST_F(LoginWindowTest, CorrectPasswordShowsMainWindowAndSetsTheMarker)
{
    application->ShowMainForm = false;
    QTest::keyClicks(PasswordBox(), kPassword);
    Control<QPushButton>("Button_Logining")->click();

    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(application->ShowMainForm);
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    EXPECT_EQ(Marker()->text(), kPassword);
    EXPECT_EQ(Counter()->text(), QStringLiteral("0"));
    // The record list has been reloaded.
    EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("共0条信息"));
    EXPECT_FALSE(application->Terminated());
}

TEST_F(LoginWindowTest, EmptyBoxAsksForThePasswordAndIsNotCounted)
{
    TryPassword(QString());
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("请输入密码...")});
    EXPECT_EQ(Counter()->text(), QStringLiteral("0"));
    EXPECT_TRUE(form2->isVisible());
}

TEST_F(LoginWindowTest, WrongPasswordIsCountedAndStaysInTheBox)
{
    // The right password in the other letter case is wrong.
    TryPassword(kPassword.toUpper());
    EXPECT_EQ(Counter()->text(), QStringLiteral("1"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误...1次"));
    EXPECT_EQ(PasswordBox()->text(), kPassword.toUpper());
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());

    // A prefix of the right password is wrong too.
    TryPassword(kPassword.left(4));
    EXPECT_EQ(Status(), QStringLiteral("密码错误...2次"));
    EXPECT_FALSE(application->Terminated());
}

TEST_F(LoginWindowTest, ThirdWrongPasswordEndsTheProgramAfterTheMessage)
{
    bool endedBeforeMessage = true;
    messageBoxes.whileOpen = [&](const platform::MessageBoxRequest&) { endedBeforeMessage = application->Terminated(); };
    TryPassword(QStringLiteral("wrong1"));
    TryPassword(QStringLiteral("wrong2"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    const int emptiesBefore = clipboard.empties;

    TryPassword(QStringLiteral("wrong3"));
    EXPECT_EQ(messageBoxes.texts(), QStringList{kThirdWrongText});
    EXPECT_FALSE(endedBeforeMessage);
    EXPECT_TRUE(application->Terminated());
    // The main window's close path ran: the clipboard was emptied.
    EXPECT_EQ(clipboard.empties, emptiesBefore + 1);
    EXPECT_FALSE(form1->isVisible());
}

TEST_F(LoginWindowTest, CounterAddsUpOverTheWholeRun)
{
    TryPassword(QStringLiteral("wrong1"));
    TryPassword(QStringLiteral("wrong2"));
    TryPassword(kPassword);
    ASSERT_TRUE(form1->isVisible());

    form1->HideMEClick(form1->HideME);
    EXPECT_TRUE(Marker()->text().isEmpty());
    form1->ShowMEClick(form1->ShowME);
    ASSERT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    // Nothing was reset by the new showing.
    EXPECT_EQ(Counter()->text(), QStringLiteral("2"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误...2次"));

    TryPassword(QStringLiteral("wrong3"));
    EXPECT_EQ(messageBoxes.texts(), QStringList{kThirdWrongText});
    EXPECT_TRUE(application->Terminated());
}

TEST_F(LoginWindowTest, ExitButtonEndsTheProgramWithoutAsking)
{
    Control<QPushButton>("Button2")->click();
    EXPECT_TRUE(application->Terminated());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(LoginWindowTest, ClickIntoThePasswordBoxEmptiesIt)
{
    TryPassword(QStringLiteral("wrong1"));
    QTest::mouseClick(PasswordBox(), Qt::LeftButton);
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    EXPECT_EQ(Counter()->text(), QStringLiteral("1"));
}

TEST_F(LoginWindowTest, EnterPressesTheButtonOnlyAfterTheFirstChange)
{
    auto* enter = Control<QPushButton>("Button_Logining");
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_FALSE(enter->isDefault());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_EQ(desktop.beeps, 1);  // Enter is no password character

    QTest::keyClicks(PasswordBox(), QStringLiteral("x"));
    EXPECT_TRUE(enter->isDefault());
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(Counter()->text(), QStringLiteral("1"));
    EXPECT_EQ(desktop.beeps, 1);

    // From any control of the window, the keypad's Enter included; never "退出".
    auto* exit = Control<QPushButton>("Button2");
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Counter()->text(), QStringLiteral("2"));
    EXPECT_FALSE(application->Terminated());

    // Once default, it stays default: an emptied box is answered by the button.
    QTest::mouseClick(PasswordBox(), Qt::LeftButton);
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("请输入密码...")});
}

TEST_F(LoginWindowTest, OnlyDigitsAndAsciiLettersCanBeTyped)
{
    QTest::keyClicks(PasswordBox(), QStringLiteral("aZ09"));
    EXPECT_EQ(desktop.beeps, 0);
    for (const QString& other : {QStringLiteral(" "), QStringLiteral("!"), QStringLiteral("_"), QStringLiteral("é"),
                                 QStringLiteral("中")})
        QTest::sendKeyEvent(QTest::Click, PasswordBox(), Qt::Key_unknown, other, Qt::NoModifier);
    QTest::keyClick(PasswordBox(), Qt::Key_Escape);
    EXPECT_EQ(PasswordBox()->text(), QStringLiteral("aZ09"));
    EXPECT_EQ(desktop.beeps, 6);

    QTest::keyClick(PasswordBox(), Qt::Key_Backspace);
    EXPECT_EQ(PasswordBox()->text(), QStringLiteral("aZ0"));
    EXPECT_EQ(desktop.beeps, 6);
}

} // namespace
