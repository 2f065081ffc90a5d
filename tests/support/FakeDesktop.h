#pragma once

#include "platform/DesktopService.h"

#include <QPoint>
#include <QWidget>

// Desktop double: a pointer, keys and double-click time the test sets, and a
// record of beeps and of the windows brought to the front.
class FakeDesktop final : public platform::DesktopService {
public:
    FakeDesktop() : override_(*this) {}

    bool cursorPos(QPoint& position) override
    {
        position = cursor;
        return cursorReadable;
    }
    unsigned keysDown() override { return keys; }
    unsigned doubleClickTime() override { return doubleClickMs; }
    void setForegroundWindow(platform::WindowHandle window) override { foreground = window; }
    void bringToFront(QWidget* window) override { broughtToFront = window; }
    void beep() override { ++beeps; }

    QPoint cursor;
    bool cursorReadable = true;
    unsigned keys = 0;
    unsigned doubleClickMs = 500;
    platform::WindowHandle foreground{};
    QWidget* broughtToFront = nullptr;
    int beeps = 0;

private:
    platform::Service<platform::DesktopService>::Override override_;
};
