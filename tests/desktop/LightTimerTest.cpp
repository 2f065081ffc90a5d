#include "desktop/LightTimer.h"
#include "runtime/Application.h"
#include "support/FakeTimers.h"
#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

class LightTimerTest : public ::testing::Test {
protected:
    FakeTimers clock;
    int ticks = 0;
    TLightTimerEvent counter = [this](TLightTimer*) { ++ticks; };
};

} // namespace

TEST_F(LightTimerTest, StartsStoppedWithDefaultsAndTicksWithItselfAsSender)
{
    TLightTimer plain;
    EXPECT_FALSE(plain.Enabled());
    EXPECT_EQ(plain.Interval(), 1000u);
    EXPECT_FALSE(plain.OnTimer());

    TLightTimer* sender = nullptr;
    TLightTimer timer(100, [&](TLightTimer* s) { sender = s; ++ticks; });
    EXPECT_FALSE(timer.Enabled());
    clock.advance(500);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    clock.advance(350);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(sender, &timer);
}

TEST_F(LightTimerTest, IntervalZeroNeverStarts)
{
    TLightTimer timer(0, counter);
    EXPECT_FALSE(timer.Start());
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Enabled());
    clock.advance(1000);
    EXPECT_EQ(ticks, 0);
}

TEST_F(LightTimerTest, TheSameIntervalKeepsThePeriodAndANewOneRestartsIt)
{
    TLightTimer timer(100, counter);
    timer.SetEnabled(true);
    clock.advance(60);
    timer.SetInterval(100);
    clock.advance(40);
    EXPECT_EQ(ticks, 1);

    clock.advance(60);
    timer.SetInterval(80);  // a new period from now: due 80 ms later, not 40
    clock.advance(40);
    EXPECT_EQ(ticks, 1);
    clock.advance(40);
    EXPECT_EQ(ticks, 2);
}

TEST_F(LightTimerTest, IntervalZeroPausesARunningTimerUntilANewInterval)
{
    TLightTimer timer(100, counter);
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_TRUE(timer.Enabled());
    clock.advance(500);
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(50);
    clock.advance(100);
    EXPECT_EQ(ticks, 2);
}

TEST_F(LightTimerTest, RemovingTheHandlerPausesAndOnlyEnablingResumes)
{
    TLightTimer timer(100, counter);
    timer.SetEnabled(true);
    timer.SetOnTimer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    clock.advance(300);
    timer.SetOnTimer(counter);
    clock.advance(300);
    EXPECT_EQ(ticks, 0);  // giving the handler back does not restart it
    timer.SetEnabled(true);
    clock.advance(100);
    EXPECT_EQ(ticks, 1);
}

TEST_F(LightTimerTest, ARefusedTimerLeavesItStoppedEvenIfItWasRunning)
{
    TLightTimer timer(100, counter);
    timer.SetEnabled(true);
    clock.refuse = true;
    EXPECT_FALSE(timer.Start());
    EXPECT_FALSE(timer.Enabled());
    clock.refuse = false;
    clock.advance(500);
    EXPECT_EQ(ticks, 0);
}

TEST_F(LightTimerTest, TheSharedWindowLivesFromTheFirstTimerToTheLast)
{
    ASSERT_EQ(SharedTimerHandler(), nullptr);
    auto first = std::make_unique<TLightTimer>();
    ASSERT_NE(SharedTimerHandler(), nullptr);
    const platform::WindowHandle window = SharedTimerHandler()->Handle();
    EXPECT_TRUE(platform::IsWindow(window));
    {
        TLightTimer second;
        EXPECT_EQ(SharedTimerHandler()->RefCount(), 2u);
        EXPECT_EQ(SharedTimerHandler()->Handle(), window);
    }
    EXPECT_EQ(SharedTimerHandler()->RefCount(), 1u);
    first.reset();
    EXPECT_EQ(SharedTimerHandler(), nullptr);
    EXPECT_FALSE(platform::IsWindow(window));
}

TEST_F(LightTimerTest, ADestroyedTimerGetsNoTickEvenIfOneIsStillAddressedToIt)
{
    TLightTimer keeper;  // keeps the shared window
    auto timer = std::make_unique<TLightTimer>(50, counter);
    timer->SetEnabled(true);
    const std::uintptr_t id = timer->TimerId();
    timer.reset();
    clock.advance(200);
    // A tick naming the dead timer, as a late message would, is dropped.
    platform::SendMessage(SharedTimerHandler()->Handle(), platform::WM_TIMER, id, 0);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(clock.count(), 0u);
}

TEST_F(LightTimerTest, ATimerMayDestroyItselfFromItsOwnTick)
{
    TLightTimer keeper;
    std::unique_ptr<TLightTimer> timer;
    timer = std::make_unique<TLightTimer>(50, [&](TLightTimer*) {
        ++ticks;
        timer.reset();
    });
    timer->SetEnabled(true);
    clock.advance(500);
    EXPECT_EQ(ticks, 1);
}

TEST_F(LightTimerTest, AnErrorInATickIsReportedAndTheTimerRunsOn)
{
    ScriptedMessageBoxes boxes;
    TApplication application(QStringLiteral("/nonexistent/Kestrelle"));
    TLightTimer timer(100, [&](TLightTimer*) {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer.SetEnabled(true);
    clock.advance(200);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(boxes.texts(), (QStringList{"tick failed", "tick failed"}));
}
