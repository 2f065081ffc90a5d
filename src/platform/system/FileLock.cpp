#include "platform/system/FileLock.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

struct FileLock::Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() { ::close(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

FileLock FileLock::Take(const QString& path, bool create, unsigned mode)
{
    FileLock lock;
    // Reading is all a lock needs, so a file that others may only read can
    // still be locked by them, and a second copy is told apart from a
    // file it may not open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), mode);
    if (fd < 0)
        return lock;
    // A lock of its own open file, so that it is also refused to a second
    // lock in this very process (a lock on a byte range would not be).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lock.outcome_ = errno == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unavailable;
        ::close(fd);
        return lock;
    }
    lock.held_ = std::make_shared<Descriptor>(fd);
    lock.outcome_ = Outcome::Held;
    return lock;
}

} // namespace platform
