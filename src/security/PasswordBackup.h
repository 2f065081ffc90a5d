#pragma once

#include <QString>

// The copy of the database file made before the management password changes.

// The stamp in the backup's name: the status bar's date and time with its
// separators removed (":", " ", "-", and the "/" and "\" that short date
// formats may use, which a file name cannot hold).
QString BackupStamp(const QString& dateTimeText);

// The backup beside a database file: its folder + "bak_" + stamp + its name
// (for the program's "_.udb": "bak_" + stamp + "_.udb").
QString BackupFilePath(const QString& databasePath, const QString& stamp);

// Copies source to target byte for byte, replacing a file of that name. The
// copy gets the source's access rights, narrowed to those of the file it
// replaces. Returns whether the copy was made.
bool CopyReplacing(const QString& source, const QString& target);
