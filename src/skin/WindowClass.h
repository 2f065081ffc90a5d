#pragma once

#include <QString>

class QWidget;

// How the skin engine sees a window: Qt classes stand for the desktop's window
// classes, and a form's settings are properties on the widget.

// The window class of a widget: "#32770" for message boxes and the other
// standard dialogs, "SysMonthCal32" for the calendar, "#32768" for popup
// menus, "mdiclient" for the area that holds MDI children, "ScrollBar" for a
// size grip; otherwise the widget's own class name.
QString WindowClassName(const QWidget* widget);

// The form's Tag (property "Tag"), 0 when it has none.
int FormTag(const QWidget* widget);
// True when the widget's "Tag" property is set and equals the value.
bool HasTag(const QWidget* widget, int tag);

// The window's style bits (property "Style"), 0 when it has none.
unsigned WindowStyleBits(const QWidget* widget);

// An MDI child: a subwindow of an MDI area.
bool IsMdiChild(const QWidget* widget);
// The widget's parent is the area that holds MDI children.
bool ParentIsMdiClient(const QWidget* widget);
// A message box or another standard dialog.
bool IsStandardDialog(const QWidget* widget);

// A popup that belongs to a control (a combo box's list), not a menu: it wears
// whatever the control's window wears.
bool IsControlPopup(const QWidget* widget);
// The window a widget is drawn as part of: its own window, or for a control's
// popup the window of that control.
QWidget* OwningWindow(QWidget* widget);
