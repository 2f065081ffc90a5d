#include "transfer/WholeFileWriter.h"

#include "platform/system/SyncToDisk.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace transfer {
namespace {

constexpr unsigned OwnerOnly = S_IRUSR | S_IWUSR;

} // namespace

unsigned PosixMode(QFileDevice::Permissions permissions)
{
    unsigned mode = 0;
    mode |= permissions & QFileDevice::ReadOwner ? S_IRUSR : 0;
    mode |= permissions & QFileDevice::WriteOwner ? S_IWUSR : 0;
    mode |= permissions & QFileDevice::ReadGroup ? S_IRGRP : 0;
    mode |= permissions & QFileDevice::WriteGroup ? S_IWGRP : 0;
    mode |= permissions & QFileDevice::ReadOther ? S_IROTH : 0;
    mode |= permissions & QFileDevice::WriteOther ? S_IWOTH : 0;
    return mode;
}

WholeFileWriter::WholeFileWriter(const QString& path, QFileDevice::Permissions permissions) : path_(path)
{
    const QFileInfo target(path);
    // Hidden beside the target, so that the rename never crosses file systems.
    temporary_ = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                   + QStringLiteral(".XXXXXX"));
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC); // made with mode 0600
    if (fd_ < 0) {
        temporary_.clear();
        Fail();
    }
    if (::fchmod(fd_, OwnerOnly & PosixMode(permissions)) != 0)
        Fail();
}

WholeFileWriter::~WholeFileWriter()
{
    CloseFile();
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
}

void WholeFileWriter::CloseFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void WholeFileWriter::Fail() const
{
    const int error = errno;
    throw std::runtime_error(QStringLiteral("无法写入文件\"%1\": %2")
                                 .arg(path_, QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString());
}

void WholeFileWriter::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            Fail();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void WholeFileWriter::Commit()
{
    // The copy must be whole on disk before it takes the target's place.
    if (::fsync(fd_) != 0)
        Fail();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        Fail();
    if (std::rename(temporary_.constData(), QFile::encodeName(path_).constData()) != 0)
        Fail();
    temporary_.clear();
    platform::SyncToDisk(QFileInfo(path_).absolutePath());
}

} // namespace transfer
