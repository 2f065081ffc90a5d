#include "ui/EditableList.h"

#include "ui/FormBuilding.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

// The wheel belongs to the control that has the focus: over a list that has
// not, it changes nothing (and so runs no handler of the list).
class WheelNeedsFocus final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

} // namespace

QComboBox* makeEditableList(QWidget* parent, const char* name, QRect geometry, const QStringList& items)
{
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(8);
    box->addItems(items);
    box->setGeometry(geometry);

    // No completer: it would fill in an item while the user types and put the
    // item's letter case in place of the typed one.
    box->setCompleter(nullptr);
    // When its edit box loses the focus, a combo box makes an item with the
    // same text current and reports it as activated. Here only a choice from
    // the list picks an item.
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    LiftLengthLimit(box->lineEdit());

    // A turn of the wheel neither focuses the box nor changes it unfocused.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(new WheelNeedsFocus(box));
    return box;
}
