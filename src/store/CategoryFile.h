#pragma once

#include <QString>
#include <QStringList>

// The category list file: one category per line in the program's code page,
// every line ended by CR LF.

// Reads the whole file. Lines end at CR, LF or CR LF; a zero byte ends the
// text; a break at the very end adds no entry. Lines are kept as they are.
// Throws std::runtime_error with the system's error text when the file
// cannot be read.
QStringList ReadCategoryFile(const QString& path);

// Replaces the file with the items, each followed by CR LF. The new content
// goes to a temporary file beside it that then takes the old file's place,
// so a failure (std::runtime_error with the system's error text) leaves the
// old file whole.
void WriteCategoryFile(const QString& path, const QStringList& items);

// The categories offered before any file is read, in list order.
QStringList BuiltInCategories();
