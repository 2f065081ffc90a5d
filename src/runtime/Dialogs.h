#pragma once

#include <QString>

// The program's two kinds of message box, through the platform's message-box service.

// A modal box with one OK button, captioned with the application's title.
void ShowMessage(const QString& text);

// A confirmation of a destructive action: caption "警告", Yes and No, warning
// icon, above all other windows. True only when the user answers Yes.
bool ConfirmWarning(const QString& text);
