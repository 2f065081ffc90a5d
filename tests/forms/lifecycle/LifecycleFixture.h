#pragma once

#include "support/FakeNotificationArea.h"
#include "support/FakeTaskbar.h"
#include "support/ProgramFixture.h"

#include <QString>

class QTimer;

// One tick of the running timer, as its interval would serve it.
void Tick(QTimer* timer);

// A program run on a desktop with a notification area, with the login as the
// user goes through it.
class LifecycleFixture : public ProgramFixture {
protected:
    static const QString kPassword;

    ~LifecycleFixture() override;

    // Delivers the database (unless the test already has), starts the program as the program entry does and
    // lets the login check show the login window.
    void StartToLogin();
    // StartToLogin, then the right password: the main window is shown.
    void StartLoggedIn();
    void TypePassword(const QString& password);

    bool Connected() const;
    bool TaskbarButtonShown() const;

    FakeNotificationArea area;
    FakeTaskbar taskbar;
};
