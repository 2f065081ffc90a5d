#include "platform/WindowPositionService.h"

#include "platform/X11Connection.h"
#include "platform/X11WindowPosition.h"

#include <QScreen>
#include <QWindow>

namespace platform {
namespace {

// On X11 the X server's answer; any other platform (the offscreen one of the
// tests, Wayland) keeps no record apart from Qt's.
class QtWindowPositionService final : public WindowPositionService {
public:
    std::optional<QPoint> positionOnScreen(const QWindow& window) override
    {
        xcb_connection_t* connection = X11Connection();
        if (!connection || !window.handle())
            return std::nullopt;
        const auto native = X11PositionOnRoot(connection, static_cast<std::uint32_t>(window.winId()));
        if (!native)
            return std::nullopt;
        return InQtCoordinates(QPoint(native->x, native->y), window);
    }

private:
    // Qt scales a screen's pixels about the screen's top-left corner, which it
    // leaves where it is.
    static QPoint InQtCoordinates(QPoint native, const QWindow& window)
    {
        const QScreen* screen = window.screen();
        const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
        const qreal factor = window.devicePixelRatio();
        return factor > 0 ? origin + (QPointF(native - origin) / factor).toPoint() : native;
    }
};

} // namespace

template <>
WindowPositionService& Service<WindowPositionService>::defaultInstance()
{
    static QtWindowPositionService service;
    return service;
}

} // namespace platform
