#pragma once

#include "platform/WindowMessages.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace platform {

// A hidden window that exists only to receive messages: timer ticks,
// notifications of the notification area, broadcasts. Its procedure is bound to
// the object that created it. Destroying the window kills its timers, and
// messages still on their way to it are dropped.
class MessageWindow {
public:
    using Procedure = std::function<void(Message&)>;

    explicit MessageWindow(Procedure procedure);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle handle() const { return handle_; }

private:
    WindowHandle handle_;
    Procedure procedure_;
};

// Whether the handle names a window that still exists.
bool IsWindow(WindowHandle window);

// Calls the window's procedure now and answers its result; 0 when the window
// does not exist.
LResult SendMessage(WindowHandle window, unsigned msg, WParam wParam = 0, LParam lParam = 0);

// Queues the message for the event loop; answers false when the window does not
// exist or there is no event loop. A window destroyed meanwhile never gets it.
bool PostMessage(WindowHandle window, unsigned msg, WParam wParam = 0, LParam lParam = 0);

// Sends the message to every message window that exists.
void BroadcastMessage(unsigned msg, WParam wParam = 0, LParam lParam = 0);

// The answer of a window that does not handle a message itself.
LResult DefWindowProc(const Message& message);

// The number of a message known by name across the process (0xC000-0xFFFF);
// the same name always gives the same number.
unsigned RegisterWindowMessage(std::string_view name);

// Sets or replaces the window's timer with the caller-chosen id; each period
// the window receives WM_TIMER with the id as first parameter. False when the
// window does not exist or the system refuses the timer.
bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs);

// Kills the window's timer with that id; false when there is none.
bool KillTimer(WindowHandle window, std::uintptr_t id);

} // namespace platform
