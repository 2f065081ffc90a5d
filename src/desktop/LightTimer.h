#pragma once

#include "platform/MessageWindow.h"

#include <cstdint>
#include <functional>
#include <unordered_set>

class TLightTimer;

// Handler of a light timer's tick; the timer is the sender.
using TLightTimerEvent = std::function<void(TLightTimer* Sender)>;

// A light periodic timer: no owner and no window of its own. Its ticks arrive
// at the one hidden window that all light timers of the process share, under
// the timer's own identity as timer id.
//
// States: stopped (Enabled false), running (Enabled true, ticking) and paused
// (Enabled true but not ticking, because the interval became 0 or the handler
// was removed; a new non-zero interval or writing Enabled true resumes it).
class TLightTimer {
public:
    TLightTimer();
    TLightTimer(std::uint32_t AInterval, TLightTimerEvent AOnTimer);
    ~TLightTimer();
    TLightTimer(const TLightTimer&) = delete;
    TLightTimer& operator=(const TLightTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    std::uint32_t Interval() const { return FInterval; }
    void SetInterval(std::uint32_t Value);
    const TLightTimerEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TLightTimerEvent Value);

    // Begins a full new period; false (and no change) with interval 0, false
    // and stopped when the system refuses the timer.
    bool Start();
    // Kills the system timer; Disable also clears Enabled. Answers whether a
    // system timer was killed.
    bool Stop(bool Disable);

    std::uintptr_t TimerId() const { return FTimerId; }

private:
    std::uintptr_t FTimerId;
    bool FEnabled = false;
    std::uint32_t FInterval;
    TLightTimerEvent FOnTimer;
};

// Owner of the hidden window shared by all light timers; exists while at
// least one light timer exists.
class TLightTimerHandler {
public:
    TLightTimerHandler();
    TLightTimerHandler(const TLightTimerHandler&) = delete;
    TLightTimerHandler& operator=(const TLightTimerHandler&) = delete;

    platform::WindowHandle Handle() const { return FWindow.handle(); }
    unsigned RefCount() const { return FRefCount; }

private:
    friend void AcquireTimerWindow(TLightTimer& Timer);
    friend void ReleaseTimerWindow(TLightTimer& Timer);
    void TimerWindowProc(platform::Message& Message);

    unsigned FRefCount = 0;
    // The timers that exist: a tick names its timer directly, and one that
    // names no living timer is dropped.
    std::unordered_set<std::uintptr_t> FTimers;
    platform::MessageWindow FWindow;
};

// The one handler of the process, or null while no light timer exists.
TLightTimerHandler* SharedTimerHandler();

// Counted use of the shared window by the constructor and destructor.
void AcquireTimerWindow(TLightTimer& Timer);
void ReleaseTimerWindow(TLightTimer& Timer);
