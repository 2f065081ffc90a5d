#include "transfer/ImportFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace transfer {
namespace {

constexpr std::size_t Piece = std::size_t{1} << 20;

// The file descriptor, closed when it goes out of scope.
class OpenFile {
public:
    explicit OpenFile(const QByteArray& path) : fd_(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {}
    ~OpenFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void Refuse(const QString& path, const QString& why)
{
    throw ImportFileError(QStringLiteral("无法读取文件\"%1\": %2").arg(path, why).toStdString());
}

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Whole megabytes, rounded up: a file just above the limit must not read as the limit.
QString Megabytes(std::size_t bytes) { return QString::number((bytes + (std::size_t{1} << 20) - 1) >> 20); }

} // namespace

std::string ReadImportFile(const QString& path, TaskControl* task)
{
    // Not blocking: opening a pipe would otherwise wait for a writer.
    const OpenFile file(QFile::encodeName(path));
    if (file.Fd() < 0)
        Refuse(path, SystemReason(errno));
    struct stat status {};
    if (::fstat(file.Fd(), &status) != 0)
        Refuse(path, SystemReason(errno));
    if (!S_ISREG(status.st_mode))
        Refuse(path, S_ISDIR(status.st_mode) ? QStringLiteral("这是一个文件夹.")
                                             : QStringLiteral("这不是普通文件(而是设备、管道或套接字), 不能导入."));
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > MaxImportBytes)
        Refuse(path, QStringLiteral("文件有%1 MB, 超过了导入的上限%2 MB.").arg(Megabytes(size), Megabytes(MaxImportBytes)));
    // One byte more than the size shows whether the file grew while it was
    // read; no more than the limit is taken.
    std::string bytes(size + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(std::min(2 * bytes.size(), MaxImportBytes + 1));
        const ssize_t got = ::read(file.Fd(), bytes.data() + used, std::min(Piece, bytes.size() - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Refuse(path, SystemReason(errno));
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used > MaxImportBytes)
            Refuse(path, QStringLiteral("文件超过了导入的上限%1 MB.").arg(Megabytes(MaxImportBytes)));
        if (task)
            task->Report(static_cast<double>(used) / static_cast<double>(std::max(size, used)));
    }
    bytes.resize(used);
    return bytes;
}

} // namespace transfer
