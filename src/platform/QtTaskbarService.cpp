#include "platform/TaskbarService.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include "platform/X11Connection.h"
#include "platform/X11Taskbar.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <vector>
#endif

namespace platform {
namespace {

#if QT_CONFIG(xcb)

// On X11 the window manager's taskbar state; on any other platform (the
// offscreen one of the tests, Wayland) there is nothing to do.
class QtTaskbarService final : public QObject, public TaskbarService {
public:
    void setTaskbarEntry(QWidget* window, bool entry) override
    {
        if (!window || !window->internalWinId() || !Connect())
            return;
        x11_->SetSkipTaskbar(static_cast<std::uint32_t>(window->internalWinId()), !entry);
        if (QWindow* handle = window->windowHandle())
            AskAgainOnScreen(handle, !entry);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || !watched->isWindowType())
            return false;
        auto* handle = static_cast<QWindow*>(watched);
        const auto found = Find(handle);
        if (found == onTheWay_.end())
            return false;
        if (!handle->isExposed()) {
            found->seenOffScreen = true;
            return false;
        }
        if (!found->seenOffScreen)
            return false;
        const bool skip = found->skip;
        onTheWay_.erase(found);
        handle->removeEventFilter(this);
        x11_->SetSkipTaskbar(static_cast<std::uint32_t>(handle->winId()), skip);
        return false;
    }

private:
    struct OnTheWay {
        QPointer<QWindow> window;
        bool skip = false;
        bool seenOffScreen = false;
    };

    bool Connect()
    {
        if (x11_)
            return true;
        xcb_connection_t* connection = X11Connection();
        if (!connection)
            return false;
        x11_ = std::make_unique<X11Taskbar>(connection);
        return true;
    }

    std::vector<OnTheWay>::iterator Find(const QWindow* handle)
    {
        return std::find_if(onTheWay_.begin(), onTheWay_.end(),
                            [handle](const OnTheWay& w) { return w.window == handle; });
    }

    // A window hidden and shown again at once may be mapped before the manager
    // has withdrawn it, and the manager then forgets its property. So the
    // window asks again when it next comes on screen; Qt may still count it
    // as exposed from before it was hidden, so that counts only once it has
    // been seen off screen.
    void AskAgainOnScreen(QWindow* handle, bool skip)
    {
        std::erase_if(onTheWay_, [](const OnTheWay& w) { return !w.window; });
        if (const auto found = Find(handle); found != onTheWay_.end()) {
            found->skip = skip;
            return;
        }
        onTheWay_.push_back({handle, skip, !handle->isExposed()});
        handle->installEventFilter(this);
    }

    std::unique_ptr<X11Taskbar> x11_;
    std::vector<OnTheWay> onTheWay_;
};

#else

class QtTaskbarService final : public TaskbarService {
public:
    void setTaskbarEntry(QWidget*, bool) override {}
};

#endif

} // namespace

template <>
TaskbarService& Service<TaskbarService>::defaultInstance()
{
    // Never destroyed: windows may still be shown while the program ends.
    static auto* service = new QtTaskbarService;
    return *service;
}

} // namespace platform
