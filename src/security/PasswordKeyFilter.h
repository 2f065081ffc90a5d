#pragma once

#include <QObject>

class QChar;
class QKeyEvent;
class QWidget;

// True for the characters a password box accepts as typed: backspace, a digit
// or an ASCII letter. Passwords are kept to characters every keyboard layout
// can type and that read the same in every code page.
bool IsPasswordCharacter(QChar typed);

// True when a key press may reach a password box: it types nothing (arrows,
// Shift, Delete, focus movement with Tab) or only password characters.
bool PassesPasswordFilter(const QKeyEvent& keyPress);

// Filters what is typed into one password box: a key press that types any
// other character (Enter, Escape, blanks, punctuation, control characters,
// non-ASCII letters) is consumed before the box sees it and the desktop beeps.
// There is no length limit. Installed on the box it is made for, owned by it.
class PasswordKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit PasswordKeyFilter(QWidget* passwordBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
