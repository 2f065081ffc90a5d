#include "desktop/LightTimer.h"

#include "runtime/RunEvent.h"

#include <memory>

namespace {

constexpr std::uint32_t DefaultInterval = 1000;

// Freed when the last timer goes, or at the end of the process.
std::unique_ptr<TLightTimerHandler> GSharedTimerHandler;

} // namespace

TLightTimerHandler* SharedTimerHandler()
{
    return GSharedTimerHandler.get();
}

TLightTimerHandler::TLightTimerHandler()
    : FWindow([this](platform::Message& Message) { TimerWindowProc(Message); })
{
}

void TLightTimerHandler::TimerWindowProc(platform::Message& Message)
{
    if (Message.msg != platform::WM_TIMER) {
        Message.result = platform::DefWindowProc(Message);
        return;
    }
    if (FTimers.count(Message.wParam) == 0)
        return;
    auto* Timer = reinterpret_cast<TLightTimer*>(Message.wParam);
    // A copy: the handler may replace itself or destroy its timer.
    const TLightTimerEvent Handler = Timer->OnTimer();
    if (Handler)
        RunEvent([&] { Handler(Timer); });
}

void AcquireTimerWindow(TLightTimer& Timer)
{
    if (!GSharedTimerHandler)
        GSharedTimerHandler = std::make_unique<TLightTimerHandler>();
    ++GSharedTimerHandler->FRefCount;
    GSharedTimerHandler->FTimers.insert(Timer.TimerId());
}

void ReleaseTimerWindow(TLightTimer& Timer)
{
    if (!GSharedTimerHandler)
        return;
    GSharedTimerHandler->FTimers.erase(Timer.TimerId());
    if (GSharedTimerHandler->FRefCount > 0)
        --GSharedTimerHandler->FRefCount;
    if (GSharedTimerHandler->FRefCount == 0)
        GSharedTimerHandler.reset();
}

TLightTimer::TLightTimer() : TLightTimer(DefaultInterval, nullptr) {}

TLightTimer::TLightTimer(std::uint32_t AInterval, TLightTimerEvent AOnTimer)
    : FTimerId(reinterpret_cast<std::uintptr_t>(this)), FInterval(AInterval), FOnTimer(std::move(AOnTimer))
{
    AcquireTimerWindow(*this);
}

TLightTimer::~TLightTimer()
{
    if (FEnabled)
        Stop(true);
    ReleaseTimerWindow(*this);
}

bool TLightTimer::Start()
{
    if (FInterval == 0)
        return false;
    if (FEnabled)
        Stop(true);
    const auto* Handler = SharedTimerHandler();
    const bool Started = Handler && platform::SetTimer(Handler->Handle(), FTimerId, FInterval);
    if (Started)
        FEnabled = true;
    return Started;
}

bool TLightTimer::Stop(bool Disable)
{
    if (Disable)
        FEnabled = false;
    const auto* Handler = SharedTimerHandler();
    return Handler && platform::KillTimer(Handler->Handle(), FTimerId);
}

void TLightTimer::SetEnabled(bool Value)
{
    if (Value)
        Start();
    else
        Stop(true);
}

void TLightTimer::SetInterval(std::uint32_t Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    if (!FEnabled)
        return;
    if (Value != 0)
        Start();
    else
        Stop(false);
}

void TLightTimer::SetOnTimer(TLightTimerEvent Value)
{
    FOnTimer = std::move(Value);
    if (!FOnTimer && FEnabled)
        Stop(false);
}
