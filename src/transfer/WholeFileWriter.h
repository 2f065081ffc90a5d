#pragma once

#include "platform/system/FileReplacement.h"

#include <QFileDevice>
#include <QString>

#include <string_view>

namespace transfer {

// Writes a file whole or not at all, as FileReplacement does (beside a
// link's target, renamed over it at Commit), readable and writable by its
// owner only and by no more than the permissions given: a file it replaces
// keeps no more of its own rights than that. Every failure throws
// platform::FileError, a std::runtime_error with the system's reason.
class WholeFileWriter {
public:
    WholeFileWriter(const QString& path, QFileDevice::Permissions permissions);

    void Write(std::string_view bytes) { file_.Write(bytes); }
    void Commit() { file_.Commit(); }

private:
    platform::FileReplacement file_;
};

} // namespace transfer
