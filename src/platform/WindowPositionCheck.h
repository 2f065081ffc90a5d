#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace platform {

// Keeps Qt's record of where a top-level window is true to the window system.
//
// Qt learns a window's position from the window system's notices. A window the
// window manager draws no frame for can miss the last of them: when the window
// is mapped, the manager puts it into a frame of its own that still lies at the
// corner of the screen, and Qt, reading the position back just then, records
// 0,0; the manager then moves the frame to where the window asked to be and,
// finding the window where it asked to be, sends no notice. Qt would go on
// placing the window at 0,0 (for assistive tools, for mapping points to the
// screen, for moving it by its caption) while it is shown elsewhere. So each
// time the window is exposed its position is asked of the window system, and
// Qt is told where the window really is when the two differ.
class WindowPositionCheck : public QObject {
    Q_OBJECT
public:
    // Follows the window for as long as this object lives.
    explicit WindowPositionCheck(QWidget* window);
    ~WindowPositionCheck() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Follows the window's native window, which may be made again.
    void WatchNativeWindow();
    void Check();

    QPointer<QWidget> window_;
    QPointer<QWindow> handle_;
};

} // namespace platform
