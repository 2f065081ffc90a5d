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
//
// A Linux desktop gives each top-level window an entry of its own, so the
// button is carried onto every top-level window of the program: while the
// button is hidden, none of them has an entry on the taskbar.
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

    // Visible and no tool window: the program has a taskbar button.
    bool HasTaskbarButton() const { return visible_ && (exStyle_ & WS_EX_TOOLWINDOW) == 0; }

signals:
    void visibilityChanged(bool visible);
    void exStyleChanged(std::uint32_t exStyle);

protected:
    // Gives each top-level window the taskbar state as it is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ApplicationWindow();
    void WndProc(Message& message);
    // Carries the taskbar button onto every top-level window of the program.
    void ApplyTaskbarButton();

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
