#pragma once

// Small helpers that the forms use to build their controls by name and place.

#include <QPushButton>
#include <QRect>
#include <QString>

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

// Moves a window to the centre of the desktop.
void centreOnDesktop(QWidget* window);
