#include "platform/DesktopService.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>

namespace platform {
namespace {

class QtDesktopService final : public DesktopService {
public:
    bool cursorPos(QPoint& position) override
    {
        // A Wayland compositor tells a program where the pointer is only over
        // the program's own windows, and never where they are: a position on
        // the screen (a tray icon's, a menu's) is unknown there.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            return false;
        position = QCursor::pos();
        return true;
    }

    unsigned keysDown() override
    {
        const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
        unsigned keys = 0;
        if (held & Qt::ShiftModifier)
            keys |= unsigned(ShiftKey::Shift);
        if (held & Qt::AltModifier)
            keys |= unsigned(ShiftKey::Alt);
        if (held & Qt::ControlModifier)
            keys |= unsigned(ShiftKey::Ctrl);
        return keys;
    }

    unsigned doubleClickTime() override
    {
        return static_cast<unsigned>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    }

    // Message windows have nothing on screen; a menu popped up afterwards grabs
    // the input by itself.
    void setForegroundWindow(WindowHandle) override {}

    void bringToFront(QWidget* window) override
    {
        // A window minimised by the desktop would stay iconic however often it
        // is shown: it comes back first (before it is mapped, when asked while
        // it is being shown).
        if (window->isMinimized())
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        // Asked while the window is being shown: activate it once it is on screen.
        QTimer::singleShot(0, window, [target = QPointer<QWidget>(window)] {
            if (target && target->isVisible()) {
                target->raise();
                target->activateWindow();
            }
        });
    }

    void beep() override { QApplication::beep(); }
};

} // namespace

template <>
DesktopService& Service<DesktopService>::defaultInstance()
{
    static QtDesktopService service;
    return service;
}

} // namespace platform
