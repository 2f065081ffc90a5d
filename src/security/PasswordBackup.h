#pragma once

#include <QString>

// The copy of the database file made before the management password changes.

// The stamp in the backup's name: the status bar's date and time with its
// separators removed (":", " ", "-", and the "/" and "\" that short date
// formats may use, which a file name cannot hold).
QString BackupStamp(const QString& dateTimeText);

// The backup beside a database file: its folder + "bak_" + stamp + its name
// (for the program's "_.udb": "bak_" + stamp + "_.udb"). A later backup of
// the same stamp (number 2, 3, ...) has "_2", "_3", ... after the stamp.
QString BackupFilePath(const QString& databasePath, const QString& stamp, int number = 1);

// Whether a file name is one that a backup of the database named databaseName takes.
bool IsBackupName(const QString& fileName, const QString& databaseName);

// Copies the database byte for byte to a new backup beside it, under the first
// of its stamp's names that nothing (no file, no link) has yet. It never
// replaces a file: two changes within one stamp (a clock set back, an hour
// repeated, separators that stood elsewhere) keep both backups. The copy gets
// the database's rights (the umask narrows them) before its first byte.
// Returns the backup's path; throws platform::FileError when no copy could
// be made, and then leaves no part of one behind.
QString MakeBackup(const QString& databasePath, const QString& stamp);
