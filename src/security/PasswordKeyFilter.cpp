#include "security/PasswordKeyFilter.h"

#include "platform/DesktopService.h"

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

bool IsPasswordCharacter(QChar typed)
{
    const char16_t c = typed.unicode();
    return c == u'\b' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool PassesPasswordFilter(const QKeyEvent& keyPress)
{
    // Focus movement and Delete edit or move rather than type, even where the
    // platform attaches a control character to them.
    switch (keyPress.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    const QString typed = keyPress.text();
    return std::all_of(typed.begin(), typed.end(), IsPasswordCharacter);
}

PasswordKeyFilter::PasswordKeyFilter(QWidget* passwordBox) : QObject(passwordBox)
{
    passwordBox->installEventFilter(this);
}

bool PasswordKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || PassesPasswordFilter(*static_cast<QKeyEvent*>(event)))
        return QObject::eventFilter(watched, event);
    platform::desktop().beep();
    return true;
}
