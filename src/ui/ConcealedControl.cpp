#include "ui/ConcealedControl.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

namespace {

// The role a concealed control shows assistive tools; set on the control.
constexpr char kConcealedRole[] = "concealedAccessibleRole";

// A control as assistive tools see it: name, role and state, without text,
// value or actions. Having no text, it sends no text changes either: the
// accessibility bus drops them for want of a text to describe.
class ConcealedControl final : public QAccessibleWidget {
public:
    ConcealedControl(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? QAccessibleWidget::text(kind) : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (const auto* edit = qobject_cast<const QLineEdit*>(widget())) {
            state.editable = !edit->isReadOnly();
            state.passwordEdit = edit->echoMode() != QLineEdit::Normal;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType) override { return nullptr; }
};

QAccessibleInterface* ConcealedControlFactory(const QString& /*className*/, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant role = widget ? widget->property(kConcealedRole) : QVariant();
    return role.isValid() ? new ConcealedControl(widget, static_cast<QAccessible::Role>(role.toInt())) : nullptr;
}

} // namespace

void ConcealFromAssistiveTools(QWidget* control, QAccessible::Role role)
{
    // Asked before Qt's own factories, for every object.
    static const bool installed = (QAccessible::installFactory(ConcealedControlFactory), true);
    Q_UNUSED(installed);
    control->setProperty(kConcealedRole, static_cast<int>(role));
    // A description made before the control was concealed is dropped, so that
    // the next one asked for is the concealed one.
    QAccessibleInterface* described = QAccessible::queryAccessibleInterface(control);
    if (described && !dynamic_cast<ConcealedControl*>(described))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
}
