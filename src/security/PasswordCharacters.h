#pragma once

class QChar;
class QString;

// True for the characters a password box accepts as typed: backspace, a digit
// or an ASCII letter. Passwords are kept to characters every keyboard layout
// can type and that read the same in every code page.
bool IsPasswordCharacter(QChar typed);

// The password characters of a text, in order; every other character dropped.
QString PasswordCharactersOf(const QString& text);
