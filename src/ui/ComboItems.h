#pragma once

#include <QStringList>

class QComboBox;

// The items of a combo box, in order.
QStringList ItemsOf(const QComboBox* box);

// Replaces a combo box's items and keeps its text as it was; no change
// handler runs, since the text stays and no item is picked.
void ReplaceItemsKeepingText(QComboBox* box, const QStringList& items);
