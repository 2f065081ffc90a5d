// The login window driven by control name on a real program run: the check of
// the typed password, the attempt limit, Enter and the key filters.
#include "desktop/Unit_Function.h"
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/ApplicationWindow.h"
#include "runtime/Application.h"
#include "support/ProgramFixture.h"
#include "ui/StatusBar.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <set>
#include <vector>

namespace {

const QString kPassword = QStringLiteral("Tk2010abc");

class LoginWindowTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        DeliverDatabase(kPassword);
        StartProgram();
        form1->Button_CheckLoginClick(form1->Button_CheckLogin);
        ASSERT_TRUE(form2->isVisible());
        form2->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form2.get()));
        PasswordBox()->setFocus();
    }

    template <class Widget>
    Widget* Control(const char* name) { return form2->findChild<Widget*>(QString::fromLatin1(name)); }
    QLineEdit* PasswordBox() { return Control<QLineEdit>("Edit_LoginPass"); }
    QString Counter() { return Control<QLineEdit>("Edit_Error")->text(); }
    QString Status() { return Control<TStatusBar>("StatusBar1")->PanelText(0); }

    void TryPassword(const QString& password)
    {
        PasswordBox()->setText(password);
        Control<QPushButton>("Button_Logining")->click();
    }
};

TEST_F(LoginWindowTest, CorrectPasswordShowsMainWindowAndSetsTheMarker)
{
    application->ShowMainForm = false;
    HideTaskbarButton();
    QTest::keyClicks(PasswordBox(), kPassword);
    Control<QPushButton>("Button_Logining")->click();

    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(application->ShowMainForm);
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    EXPECT_EQ(Control<QLineEdit>("Edit_LoginPass_Temp")->text(), kPassword);
    EXPECT_EQ(Counter(), QStringLiteral("0"));
    EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("共0条信息"));  // the list was reloaded
    EXPECT_TRUE(platform::ApplicationWindow::instance().IsVisible());
}

TEST_F(LoginWindowTest, EmptyBoxIsNotCountedAndWrongPasswordsAre)
{
    TryPassword(QString());
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("请输入密码...")});
    EXPECT_EQ(Counter(), QStringLiteral("0"));

    messageBoxes.clear();
    TryPassword(kPassword.toUpper());  // letter case matters
    EXPECT_EQ(Counter(), QStringLiteral("1"));
    EXPECT_EQ(Status(), QStringLiteral("密码错误...1次"));
    EXPECT_EQ(PasswordBox()->text(), kPassword.toUpper());
    TryPassword(kPassword.left(4));
    EXPECT_EQ(Status(), QStringLiteral("密码错误...2次"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(application->Terminated());
}

TEST_F(LoginWindowTest, ThirdWrongPasswordOfTheRunEndsTheProgramAfterTheMessage)
{
    TryPassword(QStringLiteral("wrong1"));
    TryPassword(QStringLiteral("wrong2"));
    TryPassword(kPassword);
    form1->HideMEClick(form1->HideME);
    form1->ShowMEClick(form1->ShowME);
    ASSERT_TRUE(form2->isVisible());
    EXPECT_EQ(Status(), QStringLiteral("密码错误...2次"));  // nothing is reset by a new showing

    bool endedBeforeMessage = true;
    messageBoxes.whileOpen = [&](const auto&) { endedBeforeMessage = application->Terminated(); };
    const int emptiesBefore = clipboard.empties;
    TryPassword(QStringLiteral("wrong3"));
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("由于您多次输入了无效的密码程序将要退出...")});
    EXPECT_FALSE(endedBeforeMessage);
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, emptiesBefore + 1);  // through the main window's close path
}

TEST_F(LoginWindowTest, AFailedEndAtTheThirdWrongPasswordIsRetriedAtTheNext)
{
    TryPassword(QStringLiteral("wrong1"));
    TryPassword(QStringLiteral("wrong2"));
    clipboard.heldByOtherProgram = true;  // the close stops with "Cannot open clipboard"
    TryPassword(QStringLiteral("wrong3"));
    EXPECT_FALSE(application->Terminated());

    clipboard.heldByOtherProgram = false;
    TryPassword(QStringLiteral("wrong4"));
    EXPECT_TRUE(application->Terminated());
}

TEST_F(LoginWindowTest, ExitButtonEndsTheProgramWithoutAsking)
{
    Control<QPushButton>("Button2")->click();
    EXPECT_TRUE(application->Terminated());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(LoginWindowTest, EnterPressesTheLoginButtonOnlyAfterTheFirstChange)
{
    auto* login = Control<QPushButton>("Button_Logining");
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_FALSE(login->isDefault());
    EXPECT_EQ(desktop.beeps, 1);  // Enter is refused like any other non-password key
    EXPECT_EQ(Counter(), QStringLiteral("0"));

    QTest::keyClicks(PasswordBox(), QStringLiteral("x"));
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(Counter(), QStringLiteral("1"));
    EXPECT_EQ(desktop.beeps, 1);

    // From any control, also the keypad's Enter on "退出".
    auto* exit = Control<QPushButton>("Button2");
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Counter(), QStringLiteral("2"));
    EXPECT_FALSE(application->Terminated());

    // A click empties the box; the button stays default.
    QTest::mouseClick(PasswordBox(), Qt::LeftButton);
    EXPECT_TRUE(PasswordBox()->text().isEmpty());
    QTest::keyClick(PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("请输入密码...")});
}

