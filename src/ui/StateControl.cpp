#include "ui/StateControl.h"

#include "ui/ConcealedControl.h"

#include <QWidget>

void MakeStateControl(QWidget* control)
{
    const QRect place = control->geometry();
    // A child that is a window of its own is not among its parent's accessible
    // children, and a window that is never shown has no native window that the
    // desktop could list: the control drops out of the accessibility tree.
    control->setWindowFlag(Qt::Window, true);
    control->setGeometry(place);
    control->setVisible(false);
    // Its text, and the changes the program makes to it, stay in the program.
    ConcealFromAssistiveTools(control, QAccessible::NoRole);
}
