#include "platform/ApplicationWindow.h"

#include "platform/TaskbarService.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace platform {

ApplicationWindow& ApplicationWindow::instance()
{
    // Lives until the process ends, like the window it stands for.
    static auto* window = new ApplicationWindow;
    return *window;
}

namespace {

// The windows a taskbar lists: not popups, tool tips or other helpers.
bool IsTaskbarWindow(const QWidget* widget)
{
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

} // namespace

ApplicationWindow::ApplicationWindow() : window_([this](Message& message) { WndProc(message); })
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

ApplicationWindow::HookId ApplicationWindow::HookMainWindow(Hook hook)
{
    hooks_.push_back({++lastHookId_, std::move(hook)});
    return lastHookId_;
}

void ApplicationWindow::UnhookMainWindow(HookId id)
{
    std::erase_if(hooks_, [id](const InstalledHook& installed) { return installed.id == id; });
}

void ApplicationWindow::WndProc(Message& message)
{
    // Hooks may remove themselves or others while they run: walk a snapshot of
    // the ids and skip the ones that are gone.
    std::vector<HookId> ids;
    for (const auto& installed : hooks_)
        ids.push_back(installed.id);
    for (const HookId id : ids) {
        const auto found = std::find_if(hooks_.begin(), hooks_.end(),
                                        [id](const InstalledHook& installed) { return installed.id == id; });
        if (found == hooks_.end())
            continue;
        const Hook hook = found->hook;
        if (hook(message))
            return;
    }
    message.result = DefWindowProc(message);
}

void ApplicationWindow::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    ApplyTaskbarButton();
    emit visibilityChanged(visible);
}

void ApplicationWindow::SetExStyle(std::uint32_t exStyle)
{
    if (exStyle == exStyle_)
        return;
    exStyle_ = exStyle;
    ApplyTaskbarButton();
    emit exStyleChanged(exStyle);
}

void ApplicationWindow::ApplyTaskbarButton()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (IsTaskbarWindow(widget))
            taskbar().setTaskbarEntry(widget, HasTaskbarButton());
}

bool ApplicationWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Shown is before mapped: the window appears with its taskbar state.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (IsTaskbarWindow(widget))
            taskbar().setTaskbarEntry(widget, HasTaskbarButton());
    }
    return false;
}

} // namespace platform