TEST_F(LoginWindowTest, OnlyDigitsAndAsciiLettersCanBeTypedIntoAnyPasswordBox)
{
    for (QLineEdit* box : {PasswordBox(), form1->Edit_Pass_A, form1->Edit_Pass_B}) {
        const int beepsBefore = desktop.beeps;
        QTest::keyClicks(box, QStringLiteral("aZ09"));
        for (const QString& other : {QStringLiteral(" "), QStringLiteral("!"), QStringLiteral("é"), QStringLiteral("中")})
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, other, Qt::NoModifier);
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), QStringLiteral("aZ0")) << box->objectName().toStdString();
        EXPECT_EQ(desktop.beeps, beepsBefore + 5);
    }
}

TEST_F(LoginWindowTest, AnInputMethodTypesOnlyDigitsAndAsciiLettersIntoAnyPasswordBox)
{
    for (QLineEdit* box : {PasswordBox(), form1->Edit_Pass_A, form1->Edit_Pass_B}) {
        SCOPED_TRACE(box->objectName().toStdString());
        QInputMethodQueryEvent query(Qt::ImEnabled);  // the desktop asks before it sends any
        QApplication::sendEvent(box, &query);
        EXPECT_FALSE(query.value(Qt::ImEnabled).toBool());
        // What one commits all the same passes the rule of the keys, with one beep.
        for (const auto& [commit, typed] : {std::pair{"密码!", ""}, {"ab12", "ab12"}, {"x密y ", "xy"}}) {
            box->clear();
            const int beepsBefore = desktop.beeps;
            QInputMethodEvent composing(QStringLiteral("mima"), {});
            QApplication::sendEvent(box, &composing);
            QInputMethodEvent committing;
            committing.setCommitString(QString::fromUtf8(commit));
            QApplication::sendEvent(box, &committing);
            EXPECT_EQ(box->displayText().size(), box->text().size());  // no composition shown
            EXPECT_EQ(box->text(), QString::fromUtf8(typed));
            EXPECT_EQ(desktop.beeps, beepsBefore + (box->text() == QString::fromUtf8(commit) ? 0 : 1));
        }
    }
    // A commit that reaches a box after the focus moved to another box of its
    // window (an input method that lost track) is typed where the focus is.
    form1->Edit_Pass_A->clear();
    form1->Edit_Pass_B->clear();
    form1->show();
    form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form1.get()));
    form1->Edit_Pass_B->setFocus();
    QInputMethodEvent committing;
    committing.setCommitString(QStringLiteral("abc123"));
    QApplication::sendEvent(form1->Edit_Pass_A, &committing);
    EXPECT_EQ(form1->Edit_Pass_A->text(), QString());
    EXPECT_EQ(form1->Edit_Pass_B->text(), QStringLiteral("abc123"));
}

TEST_F(LoginWindowTest, AssistiveToolsSeeNeitherTheHiddenStateControlsNorThePassword)
{
    QTest::keyClicks(PasswordBox(), kPassword);
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(PasswordBox());
    EXPECT_TRUE(box->state().passwordEdit && box->state().focused);  // the box itself is there
    Control<QPushButton>("Button_Logining")->click();
    ASSERT_EQ(form2->Edit_LoginPass_Temp->text(), kPassword);

    const std::set<QObject*> stateControls{form2->Edit_LoginPass_Temp, form2->Edit_Error, form1->Edit_BianHao,
                                          form1->Button_CheckLogin, form1->Button_ClearAllEdit};
    // Everything a screen reader reaches from the two windows: no state control, no text.
    std::vector<QAccessibleInterface*> reachable{QAccessible::queryAccessibleInterface(form1.get()),
                                                 QAccessible::queryAccessibleInterface(form2.get())};
    for (size_t i = 0; i < reachable.size(); ++i) {
        EXPECT_EQ(stateControls.count(reachable[i]->object()), 0u) << reachable[i]->text(QAccessible::Name).toStdString();
        for (int child = 0; child < reachable[i]->childCount(); ++child)
            reachable.push_back(reachable[i]->child(child));
    }
    EXPECT_GT(reachable.size(), 50u);
    // Asked for directly, the controls that held the password have none to give.
    for (QWidget* holder : {static_cast<QWidget*>(PasswordBox()), static_cast<QWidget*>(form2->Edit_LoginPass_Temp)}) {
        QAccessibleInterface* described = QAccessible::queryAccessibleInterface(holder);
        EXPECT_EQ(described->textInterface(), nullptr);
        EXPECT_TRUE(described->text(QAccessible::Value).isEmpty());
    }
}

} // namespace
