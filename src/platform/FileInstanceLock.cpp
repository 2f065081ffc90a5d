// Single-instance lock as an exclusive advisory lock on a per-user runtime file
// named after the lock. The system drops the lock when the process ends, so a
// crashed copy never blocks the next start.
#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

class FileLockHandle final : public InstanceLockHandle {
public:
    explicit FileLockHandle(int fd) : fd_(fd) {}
    ~FileLockHandle() override { ::close(fd_); }
    FileLockHandle(const FileLockHandle&) = delete;
    FileLockHandle& operator=(const FileLockHandle&) = delete;

private:
    int fd_;
};

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/quillory-%1").arg(::getuid());
    QDir().mkpath(folder);
    return folder;
}

class FileInstanceLockService final : public InstanceLockService {
public:
    std::unique_ptr<InstanceLockHandle> acquire(const QString& name) override
    {
        const QByteArray path = QFile::encodeName(runtimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock"));
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return nullptr;
        // Anything but a plain file under that name (another program's object) counts as held.
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<FileLockHandle>(fd);
    }
};

} // namespace

template <>
InstanceLockService& Service<InstanceLockService>::defaultInstance()
{
    static FileInstanceLockService service;
    return service;
}

} // namespace platform
