#pragma once

#include "platform/WindowPositionCheck.h"
#include "skin/SkinFrame.h"

#include <QLayout>
#include <QMargins>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QStyle>

#include <memory>
#include <vector>

class QWidget;
class TSkinComponent;

// The skinning object of one window: while it lives, the window wears the
// component's skin (its controls drawn by the skin's style, its palette from
// the skin's colours and, for a top-level window, a frameless window with the
// skin's frame and caption around the unchanged client area). Restore puts
// back everything it changed: flags, styles, palettes and geometry.
class TSkinnedWindow : public QObject {
    Q_OBJECT
public:
    TSkinnedWindow(QWidget* window, QWidget* form, TSkinComponent& component);
    ~TSkinnedWindow() override;

    QWidget* Window() const { return window_; }
    QWidget* Form() const { return form_; }
    TSkinComponent& Component() const { return component_; }

    // Closed: the window is gone or its skinning object has been released.
    bool Closed() const { return closed_ || !window_; }
    void MarkClosed() { closed_ = true; }

    // Gives the window its own look back; the object stays, marked closed.
    void Restore();
    // Takes up the component's skin again after it has been reloaded.
    void Reload();
    // A control that appeared in the window after it was skinned.
    void AdoptControl(QWidget* control);
    // Forgets the window without touching it (it is being destroyed).
    void Abandon() { applied_ = false; closed_ = true; }

    TSkinFrame* Frame() const { return frame_; }
    // The frame around the client area (empty for a window drawn without one).
    QMargins FrameMargins() const { return margins_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ControlState {
        QPointer<QWidget> Control;
        bool StyleSet = false;    // the skin's style was set on it
        bool OwnStyle = false;
        QPointer<QStyle> Style;
        bool PaletteSet = false;  // the system palette was set on it
        bool OwnPalette = false;
        QPalette Palette;
    };
    struct MovedChild {
        QPointer<QWidget> Child;
        QPoint Position;
    };

    void Apply();
    void ApplyFrame();
    void RestoreFrame();
    // Grows the margins of the window's layout by the frame, once per layout:
    // a window may replace its layout while it is skinned (a message box does
    // when its style, font, icon or text change).
    void MakeRoomInLayout();
    void FitTitle();
    // Remembers a control's own style and gives it the skin's.
    void ApplySkinStyle(QWidget* control);
    void StyleControls(QWidget* root);
    void KeepSystemLook(QWidget* control);
    bool KeepsSystemLook(QWidget* control) const;

    QPointer<QWidget> window_;
    QPointer<QWidget> form_;
    TSkinComponent& component_;
    bool closed_ = false;
    bool applied_ = false;

    // What the window had before.
    bool framed_ = false;
    Qt::WindowFlags flags_;
    QRect geometry_;
    bool wasMoved_ = false;
    QPoint skinnedPosition_;
    QSize minimumSize_;
    QSize maximumSize_;
    QMargins layoutMargins_;
    QPointer<QLayout> grownLayout_;  // the layout whose margins hold the frame
    QRegion mask_;
    bool ownPalette_ = false;
    QPalette palette_;
    std::vector<ControlState> controls_;
    std::vector<MovedChild> movedChildren_;

    QMargins margins_;
    bool widened_ = false;  // a dialog made wider so that its title fits
    bool fitting_ = false;
    QPointer<TSkinFrame> frame_;
    // Without the window manager's frame, Qt's record of the window's place
    // needs checking each time the window comes on screen.
    std::unique_ptr<platform::WindowPositionCheck> positionCheck_;
};
