#pragma once

// The login window: asks for the management password before the main window
// may be seen. Made once at start-up and hidden; the login check shows it.
// A correct password shows the main window and sets the logged-in marker;
// "退出" or the third wrong password of the run ends the program.

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;
class TStatusBar;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit_LoginPass = nullptr;
    QPushButton* Button_Logining = nullptr;
    QPushButton* Button2 = nullptr;
    // The attempt counter: wrong passwords of this run, as decimal text.
    QLineEdit* Edit_Error = nullptr;
    // The logged-in marker: holds the password while the user is logged in.
    QLineEdit* Edit_LoginPass_Temp = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    void Edit_LoginPassClick(QObject* Sender);
    void Edit_LoginPassChange(QObject* Sender);
    void Button_LoginingClick(QObject* Sender);
    void Button2Click(QObject* Sender);
    void Edit_ErrorChange(QObject* Sender);

protected:
    // Closing this window only hides it; without a notification area nothing
    // is left on screen then, and the program ends (TForm1::KeepReachable).
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void BindEvents();

    // Enter presses the default button, from any control of the window; it is
    // live only once "进入" has been made the default button.
    QShortcut* returnKey_ = nullptr;
    QShortcut* enterKey_ = nullptr;
};

extern TForm2* Form2;
