#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The category list file: one category per line in the program's code page,
// every line ended by CR LF.

// Cuts the file's bytes into categories. Lines end at CR, LF or CR LF; a zero
// byte ends the text; a break at the very end adds no entry. Lines are kept
// as they are; invalid sequences become U+FFFD.
QStringList ParseCategoryBytes(QByteArrayView bytes);

// Reads the whole file and parses it as above. Throws std::runtime_error with
// the system's error text when the file cannot be read.
QStringList ReadCategoryFile(const QString& path);

// The file's bytes for the items: each in the code page, followed by CR LF.
QByteArray FormatCategoryBytes(const QStringList& items);

// Replaces the file with the items, formatted as above, as FileReplacement
// does: beside a link's target, keeping the old file's rights, whole or not
// at all. A failure (platform::FileError, with the system's reason) leaves
// the old file whole.
void WriteCategoryFile(const QString& path, const QStringList& items);

// The categories offered before any file is read, in list order.
QStringList BuiltInCategories();
