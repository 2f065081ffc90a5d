#pragma once

#include <QRect>
#include <QStringList>

class QComboBox;
class QWidget;

// A drop-down list that also accepts typed text, at its place, keeping its
// items in the given order and showing eight rows when opened. It behaves as
// the program's lists do, not as an editable combo box does by default:
// - typed text stays whole and as typed: nothing completes or rewrites it;
// - an item counts as picked (the box's `activated`) only when the user
//   chooses it from the list: in the opened list, or with the arrow keys or
//   the wheel in the focused box. A typed text that equals an item is never
//   picked, also not when the focus leaves the box;
// - the wheel acts on the box only while the box has the focus;
// - its text has no length limit.
QComboBox* makeEditableList(QWidget* parent, const char* name, QRect geometry, const QStringList& items);
