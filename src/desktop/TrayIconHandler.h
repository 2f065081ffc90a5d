#pragma once

#include "platform/MessageWindow.h"

#include <unordered_set>

class TTrayIcon;

// The message the notification area sends for the program's icons: the first
// parameter names the icon (its component), the second is the notification.
inline constexpr unsigned TrayCallbackMessage = platform::WM_USER + 0x400;

// Owner of the hidden window that receives the notifications of every tray
// icon of the process; exists while at least one tray icon exists.
class TTrayIconHandler {
public:
    TTrayIconHandler();
    TTrayIconHandler(const TTrayIconHandler&) = delete;
    TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

    platform::WindowHandle Handle() const { return FWindow.handle(); }
    unsigned RefCount() const { return FRefCount; }

private:
    friend void AcquireTrayHandler(TTrayIcon& Icon);
    friend void ReleaseTrayHandler(TTrayIcon& Icon);
    void HandlerWindowProc(platform::Message& Message);

    unsigned FRefCount = 0;
    // The icons that exist: a notification naming no living icon is dropped.
    std::unordered_set<const TTrayIcon*> FIcons;
    platform::MessageWindow FWindow;
};

// The one handler of the process, or null while no tray icon exists.
TTrayIconHandler* SharedTrayHandler();

// Counted use of the shared window by the component's constructor and destructor.
void AcquireTrayHandler(TTrayIcon& Icon);
void ReleaseTrayHandler(TTrayIcon& Icon);
