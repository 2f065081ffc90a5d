#include "skin/WindowClass.h"

#include <QCalendarWidget>
#include <QColorDialog>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSizeGrip>

bool IsStandardDialog(const QWidget* widget)
{
    return qobject_cast<const QMessageBox*>(widget) || qobject_cast<const QFileDialog*>(widget) ||
           qobject_cast<const QColorDialog*>(widget) || qobject_cast<const QFontDialog*>(widget) ||
           qobject_cast<const QInputDialog*>(widget) || qobject_cast<const QProgressDialog*>(widget) ||
           qobject_cast<const QErrorMessage*>(widget);
}

QString WindowClassName(const QWidget* widget)
{
    if (!widget)
        return {};
    if (IsStandardDialog(widget))
        return QStringLiteral("#32770");
    if (qobject_cast<const QCalendarWidget*>(widget))
        return QStringLiteral("SysMonthCal32");
    if (qobject_cast<const QMenu*>(widget) && widget->isWindow())
        return QStringLiteral("#32768");
    if (qobject_cast<const QSizeGrip*>(widget))
        return QStringLiteral("ScrollBar");
    if (const auto* area = qobject_cast<const QMdiArea*>(widget->parentWidget()); area && area->viewport() == widget)
        return QStringLiteral("mdiclient");
    return QString::fromLatin1(widget->metaObject()->className());
}

int FormTag(const QWidget* widget)
{
    return widget ? widget->property("Tag").toInt() : 0;
}

bool HasTag(const QWidget* widget, int tag)
{
    if (!widget)
        return false;
    const QVariant value = widget->property("Tag");
    return value.isValid() && value.toInt() == tag;
}

unsigned WindowStyleBits(const QWidget* widget)
{
    return widget ? widget->property("Style").toUInt() : 0U;
}

bool IsMdiChild(const QWidget* widget)
{
    return qobject_cast<const QMdiSubWindow*>(widget) != nullptr;
}

bool ParentIsMdiClient(const QWidget* widget)
{
    return widget && widget->parentWidget() && WindowClassName(widget->parentWidget()) == QLatin1String("mdiclient");
}

bool IsControlPopup(const QWidget* widget)
{
    return widget && widget->isWindow() && widget->windowType() == Qt::Popup && !qobject_cast<const QMenu*>(widget) &&
           widget->parentWidget();
}

QWidget* OwningWindow(QWidget* widget)
{
    QWidget* window = widget ? widget->window() : nullptr;
    while (IsControlPopup(window))
        window = window->parentWidget()->window();
    return window;
}
