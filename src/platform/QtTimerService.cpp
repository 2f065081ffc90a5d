#include "platform/MessageWindow.h"
#include "platform/TimerService.h"

#include <QTimer>

#include <limits>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace platform {
namespace {

// One Qt timer per (window, id); its timeout is delivered as WM_TIMER.
class QtTimerService final : public TimerService {
public:
    bool setTimer(WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs) override
    {
        if (intervalMs > static_cast<std::uint32_t>(std::numeric_limits<int>::max()))
            return false;
        auto& timer = timers_[{window, id}];
        if (!timer) {
            timer = std::make_unique<QTimer>();
            QTimer* raw = timer.get();
            QObject::connect(raw, &QTimer::timeout, [this, raw, window, id] {
                firing_.insert(raw);
                SendMessage(window, WM_TIMER, id, 0);
                firing_.erase(raw);
            });
        }
        // Replacing a running timer begins a full new period.
        timer->start(static_cast<int>(intervalMs));
        return true;
    }

    bool killTimer(WindowHandle window, std::uintptr_t id) override
    {
        const auto found = timers_.find({window, id});
        if (found == timers_.end())
            return false;
        dispose(std::move(found->second));
        timers_.erase(found);
        return true;
    }

    void windowDestroyed(WindowHandle window) override
    {
        auto it = timers_.lower_bound({window, 0});
        while (it != timers_.end() && it->first.first == window) {
            dispose(std::move(it->second));
            it = timers_.erase(it);
        }
    }

private:
    // A timer killed from inside its own tick is still emitting: Qt frees it
    // once the tick is over.
    void dispose(std::unique_ptr<QTimer> timer)
    {
        timer->stop();
        if (firing_.count(timer.get()) != 0)
            timer.release()->deleteLater();
    }

    std::map<std::pair<WindowHandle, std::uintptr_t>, std::unique_ptr<QTimer>> timers_;
    std::set<QTimer*> firing_;
};

} // namespace

template <>
TimerService& Service<TimerService>::defaultInstance()
{
    // Never destroyed: windows freed during the program's exit still reach it.
    static auto* service = new QtTimerService;
    return *service;
}

} // namespace platform
