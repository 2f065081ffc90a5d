#include "ui/MouseClickFilter.h"

#include <QMouseEvent>
#include <QWidget>

MouseClickFilter::MouseClickFilter(QWidget* control) : QObject(control)
{
    control->installEventFilter(this);
}

bool MouseClickFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && control->rect().contains(mouse->position().toPoint()))
            emit clicked();
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        emit doubleClicked();
    }
    return QObject::eventFilter(watched, event);
}
