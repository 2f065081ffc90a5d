#include "platform/system/FileError.h"

#include <cstring>

namespace platform {

FileError::FileError(const QString& path, int error, Action action)
    : std::runtime_error((action == Action::Reading ? QStringLiteral("无法读取文件\"%1\": %2")
                                                    : QStringLiteral("无法写入文件\"%1\": %2"))
                             .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                             .toStdString()),
      path_(path), error_(error)
{
}

} // namespace platform
