#pragma once

#include "platform/DesktopService.h"

#include <QString>
#include <QStringList>

// Desktop double: the cursor, keys and double-click time are what the test
// sets; bringing windows forward is recorded in order ("window <handle>" for
// message windows, "widget <objectName>" for real ones). Installed for its
// own lifetime.
class FakeDesktop final : public platform::DesktopService {
public:
    FakeDesktop() : override_(*this) {}

    QPoint cursor;
    bool cursorReadable = true;
    unsigned keys = 0;
    unsigned doubleClickInterval = 500;
    QStringList foreground;
    int beeps = 0;

    bool cursorPos(QPoint& position) override;
    unsigned keysDown() override { return keys; }
    unsigned doubleClickTime() override { return doubleClickInterval; }
    void setForegroundWindow(platform::WindowHandle window) override;
    void bringToFront(QWidget* window) override;
    void beep() override { ++beeps; }

    static QString windowEntry(platform::WindowHandle window);

private:
    platform::Service<platform::DesktopService>::Override override_;
};
