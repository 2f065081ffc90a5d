// The login window driven by control name on a real program run: the check of
// the typed password, the attempt limit, Enter and the key filters.
#include "app/Application.h"
#include "app/Unit1.h"
#include "desktop/Unit_Function.h"
#include "platform/ApplicationWindow.h"
#include "security/Unit_Login.h"
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
        QApplication::setActiveWindow(form2.get());
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
    struct Commit {
        const char* text;
        const char* typed;  // what reaches the box
        bool beeps;
    };
    const Commit commits[] = {{"密码!", "", true}, {"ab12", "ab12", false}, {"x密y ", "xy", true}};
    for (QLineEdit* box : {PasswordBox(), form1->Edit_Pass_A, form1->Edit_Pass_B}) {
        SCOPED_TRACE(box->objectName().toStdString());
        // Input methods are off for the box...
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(box, &query);
        EXPECT_FALSE(query.value(Qt::ImEnabled).toBool());
        // ...and what one commits all the same passes the same rule as a key.
        for (const Commit& commit : commits) {
            SCOPED_TRACE(commit.text);
            box->clear();
            const int beepsBefore = desktop.beeps;
            QInputMethodEvent composed(QStringLiteral("mima"), {});
            QApplication::sendEvent(box, &composed);
            QInputMethodEvent committed;
            committed.setCommitString(QString::fromUtf8(commit.text));
            QApplication::sendEvent(box, &committed);
            EXPECT_EQ(box->text(), QString::fromUtf8(commit.typed));
            EXPECT_EQ(box->displayText().size(), box->text().size());  // no composition shown either
            EXPECT_EQ(desktop.beeps, beepsBefore + (commit.beeps ? 1 : 0));
        }
    }
}

TEST_F(LoginWindowTest, AssistiveToolsSeeNeitherTheHiddenStateControlsNorThePassword)
{
    const std::set<QObject*> stateControls{form2->Edit_LoginPass_Temp, form2->Edit_Error, form1->Edit_BianHao,
                                          form1->Button_CheckLogin, form1->Button_ClearAllEdit};
    // Everything a screen reader reaches from the two windows, and what it reads there.
    auto expectNothingReadsThePassword = [&] {
        std::vector<QAccessibleInterface*> reachable{QAccessible::queryAccessibleInterface(form1.get()),
                                                     QAccessible::queryAccessibleInterface(form2.get())};
        for (size_t i = 0; i < reachable.size(); ++i) {
            QAccessibleInterface* node = reachable[i];
            ASSERT_NE(node, nullptr);
            const std::string name = node->object() ? node->object()->objectName().toStdString() : "a part";
            EXPECT_EQ(stateControls.count(node->object()), 0u) << name;
            for (const QAccessible::Text text : {QAccessible::Name, QAccessible::Value, QAccessible::Description})
                EXPECT_FALSE(node->text(text).contains(kPassword)) << name;
            if (const QAccessibleTextInterface* text = node->textInterface()) {
                EXPECT_FALSE(text->text(0, text->characterCount()).contains(kPassword)) << name;
            }
            for (int child = 0; child < node->childCount(); ++child)
                reachable.push_back(node->child(child));
        }
        EXPECT_GT(reachable.size(), 50u);
        // Asked for directly, the controls that hold it have no text to give.
        for (QWidget* holder : {static_cast<QWidget*>(PasswordBox()), static_cast<QWidget*>(form2->Edit_LoginPass_Temp)}) {
            QAccessibleInterface* described = QAccessible::queryAccessibleInterface(holder);
            EXPECT_EQ(described->textInterface(), nullptr);
            EXPECT_TRUE(described->text(QAccessible::Value).isEmpty());
        }
    };

    QTest::keyClicks(PasswordBox(), kPassword);
    expectNothingReadsThePassword();
    // The box itself is there for a screen reader: a password box with the focus.
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(PasswordBox());
    EXPECT_EQ(box->role(), QAccessible::EditableText);
    EXPECT_TRUE(box->state().passwordEdit);
    EXPECT_TRUE(box->state().focused);
    Control<QPushButton>("Button_Logining")->click();
    ASSERT_EQ(form2->Edit_LoginPass_Temp->text(), kPassword);
    form1->Edit_BianHao->setText(QStringLiteral("1"));
    expectNothingReadsThePassword();
}

} // namespace
