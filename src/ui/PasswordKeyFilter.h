#pragma once

#include <QObject>

class QInputMethodEvent;
class QInputMethodQueryEvent;
class QKeyEvent;
class QWidget;

// True when a key press may reach a password box: it types nothing (arrows,
// Shift, Delete, focus movement with Tab) or only password characters.
bool PassesPasswordFilter(const QKeyEvent& keyPress);

// Filters what is typed into one password box, by key or by an input method:
// a key press that types any other character (Enter, Escape, blanks,
// punctuation, control characters, non-ASCII letters) is consumed before the
// box sees it, and of a text an input method commits only the password
// characters arrive; whenever something is refused the desktop beeps. The box
// tells the desktop that it takes no input method, so one normally sends
// nothing at all; a commit that reaches it while another box of its window has
// the focus is meant for that box and goes there.
// There is no length limit. Installed on the box it is made for, owned by it.
class PasswordKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit PasswordKeyFilter(QWidget* passwordBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FilterKeyPress(const QKeyEvent& keyPress);
    bool RefuseInputMethods(const QWidget& box, QInputMethodQueryEvent& query);
    bool FilterInputMethod(QObject* box, const QInputMethodEvent& typed);
};
