#include "platform/TaskbarService.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {
namespace {

#if QT_CONFIG(xcb)

// An X11 window manager keeps a window off the taskbar while the window's
// _NET_WM_STATE holds _NET_WM_STATE_SKIP_TASKBAR. The manager reads that
// property when it maps a window and forgets it when the window is withdrawn;
// a mapped window must ask the manager with a client message instead. Both are
// done, so the state holds whether the window is on screen or about to be.
class X11Taskbar {
public:
    explicit X11Taskbar(xcb_connection_t* connection)
        : connection_(connection),
          state_(internAtom("_NET_WM_STATE")),
          skipTaskbar_(internAtom("_NET_WM_STATE_SKIP_TASKBAR"))
    {
    }

    void setSkipTaskbar(xcb_window_t window, bool skip)
    {
        if (state_ == XCB_ATOM_NONE || skipTaskbar_ == XCB_ATOM_NONE)
            return;
        writeState(window, skip);
        askWindowManager(window, skip);
        xcb_flush(connection_);
    }

private:
    template <class Reply>
    using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    xcb_atom_t internAtom(const char* name) const
    {
        const auto cookie = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // The property of a window that is not mapped: the other states in it
    // (Qt's own, say) are kept.
    void writeState(xcb_window_t window, bool skip) const
    {
        const auto cookie = xcb_get_property(connection_, 0, window, state_, XCB_ATOM_ATOM, 0, 1024);
        const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr),
                                                        &std::free);
        std::vector<xcb_atom_t> atoms;
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
            atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
        }
        const bool present = std::find(atoms.begin(), atoms.end(), skipTaskbar_) != atoms.end();
        if (present == skip)
            return;
        if (skip)
            atoms.push_back(skipTaskbar_);
        else
            std::erase(atoms, skipTaskbar_);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, state_, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(atoms.size()), atoms.data());
    }

    // The request to the window manager for a mapped window (ignored for one
    // that is not mapped).
    void askWindowManager(xcb_window_t window, bool skip) const
    {
        constexpr std::uint32_t Remove = 0, Add = 1, FromApplication = 1;
        const ReplyPtr<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr), &std::free);
        if (!geometry)
            return;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = state_;
        message.data.data32[0] = skip ? Add : Remove;
        message.data.data32[1] = skipTaskbar_;
        message.data.data32[3] = FromApplication;
        xcb_send_event(connection_, 0, geometry->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }

    xcb_connection_t* connection_;
    xcb_atom_t state_;
    xcb_atom_t skipTaskbar_;
};

#endif

// On X11 the window manager's taskbar state; on any other platform (the
// offscreen one of the tests, Wayland) there is nothing to do.
class QtTaskbarService final : public QObject, public TaskbarService {
public:
    void setTaskbarEntry(QWidget* window, bool entry) override
    {
#if QT_CONFIG(xcb)
        if (!window || !window->internalWinId())
            return;
        if (!x11_) {
            // Other platforms may offer the interface too (the offscreen one
            // does, without a connection): only the xcb platform has a desktop.
            auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
                return;
            x11_ = std::make_unique<X11Taskbar>(x11->connection());
        }
        x11_->setSkipTaskbar(static_cast<xcb_window_t>(window->internalWinId()), !entry);
        // A window hidden and shown again at once may be mapped before the
        // manager has withdrawn it, and the manager then forgets its property.
        // So a window asks again when it next comes on screen (Qt may still
        // count it as exposed from before it was hidden: it counts once it
        // has been seen off screen).
        if (QWindow* handle = window->windowHandle())
            Remember(handle, !entry);
#else
        Q_UNUSED(window);
        Q_UNUSED(entry);
#endif
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
#if QT_CONFIG(xcb)
        if (event->type() != QEvent::Expose || !watched->isWindowType())
            return false;
        auto* handle = static_cast<QWindow*>(watched);
        const auto found = std::find_if(onTheWay_.begin(), onTheWay_.end(),
                                        [handle](const OnTheWay& w) { return w.window == handle; });
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
        x11_->setSkipTaskbar(static_cast<xcb_window_t>(handle->winId()), skip);
#else
        Q_UNUSED(watched);
        Q_UNUSED(event);
#endif
        return false;
    }

private:
#if QT_CONFIG(xcb)
    struct OnTheWay {
        QPointer<QWindow> window;
        bool skip = false;
        bool seenOffScreen = false;
    };

    void Remember(QWindow* handle, bool skip)
    {
        std::erase_if(onTheWay_, [](const OnTheWay& w) { return !w.window; });
        const auto found = std::find_if(onTheWay_.begin(), onTheWay_.end(),
                                        [handle](const OnTheWay& w) { return w.window == handle; });
        if (found != onTheWay_.end()) {
            found->skip = skip;
            return;
        }
        onTheWay_.push_back({handle, skip, !handle->isExposed()});
        handle->installEventFilter(this);
    }

    std::unique_ptr<X11Taskbar> x11_;
    std::vector<OnTheWay> onTheWay_;
#endif
};

} // namespace

template <>
TaskbarService& Service<TaskbarService>::defaultInstance()
{
    // Never destroyed: windows may still be shown while the program ends.
    static auto* service = new QtTaskbarService;
    return *service;
}

} // namespace platform
