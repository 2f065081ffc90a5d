#include "security/PasswordBackup.h"

#include "platform/system/FileError.h"
#include "platform/system/FileReplacement.h"

#include <QFile>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString BackupStamp(const QString& dateTimeText)
{
    QString stamp = dateTimeText;
    for (const QChar separator : {u':', u' ', u'-', u'/', u'\\'})
        stamp.remove(separator);
    return stamp;
}

QString BackupFilePath(const QString& databasePath, const QString& stamp, int number)
{
    const qsizetype nameStart = databasePath.lastIndexOf(QLatin1Char('/')) + 1;
    const QString suffix = number > 1 ? QStringLiteral("_%1").arg(number) : QString();
    return databasePath.left(nameStart) + QStringLiteral("bak_") + stamp + suffix + databasePath.mid(nameStart);
}

bool IsBackupName(const QString& fileName, const QString& databaseName)
{
    static const QString Prefix = QStringLiteral("bak_");
    return fileName.size() > Prefix.size() + databaseName.size() && fileName.startsWith(Prefix)
        && fileName.endsWith(databaseName);
}

namespace {

// More backups of one stamp than anyone makes by hand.
constexpr int MostBackupsOfAStamp = 10000;

// An open file, closed when it goes.
class ReadFile {
public:
    explicit ReadFile(const QString& path)
        : path_(path), fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        if (fd_ < 0)
            Fail();
    }
    ~ReadFile() { ::close(fd_); }
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    unsigned Mode() const
    {
        struct stat info {};
        return ::fstat(fd_, &info) == 0 ? info.st_mode & 0666 : 0600;
    }

    // Every byte from the start into the file being written.
    void CopyTo(platform::FileReplacement& copy) const
    {
        std::array<char, 64 * 1024> chunk{};
        for (off_t at = 0;;) {
            const ssize_t read = ::pread(fd_, chunk.data(), chunk.size(), at);
            if (read < 0 && errno == EINTR)
                continue;
            if (read < 0)
                Fail();
            if (read == 0)
                return;
            copy.Write(std::string_view(chunk.data(), static_cast<std::size_t>(read)));
            at += read;
        }
    }

private:
    [[noreturn]] void Fail() const { throw platform::FileError(path_, errno, platform::FileError::Action::Reading); }

    QString path_;
    int fd_;
};

bool NameTaken(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

QString MakeBackup(const QString& databasePath, const QString& stamp)
{
    const ReadFile database(databasePath);
    platform::ReplacementOptions options;
    options.newFileMode = database.Mode();
    options.mayReplace = false;
    for (int number = 1; number <= MostBackupsOfAStamp; ++number) {
        const QString backup = BackupFilePath(databasePath, stamp, number);
        if (NameTaken(backup))
            continue;
        platform::FileReplacement copy(backup, options);
        database.CopyTo(copy);
        try {
            copy.Commit();
            return backup;
        } catch (const platform::FileError& error) {
            if (error.Error() != EEXIST)
                throw; // a file of this name came meanwhile: the next name
        }
    }
    throw platform::FileError(BackupFilePath(databasePath, stamp), EEXIST);
}
