#pragma once

#include "platform/TimerService.h"

#include <cstdint>
#include <map>
#include <utility>

// Timer double: a clock that only moves when the test advances it. Installed
// for its own lifetime.
class FakeTimers final : public platform::TimerService {
public:
    FakeTimers() : override_(*this) {}

    // Moves the clock forward, delivering every tick that falls due on the
    // way, in time order.
    void advance(std::uint32_t ms);

    bool isRunning(platform::WindowHandle window, std::uintptr_t id) const;
    std::size_t count() const { return timers_.size(); }
    std::uint64_t now() const { return now_; }

    // While true, the "system" refuses to set timers.
    bool refuse = false;

    bool setTimer(platform::WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs) override;
    bool killTimer(platform::WindowHandle window, std::uintptr_t id) override;
    void windowDestroyed(platform::WindowHandle window) override;

private:
    using Key = std::pair<platform::WindowHandle, std::uintptr_t>;
    struct Timer {
        std::uint32_t interval;
        std::uint64_t due;
        std::uint64_t order;  // ties fall due in the order the timers were set
    };

    platform::Service<platform::TimerService>::Override override_;
    std::map<Key, Timer> timers_;
    std::uint64_t now_ = 0;
    std::uint64_t lastOrder_ = 0;
};
