#include "platform/ApplicationWindow.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

TEST(ApplicationWindow, HooksSeeEachMessageInOrderUntilOneHandlesIt)
{
    auto& window = ApplicationWindow::instance();
    std::vector<int> seen;
    const auto first = window.HookMainWindow([&](Message& m) {
        seen.push_back(1);
        return m.msg == 0x600;
    });
    const auto second = window.HookMainWindow([&](Message&) {
        seen.push_back(2);
        return false;
    });
    SendMessage(window.handle(), 0x601);
    SendMessage(window.handle(), 0x600);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1}));
    window.UnhookMainWindow(first);
    window.UnhookMainWindow(second);
}

TEST(ApplicationWindow, ReportsChangesOfVisibilityAndStyleOnce)
{
    auto& window = ApplicationWindow::instance();
    window.SetVisible(true);
    int shown = 0;
    int styled = 0;
    QObject receiver;
    QObject::connect(&window, &ApplicationWindow::visibilityChanged, &receiver, [&] { ++shown; });
    QObject::connect(&window, &ApplicationWindow::exStyleChanged, &receiver, [&] { ++styled; });
    window.SetVisible(false);
    window.SetVisible(false);
    window.SetExStyle(window.ExStyle() | WS_EX_TOOLWINDOW);
    window.SetExStyle(window.ExStyle() | WS_EX_TOOLWINDOW);
    EXPECT_FALSE(window.IsVisible());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(styled, 1);
    window.SetVisible(true);
    window.SetExStyle(0);
}
