#pragma once

#include "platform/Service.h"

#include <QPoint>

#include <optional>

class QWindow;

namespace platform {

// Where the window system has put a top-level window of the program, asked of
// the window system itself rather than read from Qt's own record (see
// WindowPositionCheck for why the two can differ).
class WindowPositionService {
public:
    virtual ~WindowPositionService() = default;
    // The top-left corner of the window's client area on the screen, in Qt's
    // coordinates; nothing when the window system cannot tell (the window has
    // no native window, or the platform keeps no such record).
    virtual std::optional<QPoint> positionOnScreen(const QWindow& window) = 0;
};

inline WindowPositionService& windowPositions() { return Service<WindowPositionService>::get(); }

} // namespace platform
