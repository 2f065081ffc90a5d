#include "desktop/PopupMenu.h"

#include <QAction>

namespace {
constexpr char DefaultProperty[] = "quilloryDefaultItem";
} // namespace

TPopupMenu::TPopupMenu(QWidget* parent) : QMenu(parent) {}

void TPopupMenu::SetDefault(QAction* item, bool isDefault)
{
    item->setProperty(DefaultProperty, isDefault);
    setDefaultAction(DefaultItem());
}

bool TPopupMenu::IsDefault(const QAction* item)
{
    return item->property(DefaultProperty).toBool();
}

QAction* TPopupMenu::DefaultItem() const
{
    for (QAction* item : actions()) {
        if (IsDefault(item))
            return item;
    }
    return nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    exec(QPoint(X, Y));
}
