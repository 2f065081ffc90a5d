#include "support/PrivateSession.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// A folder under the session's root, made with the owner's rights only (the
// runtime folder must be 0700 to be used at all).
QByteArray OwnFolder(const QTemporaryDir& root, const char* name)
{
    const QString path = root.filePath(QString::fromLatin1(name));
    if (!QDir().mkpath(path)
        || !QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        std::fprintf(stderr, "cannot make the test session's folder %s\n", qPrintable(path));
        std::abort();
    }
    return QFile::encodeName(path);
}

} // namespace

PrivateSession::PrivateSession()
{
    if (!root_.isValid()) {
        std::fprintf(stderr, "cannot make the test session's folder: %s\n", qPrintable(root_.errorString()));
        std::abort();
    }
    qputenv("HOME", OwnFolder(root_, "home"));
    OwnFolder(root_, "home/Desktop");
    qputenv("XDG_CONFIG_HOME", OwnFolder(root_, "config"));
    qputenv("XDG_DATA_HOME", OwnFolder(root_, "data"));
    qputenv("XDG_CACHE_HOME", OwnFolder(root_, "cache"));
    qputenv("XDG_STATE_HOME", OwnFolder(root_, "state"));
    qputenv("XDG_RUNTIME_DIR", OwnFolder(root_, "runtime"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        qunsetenv(variable);
}
