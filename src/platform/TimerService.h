#pragma once

#include "platform/Service.h"
#include "platform/WindowMessages.h"

#include <cstdint>

namespace platform {

// The system's window timers. The program uses Qt timers; tests install a
// clock they advance by hand. A tick is delivered as WM_TIMER to the window.
class TimerService {
public:
    virtual ~TimerService() = default;
    // Sets (or replaces) the timer; the window is known to exist.
    virtual bool setTimer(WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs) = 0;
    virtual bool killTimer(WindowHandle window, std::uintptr_t id) = 0;
    // The window is being destroyed: its timers go with it.
    virtual void windowDestroyed(WindowHandle window) = 0;
};

inline TimerService& timers() { return Service<TimerService>::get(); }

} // namespace platform
