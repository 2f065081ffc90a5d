#pragma once

#include "platform/Service.h"
#include "platform/WindowMessages.h"

#include <QPoint>

class QWidget;

namespace platform {

// Keys whose state the program reads at the moment it handles a notification.
enum class ShiftKey : unsigned { Shift = 1, Alt = 2, Ctrl = 4 };

// The pointer, the keyboard and the window in front, as the desktop reports
// them. Tests install a double that sets them and records what was asked.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    // False when the position cannot be read.
    virtual bool cursorPos(QPoint& position) = 0;
    // The set of ShiftKey bits held down now.
    virtual unsigned keysDown() = 0;
    // Longest pause between the two clicks of a double-click.
    virtual unsigned doubleClickTime() = 0;
    // Brings a message window to the foreground (so a menu it pops up gets the input).
    virtual void setForegroundWindow(WindowHandle window) = 0;
    // Restores a window from minimised, then raises and activates it.
    virtual void bringToFront(QWidget* window) = 0;
    virtual void beep() = 0;
};

inline DesktopService& desktop() { return Service<DesktopService>::get(); }

} // namespace platform
