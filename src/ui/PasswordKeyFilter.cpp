#include "ui/PasswordKeyFilter.h"

#include "platform/DesktopService.h"
#include "security/PasswordCharacters.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

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
    switch (event->type()) {
    case QEvent::KeyPress:
        return FilterKeyPress(*static_cast<QKeyEvent*>(event));
    case QEvent::InputMethodQuery:
        return RefuseInputMethods(*static_cast<QWidget*>(watched), *static_cast<QInputMethodQueryEvent*>(event));
    case QEvent::InputMethod:
        return FilterInputMethod(watched, *static_cast<QInputMethodEvent*>(event));
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool PasswordKeyFilter::RefuseInputMethods(const QWidget& box, QInputMethodQueryEvent& query)
{
    // An input method composes and commits text the keys never typed (a
    // Chinese one commits words); the desktop asks the box whether it takes
    // one before it sends any. The box answers every other question itself.
    if (!query.queries().testFlag(Qt::ImEnabled))
        return false;
    for (int bit = 0; bit < 32; ++bit) {
        const auto asked = static_cast<Qt::InputMethodQuery>(query.queries().toInt() & (1u << bit));
        if (asked)
            query.setValue(asked, asked == Qt::ImEnabled ? QVariant(false) : box.inputMethodQuery(asked));
    }
    query.accept();
    return true;
}

bool PasswordKeyFilter::FilterKeyPress(const QKeyEvent& keyPress)
{
    if (PassesPasswordFilter(keyPress))
        return false;
    platform::desktop().beep();
    return true;
}

bool PasswordKeyFilter::FilterInputMethod(QObject* box, const QInputMethodEvent& typed)
{
    // An input method that lost track of the focus commits to the box it last
    // composed in what was typed into another box of the window: it goes to
    // the box that has the focus, which applies its own rule.
    QWidget* focused = QApplication::focusWidget();
    auto* widget = static_cast<QWidget*>(box);
    if (focused && focused != widget && focused->window() == widget->window()) {
        QInputMethodEvent forwarded(typed.preeditString(), typed.attributes());
        forwarded.setCommitString(typed.commitString(), typed.replacementStart(), typed.replacementLength());
        QCoreApplication::sendEvent(focused, &forwarded);
        return true;
    }
    const QString kept = PasswordCharactersOf(typed.commitString());
    if (kept == typed.commitString() && typed.preeditString().isEmpty())
        return false;
    if (kept.size() != typed.commitString().size())
        platform::desktop().beep();
    // No composition is shown; of the commit only the password characters
    // are typed, in place of the whole.
    if (!kept.isEmpty()) {
        QInputMethodEvent passwordOnly;
        passwordOnly.setCommitString(kept);
        QCoreApplication::sendEvent(box, &passwordOnly);
    }
    return true;
}
