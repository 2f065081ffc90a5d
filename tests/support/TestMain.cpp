// Test entry: a private user session (see PrivateSession) and a QApplication
// on the offscreen platform, so GUI tests drive real windows without a display
// and never touch the user's lock, desktop, clipboard or files.
#include "support/PrivateSession.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const PrivateSession session;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
