#include "platform/DesktopService.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

// A window the desktop minimised comes back when the program brings it to the
// front; its other states stay.
TEST(DesktopService, BringingAWindowToTheFrontRestoresItFromMinimised)
{
    const struct {
        Qt::WindowStates before;
        Qt::WindowStates after;
    } cases[] = {
        {Qt::WindowMinimized, Qt::WindowNoState},
        {Qt::WindowMinimized | Qt::WindowMaximized, Qt::WindowMaximized},
        {Qt::WindowNoState, Qt::WindowNoState},
    };
    for (const auto& c : cases) {
        QWidget window;
        window.resize(200, 100);
        window.show();
        window.setWindowState(c.before);
        QApplication::processEvents();
        // As the program does it: hidden and shown again, then brought forward.
        window.hide();
        window.show();
        platform::desktop().bringToFront(&window);
        QApplication::processEvents();
        EXPECT_EQ(window.windowState() & ~Qt::WindowActive, c.after) << int(c.before);
        EXPECT_TRUE(window.isVisible());
    }
}
