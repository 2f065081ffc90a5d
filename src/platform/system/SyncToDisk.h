#pragma once

#include <QString>

namespace platform {

// Asks the system to put a file's, or a folder's, contents on disk before
// returning, so that a rename into place survives a power cut. False when the
// path cannot be opened or the system reports a failure.
bool SyncToDisk(const QString& path);

} // namespace platform
