#pragma once

#include <QString>

// Why a compaction failed, where the cause can be named to the user.
struct CompactionFailure {
    enum class Cause {
        Unnamed,           // the engine's or the system's refusal, or a damaged file
        PathTooLong,       // the compacted copy's path is longer than the engine takes
        FolderNotWritable, // no file can be made beside the database
    };
    Cause cause = Cause::Unnamed;
    QString path;        // the copy (PathTooLong) or the folder (FolderNotWritable)
    int pathBytes = 0;   // PathTooLong: the copy's path, in bytes
    int longestPath = 0; // PathTooLong: the longest path the engine takes
};

// Compacts and repairs the closed database file at databasePath: the engine
// writes a fresh copy of it, keyed with the same password, under a temporary
// name beside the file (beside a link's target), which then replaces the
// file in one atomic rename; a link stays a link, and the file keeps its
// rights and owner. Never raises: any failure answers false (with its cause
// in failure, when given) and leaves the old file whole, and no temporary
// file is left behind; copies that an interrupted compaction left are
// removed.
bool CompactDatabaseFile(const QString& databasePath, const QString& password, CompactionFailure* failure = nullptr);
