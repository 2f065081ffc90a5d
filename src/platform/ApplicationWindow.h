#pragma once

#include "platform/MessageWindow.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// The application's own hidden window, which exists for the whole run: it
// stands for the program on the taskbar (its visibility and extended style
// decide the taskbar button) and receives the messages meant for the program
// as a whole, such as the notice that the notification area has come back.
// Hooks see every message it receives before its own handling.
class ApplicationWindow : public QObject {
    Q_OBJECT
public:
    // A hook answers true when it has handled the message, which stops it there.
    using Hook = std::function<bool(Message&)>;
    using HookId = std::uint64_t;

    // Created on first use.
    static ApplicationWindow& instance();

    WindowHandle handle() const { return window_.handle(); }

    HookId HookMainWindow(Hook hook);
    void UnhookMainWindow(HookId id);

    // Shown or hidden as a show-window call would (the taskbar button follows).
    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible);

    // The extended-style bits (WS_EX_TOOLWINDOW keeps it off the taskbar).
    std::uint32_t ExStyle() const { return exStyle_; }
    void SetExStyle(std::uint32_t exStyle);

signals:
    void visibilityChanged(bool visible);
    void exStyleChanged(std::uint32_t exStyle);

private:
    ApplicationWindow();
    void WndProc(Message& message);

    struct InstalledHook {
        HookId id;
        Hook hook;
    };
    std::vector<InstalledHook> hooks_;
    HookId lastHookId_ = 0;
    bool visible_ = true;
    std::uint32_t exStyle_ = 0;
    MessageWindow window_;
};

} // namespace platform
