#include "platform/WindowPositionCheck.h"

#include "platform/WindowPositionService.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace platform {

WindowPositionCheck::WindowPositionCheck(QWidget* window) : window_(window)
{
    if (!window_)
        return;
    window_->installEventFilter(this);
    WatchNativeWindow();
}

WindowPositionCheck::~WindowPositionCheck()
{
    if (window_)
        window_->removeEventFilter(this);
    if (handle_)
        handle_->removeEventFilter(this);
}

void WindowPositionCheck::WatchNativeWindow()
{
    QWindow* handle = window_ ? window_->windowHandle() : nullptr;
    if (handle == handle_)
        return;
    if (handle_)
        handle_->removeEventFilter(this);
    handle_ = handle;
    if (handle_)
        handle_->installEventFilter(this);
}

bool WindowPositionCheck::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::WinIdChange)
        WatchNativeWindow();
    else if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed())
        Check();
    return false;
}

void WindowPositionCheck::Check()
{
    const std::optional<QPoint> real = windowPositions().positionOnScreen(*handle_);
    if (!real)
        return;
    if (handle_->position() != *real)
        handle_->setPosition(*real);
    // The widget may have taken the wrong record over too. Correcting it does
    // not count as the program placing the window: a dialog still centres
    // itself when it is shown again.
    if (const QPoint off = *real - window_->geometry().topLeft(); !off.isNull()) {
        const bool placed = window_->testAttribute(Qt::WA_Moved);
        window_->move(window_->pos() + off);
        window_->setAttribute(Qt::WA_Moved, placed);
    }
}

} // namespace platform
