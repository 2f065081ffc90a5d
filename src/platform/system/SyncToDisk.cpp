#include "platform/system/SyncToDisk.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool SyncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace platform
