#pragma once

#include <QTemporaryDir>

// Gives a test program a user session of its own, so that nothing it does
// reaches the real user's: HOME, the XDG folders (the desktop folder lies in
// HOME) and the runtime folder that holds the single-instance lock are fresh
// folders removed again at the end; there is no display and no session bus,
// and Qt runs on its offscreen platform, whose clipboard lives in the process.
// Made before the QApplication, and so are the child processes a test starts,
// which inherit the environment.
class PrivateSession {
public:
    PrivateSession();
    PrivateSession(const PrivateSession&) = delete;
    PrivateSession& operator=(const PrivateSession&) = delete;

private:
    QTemporaryDir root_;
};
