#pragma once

#include "platform/Service.h"
#include "platform/system/CodePage.h"
#include "platform/WindowMessages.h"

#include <QIcon>
#include <QPointer>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

class QMenu;

namespace platform {

// What can be asked of the notification area.
inline constexpr unsigned NIM_ADD = 0;
inline constexpr unsigned NIM_MODIFY = 1;
inline constexpr unsigned NIM_DELETE = 2;
inline constexpr unsigned NIM_SETVERSION = 4;

// Which fields of an icon record are valid.
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// Version of the notifications an icon receives: 0 classic, 3 with the
// version-3 notifications (selection, context menu, balloons).
inline constexpr std::uint32_t NOTIFYICON_VERSION = 3;

// Broadcast to every window when the notification area has come (back): icons
// must be added again.
inline constexpr std::string_view TaskbarCreatedName = "TaskbarCreated";

// One icon as a program describes it to the notification area. The icon is
// known by (window, id); its mouse notifications are sent to the window as the
// callback message with the id as first and the notification as second parameter.
struct NotifyIconData {
    std::uint32_t size = 488;  // the record's size in its code-page form
    WindowHandle window = WindowHandle::None;
    std::uintptr_t id = 0;
    std::uint32_t flags = 0;
    unsigned callbackMessage = 0;
    QIcon icon;  // no picture when null
    std::array<char, 128> tip{};  // code-page bytes, zero-terminated
    std::uint32_t version = 0;
    // The icon's menu, for a notification area whose host draws menus itself
    // (the D-Bus trays of today's desktops); no other area reads it.
    QPointer<QMenu> menu;

    QString tipText() const { return FromAnsi(std::string_view(tip.data(), strnlen(tip.data(), tip.size()))); }
};

// The desktop's notification area ("system tray"). Failed requests (adding an
// icon that is there, changing one that is not) answer false and change nothing.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    virtual bool notifyIcon(unsigned message, const NotifyIconData& data) = 0;
    // Whether the desktop has a notification area at all right now.
    virtual bool isAvailable() const = 0;
};

inline NotificationArea& notificationArea() { return Service<NotificationArea>::get(); }

inline bool Shell_NotifyIcon(unsigned message, const NotifyIconData& data)
{
    return notificationArea().notifyIcon(message, data);
}

} // namespace platform
