#pragma once

#include "sync/SyncStore.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

// The fields changed on both sides since the last sync, one row each (the
// record's name, the field, the value here and the server's), and for each
// a choice of 本机 or 服务器. Answers the choices (true: the server's value)
// in the order of the conflicts, or nothing when the user cancelled.
// The dialog is named "SyncConflicts"; its choices "Keep0", "Keep1" ...,
// its buttons "Ok" and "Cancel".
std::optional<std::vector<bool>> AskConflictChoices(QWidget* window, const std::vector<booksync::Conflict>& conflicts);

// The Chinese name of a record's column.
QString ColumnTitle(int column);
