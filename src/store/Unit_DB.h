#pragma once

#include <QString>

// Compacts and repairs the closed database file at databasePath: the engine
// writes a fresh copy of it, keyed with the same password, under a temporary
// name beside it, which then replaces the file in one atomic rename. Never
// raises: any failure answers false and leaves the old file whole, and no
// temporary file is left behind; copies that an interrupted compaction left
// are removed.
bool CompactDatabaseFile(const QString& databasePath, const QString& password);
