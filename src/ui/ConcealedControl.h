#pragma once

#include <QAccessible>

class QWidget;

// Keeps what a control holds away from assistive tools (screen readers, and
// any other program on the desktop's accessibility bus): they learn that the
// control is there, its role and its state, but neither its text nor any
// change of it, which an edit box would otherwise announce character by
// character, also in password mode.
void ConcealFromAssistiveTools(QWidget* control, QAccessible::Role role);
