#include "ui/ComboItems.h"

#include <QComboBox>
#include <QSignalBlocker>

QStringList ItemsOf(const QComboBox* box)
{
    QStringList items;
    items.reserve(box->count());
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void ReplaceItemsKeepingText(QComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}
