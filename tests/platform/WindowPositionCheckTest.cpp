// Qt's record of a window's place follows the window system's answer each time
// the window comes on screen.
#include "platform/WindowPositionCheck.h"
#include "support/FakeWindowPositions.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

namespace {

void ShowAndSettle(QWidget& window)
{
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
}

// Where the window system has the window at each showing (nothing: it cannot tell).
struct Showings {
    const char* name;
    std::optional<QPoint> first;
    std::optional<QPoint> second;
};

void PrintTo(const Showings& showings, std::ostream* out)
{
    *out << showings.name;
}

class WindowPositionFollowed : public ::testing::TestWithParam<Showings> {};

} // namespace

TEST_P(WindowPositionFollowed, AtEachShowing)
{
    FakeWindowPositions windowSystem;
    QDialog window;
    window.resize(200, 100);
    const platform::WindowPositionCheck check(&window);
    QPoint expected;
    for (const std::optional<QPoint>& real : {GetParam().first, GetParam().second}) {
        window.winId();  // the native window, to tell the window system about
        if (real)
            windowSystem.positions[window.windowHandle()] = *real;
        else
            windowSystem.positions.clear();
        const int asked = windowSystem.questions;
        ShowAndSettle(window);
        EXPECT_GT(windowSystem.questions, asked);
        expected = real.value_or(window.windowHandle()->position());
        EXPECT_EQ(window.windowHandle()->position(), expected);
        EXPECT_EQ(window.geometry().topLeft(), expected);
        EXPECT_EQ(window.mapToGlobal(QPoint(0, 0)), expected);  // what assistive tools read
        // Not placed by the program: a dialog centres itself at its next showing.
        EXPECT_FALSE(window.testAttribute(Qt::WA_Moved));
        window.hide();
        QApplication::processEvents();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowPositionFollowed,
    ::testing::Values(Showings{"ElsewhereThanQtThinks", QPoint(357, 290), QPoint(40, 30)},
                      Showings{"WindowSystemCannotTell", std::nullopt, std::nullopt},
                      Showings{"FirstUnknownThenKnown", std::nullopt, QPoint(5, 7)}),
    [](const ::testing::TestParamInfo<Showings>& info) { return std::string(info.param.name); });
