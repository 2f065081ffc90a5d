#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <vector>

class TSkinComponent;
struct TSkinPictures;

// The frame of a skinned top-level window: borders, caption (icon, title) and
// the caption buttons the window is entitled to, drawn from the skin around
// the client area. It lies under every control of the window and takes the
// mouse only on the frame itself: the caption moves the window.
class TSkinFrame : public QWidget {
    Q_OBJECT
public:
    // Caption button actions of the skin: 0 close, 1 maximise, 2 restore, 3 minimise, 4 system menu.
    TSkinFrame(QWidget* window, const TSkinComponent& component, std::vector<int> entitledActions);

    // Follows the window's size; called when it changes.
    void FitWindow();
    // The caption buttons on show now, with their places.
    struct Button {
        int Index = 0;  // into the skin's caption buttons
        int Action = 0;
        QRect Place;
    };
    std::vector<Button> VisibleButtons() const;
    QRect CaptionRect() const;
    // The window width at which the whole title fits on the caption.
    int CaptionWidthNeeded() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const TSkinPictures* Pictures() const;
    QRegion WindowShape(const TSkinPictures& pictures) const;
    QFont CaptionFont(const TSkinPictures& pictures) const;
    int TextRoom(const TSkinPictures& pictures) const;
    int ButtonAt(QPoint position) const;
    void Perform(int action);
    void PaintCaptionText(QPainter& painter, const TSkinPictures& pictures, bool active);

    QWidget* window_;
    const TSkinComponent& component_;
    std::vector<int> entitled_;
    int hover_ = -1;
    int pressed_ = -1;
    bool dragging_ = false;
    QPoint dragOffset_;
};

// The caption buttons a window may show, from its window flags: the ones it
// asks for when it customises its frame, else close only for dialogs and all
// for ordinary windows (no maximise for a fixed size).
std::vector<int> EntitledCaptionActions(const QWidget* window, Qt::WindowFlags flags);
