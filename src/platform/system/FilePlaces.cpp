#include "platform/system/FilePlaces.h"

#include "platform/system/FileError.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// As many links as the system itself follows before it gives up.
constexpr int MaxLinks = 40;

// The path made absolute against the working folder, without touching its
// ".." (which after a linked folder means another place than the text says).
QString Absolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
}

bool Identify(const QString& path, struct stat& info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool SameIdentity(const struct stat& first, const struct stat& second)
{
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

QString FolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString NameOf(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

QString FollowLinks(const QString& path)
{
    QString current = Absolute(path);
    for (int links = 0; links <= MaxLinks; ++links) {
        char target[PATH_MAX];
        const ssize_t size = ::readlink(QFile::encodeName(current).constData(), target, sizeof target);
        if (size < 0)
            return current; // no link (or nothing there yet): the file lies here
        const QString next = QFile::decodeName(QByteArray(target, static_cast<qsizetype>(size)));
        current = next.startsWith(QLatin1Char('/')) ? next : FolderOf(current) + QLatin1Char('/') + next;
    }
    throw FileError(path, ELOOP);
}

QString WhereLinksLead(const QString& path)
{
    try {
        return FollowLinks(path);
    } catch (const FileError&) {
        return Absolute(path);
    }
}

bool SameFile(const QString& first, const QString& second)
{
    const QString a = WhereLinksLead(first);
    const QString b = WhereLinksLead(second);
    struct stat infoA {};
    struct stat infoB {};
    const bool aExists = Identify(a, infoA);
    const bool bExists = Identify(b, infoB);
    if (aExists || bExists)
        return aExists && bExists && SameIdentity(infoA, infoB);
    if (NameOf(a) != NameOf(b))
        return false;
    const bool foldersKnown = Identify(FolderOf(a), infoA) && Identify(FolderOf(b), infoB);
    return foldersKnown ? SameIdentity(infoA, infoB) : FolderOf(a) == FolderOf(b);
}

bool FolderTakesFiles(const QString& folder)
{
    struct stat info {};
    // Checked as this process's writes are checked (its effective and file
    // system ids and capabilities), not as its real user.
    return Identify(folder, info) && S_ISDIR(info.st_mode)
        && ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace platform
