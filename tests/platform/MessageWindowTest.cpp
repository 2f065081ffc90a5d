#include "platform/MessageWindow.h"
#include "support/FakeTimers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

// A window that records what it receives and answers a fixed value.
struct RecordingWindow {
    std::vector<Message> received;
    LResult answer = 0;
    MessageWindow window{[this](Message& message) {
        received.push_back(message);
        message.result = answer;
    }};
};

} // namespace

TEST(MessageWindow, SendCallsTheProcedureAndAnswersItsResult)
{
    RecordingWindow target;
    target.answer = 42;
    EXPECT_EQ(SendMessage(target.window.handle(), 0x1234, 7, -3), 42);
    ASSERT_EQ(target.received.size(), 1u);
    EXPECT_EQ(target.received[0].msg, 0x1234u);
    EXPECT_EQ(target.received[0].wParam, 7u);
    EXPECT_EQ(target.received[0].lParam, -3);
}

TEST(MessageWindow, AGoneWindowReceivesNothingAndItsHandleIsNeverReused)
{
    auto first = std::make_unique<RecordingWindow>();
    const WindowHandle stale = first->window.handle();
    EXPECT_TRUE(IsWindow(stale));
    first.reset();
    RecordingWindow second;
    EXPECT_NE(second.window.handle(), stale);
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_EQ(SendMessage(stale, WM_NULL), 0);
    EXPECT_FALSE(PostMessage(stale, WM_NULL));
    EXPECT_TRUE(second.received.empty());
}

TEST(MessageWindow, PostedMessagesArriveFromTheLoopAndAreDroppedForAGoneWindow)
{
    RecordingWindow kept;
    auto dropped = std::make_unique<RecordingWindow>();
    ASSERT_TRUE(PostMessage(kept.window.handle(), 0x500, 1, 2));
    ASSERT_TRUE(PostMessage(dropped->window.handle(), 0x500));
    EXPECT_TRUE(kept.received.empty());
    dropped.reset();
    QCoreApplication::processEvents();
    ASSERT_EQ(kept.received.size(), 1u);
    EXPECT_EQ(kept.received[0].msg, 0x500u);
}

TEST(MessageWindow, AWindowMayDestroyItselfWhileHandlingAMessage)
{
    std::unique_ptr<MessageWindow> window;
    int calls = 0;
    window = std::make_unique<MessageWindow>([&](Message&) {
        ++calls;
        window.reset();
    });
    SendMessage(window->handle(), WM_CLOSE);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(window, nullptr);
}

TEST(MessageWindow, RegisteredMessagesAreStablePerNameAndInTheRegisteredRange)
{
    const unsigned created = RegisterWindowMessage("TaskbarCreated");
    EXPECT_GE(created, 0xC000u);
    EXPECT_LE(created, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage("TaskbarCreated"), created);
    EXPECT_NE(RegisterWindowMessage("SomethingElse"), created);
}

TEST(MessageWindowTimers, TicksCarryTheCallerChosenIdAndStopWithTheWindow)
{
    FakeTimers clock;
    auto target = std::make_unique<RecordingWindow>();
    const WindowHandle handle = target->window.handle();
    ASSERT_TRUE(SetTimer(handle, 0xBEEF, 100));
    ASSERT_TRUE(SetTimer(handle, 0xF00D, 250));
    clock.advance(250);
    std::vector<WParam> ids;
    for (const Message& m : target->received) {
        EXPECT_EQ(m.msg, WM_TIMER);
        ids.push_back(m.wParam);
    }
    EXPECT_EQ(ids, (std::vector<WParam>{0xBEEF, 0xBEEF, 0xF00D}));

    EXPECT_TRUE(KillTimer(handle, 0xBEEF));
    EXPECT_FALSE(KillTimer(handle, 0xBEEF));
    target.reset();
    EXPECT_EQ(clock.count(), 0u);
    EXPECT_FALSE(SetTimer(handle, 1, 100));
}

// The program's own timers, on Qt's event loop.
TEST(MessageWindowTimers, QtTimersTickAndMayBeKilledFromTheirOwnTick)
{
    int ticks = 0;
    std::unique_ptr<MessageWindow> window;
    window = std::make_unique<MessageWindow>([&](Message& message) {
        if (message.msg == WM_TIMER && message.wParam == 77 && ++ticks == 3)
            KillTimer(window->handle(), 77);
    });
    ASSERT_TRUE(SetTimer(window->handle(), 77, 5));
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(KillTimer(window->handle(), 77));
}
