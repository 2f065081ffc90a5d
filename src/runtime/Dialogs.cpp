#include "runtime/Dialogs.h"

#include "platform/MessageBoxService.h"
#include "runtime/Application.h"

void ShowMessage(const QString& text)
{
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = Application ? Application->Title : QStringLiteral("Quillory");
    platform::messageBoxes().show(request);
}

bool ConfirmWarning(const QString& text)
{
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = QStringLiteral("警告");
    request.buttons = platform::MessageButtons::YesNo;
    request.icon = platform::MessageIcon::Warning;
    request.stayOnTop = true;
    return platform::messageBoxes().show(request) == platform::MessageResult::Yes;
}
