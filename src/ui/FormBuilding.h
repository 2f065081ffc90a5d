#pragma once

// Small helpers that the forms use to build their controls by name and place.

#include <QPushButton>
#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

template <class Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A button at its place. Only a button made default later answers Enter; a
// focused button does not.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);

// An edit box at its place that holds text of any length (see LiftLengthLimit).
QLineEdit* makeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text = {});

// Removes a line edit's own limit of 32,767 characters. The store keeps values
// of any length, and a box that cut them would cut a stored value as soon as a
// record is copied into the editor and saved back.
void LiftLengthLimit(QLineEdit* edit);

// Moves a window to the centre of the desktop.
void centreOnDesktop(QWidget* window);
