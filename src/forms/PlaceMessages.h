#pragma once

#include <QString>

namespace platform {
class FileError;
}
struct CompactionFailure;

// The messages that name why the book cannot be used or written where it
// lies: a path longer than the engine takes, a folder that takes no files.

// The message for a database whose path (or its link's target) is longer than
// the engine opens; empty when the engine takes it.
QString DatabasePathTooLong(const QString& databasePath);

// The message for a file the program could not make, naming the folder when
// the folder takes no files, or else the system's reason.
QString CannotMakeFile(const platform::FileError& error);

// "数据库压缩失败." with the cause where it can be named.
QString CompactionFailed(const CompactionFailure& failure);
