#include "store/BookFiles.h"

#include "platform/system/FileLock.h"
#include "platform/system/FilePlaces.h"
#include "security/PasswordBackup.h"
#include "store/DatabaseConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

#include <sys/stat.h>

namespace store {
namespace {

// The files the engine keeps beside a database while it changes it.
constexpr std::array JournalSuffixes{"-journal", "-wal", "-shm"};

unsigned ReadableLike(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0666 : 0644;
}

bool IsOneOfTheBackups(const QString& path, const QString& programFolder)
{
    const QString target = platform::WhereLinksLead(path);
    if (IsBackupName(platform::NameOf(target), DatabaseFileName)
        && platform::SameFile(platform::FolderOf(target), programFolder))
        return true;
    const QDir folder(programFolder);
    const QStringList backups =
        folder.entryList({QStringLiteral("bak_*") + DatabaseFileName}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : backups) {
        if (platform::SameFile(path, folder.filePath(name)))
            return true;
    }
    return false;
}

} // namespace

QString BookLockPath(const QString& databasePath)
{
    return platform::WhereLinksLead(databasePath) + QStringLiteral("-lock");
}

bool IsBookFile(const QString& path, const QString& programFolder)
{
    const QString database = programFolder + DatabaseFileName;
    QStringList own{database, programFolder + CategoryFileName, BookLockPath(database)};
    // The engine opens a database where its link leads, and keeps its
    // journals beside it there.
    for (const char* suffix : JournalSuffixes)
        own << platform::WhereLinksLead(database) + QLatin1String(suffix);
    for (const QString& file : own) {
        if (platform::SameFile(path, file))
            return true;
    }
    return IsOneOfTheBackups(path, programFolder);
}

BookLock BookLock::Take(const QString& databasePath)
{
    // A program without its database ends at once; no lock file is left for it.
    if (!QFileInfo::exists(databasePath))
        return {};
    const platform::FileLock lockFile =
        platform::FileLock::Take(BookLockPath(databasePath), true, ReadableLike(databasePath));
    const platform::FileLock database = platform::FileLock::Take(databasePath);
    BookLock lock;
    lock.heldElsewhere_ = lockFile.Result() == platform::FileLock::Outcome::HeldElsewhere
        || database.Result() == platform::FileLock::Outcome::HeldElsewhere;
    lock.locks_ = std::make_shared<std::pair<platform::FileLock, platform::FileLock>>(lockFile, database);
    return lock;
}

} // namespace store
