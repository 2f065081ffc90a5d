#pragma once

#include <QLabel>

// A label (or picture) that reports a mouse click, for the banner and the
// About page's links.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
