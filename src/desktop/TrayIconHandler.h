#pragma once

#include "platform/MessageWindow.h"

#include <cstdint>
#include <functional>
#include <unordered_map>

// The message the notification area sends for the program's icons: the first
// parameter names the icon (its component), the second is the notification.
inline constexpr unsigned TrayCallbackMessage = platform::WM_USER + 0x400;

// What a tray icon does with a notification the area sent for it (0x201 ...).
using TrayNotificationHandler = std::function<void(unsigned code)>;

// Owner of the hidden window that receives the notifications of every tray
// icon of the process; exists while at least one tray icon exists. Each
// notification names its icon by the id the icon registered with.
class TTrayIconHandler {
public:
    TTrayIconHandler();
    TTrayIconHandler(const TTrayIconHandler&) = delete;
    TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

    platform::WindowHandle Handle() const { return FWindow.handle(); }
    unsigned RefCount() const { return FRefCount; }

private:
    friend void AcquireTrayHandler(std::uintptr_t IconId, TrayNotificationHandler OnNotification);
    friend void ReleaseTrayHandler(std::uintptr_t IconId);
    void HandlerWindowProc(platform::Message& Message);

    unsigned FRefCount = 0;
    // The icons that exist: a notification naming no living icon is dropped.
    std::unordered_map<std::uintptr_t, TrayNotificationHandler> FIcons;
    platform::MessageWindow FWindow;
};

// The one handler of the process, or null while no tray icon exists.
TTrayIconHandler* SharedTrayHandler();

// Counted use of the shared window by the component's constructor and destructor.
void AcquireTrayHandler(std::uintptr_t IconId, TrayNotificationHandler OnNotification);
void ReleaseTrayHandler(std::uintptr_t IconId);
