#include "ui/FormBuilding.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <limits>

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* edit = named(new QLineEdit(parent), name);
    LiftLengthLimit(edit);
    edit->setText(text);
    edit->setGeometry(geometry);
    return edit;
}

void LiftLengthLimit(QLineEdit* edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

void centreOnDesktop(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
