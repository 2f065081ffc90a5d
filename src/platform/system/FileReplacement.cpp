#include "platform/system/FileReplacement.h"

#include "platform/system/FilePlaces.h"
#include "platform/system/SyncToDisk.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int TemporaryNameTries = 100;

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

QString WithRandomCharacters(QString name)
{
    static constexpr char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype at = name.lastIndexOf(QStringLiteral("XXXXXX"));
    for (qsizetype i = at; at >= 0 && i < at + 6; ++i)
        name[i] = QLatin1Char(Characters[QRandomGenerator::system()->bounded(int(sizeof Characters - 1))]);
    return name;
}

// Renames without replacing: fails with EEXIST when the target is there.
int RenameIfAbsent(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename: a second name for the file is made
    // only where none is, and then the first goes.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

} // namespace

FileReplacement::FileReplacement(const QString& path, const ReplacementOptions& options)
    : path_(path), target_(FollowLinks(path)), mayReplace_(options.mayReplace)
{
    struct stat replaced {};
    const bool replacing = ::stat(Encoded(target_).constData(), &replaced) == 0;
    const QString name = options.temporaryName.isEmpty()
        ? QLatin1Char('.') + NameOf(target_) + QStringLiteral(".XXXXXX")
        : options.temporaryName;
    for (int tries = 0; fd_ < 0 && tries < TemporaryNameTries; ++tries) {
        // Beside the target, so that the rename never crosses file systems.
        temporary_ = FolderOf(target_) + QLatin1Char('/') + WithRandomCharacters(name);
        // Private until it has the replaced file's owner and rights.
        fd_ = ::open(Encoded(temporary_).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     replacing ? 0600 : options.newFileMode);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        Fail(error);
    }
    if (replacing) {
        // Another owner is kept where the system allows it (it takes root).
        if (replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept = ::fchown(fd_, replaced.st_uid, replaced.st_gid);
        }
        // Its owner may write it meanwhile (also the engine, through its own
        // open, when the file it replaces is read-only); nobody else gets
        // more than the kept rights, and Commit sets exactly those.
        keptMode_ = replaced.st_mode & options.keptMode & 07777;
        if (::fchmod(fd_, keptMode_ | S_IRUSR | S_IWUSR) != 0)
            Fail(errno);
    }
}

FileReplacement::~FileReplacement()
{
    CloseFile();
    if (!temporary_.isEmpty())
        ::unlink(Encoded(temporary_).constData());
}

void FileReplacement::CloseFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void FileReplacement::Fail(int error) const { throw FileError(path_, error); }

void FileReplacement::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            Fail(written == 0 ? EIO : errno);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void FileReplacement::Commit()
{
    // The new file must be whole on disk before it takes the target's place
    // (also what another writer, such as the engine, put into it).
    if ((keptMode_ >= 0 && ::fchmod(fd_, static_cast<mode_t>(keptMode_)) != 0) || ::fsync(fd_) != 0)
        Fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        Fail(errno);
    const QByteArray from = Encoded(temporary_);
    const QByteArray to = Encoded(target_);
    const int error = !mayReplace_                                    ? RenameIfAbsent(from, to)
                      : std::rename(from.constData(), to.constData()) == 0 ? 0
                                                                          : errno;
    if (error != 0)
        Fail(error);
    temporary_.clear();
    SyncToDisk(FolderOf(target_));
}

} // namespace platform
