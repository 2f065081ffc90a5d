#pragma once

#include <QObject>

// Reports mouse clicks and double clicks inside a control (which a plain
// edit box does not signal). Installed on the control it is made for.
class MouseClickFilter : public QObject {
    Q_OBJECT
public:
    explicit MouseClickFilter(QWidget* control);

signals:
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
