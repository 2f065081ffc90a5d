#pragma once

#include "desktop/TrayIcon.h"
#include "desktop/TrayIconHandler.h"
#include "support/FakeDesktop.h"
#include "support/FakeNotificationArea.h"
#include "support/FakeTimers.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A popup menu that records where it was popped up instead of running a menu loop.
class RecordingMenu : public TPopupMenu {
public:
    std::vector<QPoint> popups;
    void Popup(int X, int Y) override { popups.emplace_back(X, Y); }
};

// One tray icon owned by a window, on the doubles of the desktop.
class TrayFixture : public ::testing::Test {
protected:
    TrayFixture()
    {
        owner.setObjectName(QStringLiteral("Form1"));
        tray = std::make_unique<TTrayIcon>(&owner);
        desktop.cursor = QPoint(640, 700);
    }

    const platform::NotifyIconData* shown() const { return area.icon(reinterpret_cast<std::uintptr_t>(tray.get())); }

    FakeTimers clock;
    FakeNotificationArea area;
    FakeDesktop desktop;
    QWidget owner;
    std::unique_ptr<TTrayIcon> tray;
};
