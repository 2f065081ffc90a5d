#include "support/FakeTimers.h"

#include "platform/MessageWindow.h"

#include <algorithm>

namespace {
// The shortest period the system grants.
constexpr std::uint32_t MinimumInterval = 10;
} // namespace

bool FakeTimers::setTimer(platform::WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs)
{
    if (refuse)
        return false;
    const std::uint32_t interval = std::max(intervalMs, MinimumInterval);
    timers_[{window, id}] = Timer{interval, now_ + interval, ++lastOrder_};
    return true;
}

bool FakeTimers::killTimer(platform::WindowHandle window, std::uintptr_t id)
{
    return timers_.erase({window, id}) != 0;
}

void FakeTimers::windowDestroyed(platform::WindowHandle window)
{
    std::erase_if(timers_, [window](const auto& entry) { return entry.first.first == window; });
}

bool FakeTimers::isRunning(platform::WindowHandle window, std::uintptr_t id) const
{
    return timers_.count({window, id}) != 0;
}

void FakeTimers::advance(std::uint32_t ms)
{
    const std::uint64_t target = now_ + ms;
    for (;;) {
        // Handlers may set and kill timers: look again after every tick.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == timers_.end() || it->second.due < next->second.due
                || (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == timers_.end())
            break;
        const Key key = next->first;
        now_ = next->second.due;
        next->second.due += next->second.interval;
        platform::SendMessage(key.first, platform::WM_TIMER, key.second, 0);
    }
    now_ = target;
}
