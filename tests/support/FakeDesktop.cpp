#include "support/FakeDesktop.h"

#include <QWidget>

bool FakeDesktop::cursorPos(QPoint& position)
{
    if (!cursorReadable)
        return false;
    position = cursor;
    return true;
}

void FakeDesktop::setForegroundWindow(platform::WindowHandle window)
{
    foreground << windowEntry(window);
}

void FakeDesktop::bringToFront(QWidget* window)
{
    foreground << QStringLiteral("widget ") + window->objectName();
}

QString FakeDesktop::windowEntry(platform::WindowHandle window)
{
    return QStringLiteral("window %1").arg(static_cast<qulonglong>(window));
}
