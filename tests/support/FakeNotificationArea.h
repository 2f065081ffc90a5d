#pragma once

#include "platform/NotificationArea.h"

#include <QtGlobal>

#include <map>
#include <utility>
#include <vector>

// Notification-area double: keeps the icons it was given, records every
// request, lets a test use the mouse over an icon and restart the area.
// Installed for its own lifetime.
class FakeNotificationArea final : public platform::NotificationArea {
public:
    FakeNotificationArea() : override_(*this) {}

    struct Call {
        unsigned message;
        platform::NotifyIconData data;
        bool succeeded;
    };
    const std::vector<Call>& calls() const { return calls_; }
    std::size_t callCount(unsigned message) const;
    void clearCalls() { calls_.clear(); }

    // The icon with that id, or null when it is not in the area.
    const platform::NotifyIconData* icon(std::uintptr_t id) const;
    std::size_t iconCount() const { return icons_.size(); }

    // Mouse over the first icon in the area: each sends the notifications the
    // desktop would send to the icon's window.
    void notify(unsigned code);
    void press(Qt::MouseButton button);
    void release(Qt::MouseButton button);
    void click(Qt::MouseButton button);
    // Down, up, double-click, up: the second press arrives as the double-click.
    void doubleClick();
    void moveOver() { notify(platform::WM_MOUSEMOVE); }

    // The area goes away with its icons...
    void shutDown();
    // ...and comes back, telling every window with the "TaskbarCreated" message.
    void restart();

    bool available = true;

    bool notifyIcon(unsigned message, const platform::NotifyIconData& data) override;
    bool isAvailable() const override { return available; }

private:
    bool apply(unsigned message, const platform::NotifyIconData& data);

    using Key = std::pair<platform::WindowHandle, std::uintptr_t>;
    platform::Service<platform::NotificationArea>::Override override_;
    std::map<Key, platform::NotifyIconData> icons_;
    std::vector<Call> calls_;
};
