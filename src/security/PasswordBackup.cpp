#include "security/PasswordBackup.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString BackupStamp(const QString& dateTimeText)
{
    QString stamp = dateTimeText;
    for (const QChar separator : {u':', u' ', u'-', u'/', u'\\'})
        stamp.remove(separator);
    return stamp;
}

QString BackupFilePath(const QString& databasePath, const QString& stamp)
{
    const qsizetype nameStart = databasePath.lastIndexOf(QLatin1Char('/')) + 1;
    return databasePath.left(nameStart) + QStringLiteral("bak_") + stamp + databasePath.mid(nameStart);
}

namespace {

// Who may read the copy: no one the source keeps out, nor anyone the file it
// replaces kept out.
QFileDevice::Permissions CopyPermissions(const QFile& source, const QString& target)
{
    constexpr QFileDevice::Permissions kModeBits =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
        | QFileDevice::ExeOther;
    QFileDevice::Permissions permissions = source.permissions() & kModeBits;
    const QFileInfo replaced(target);
    if (replaced.exists())
        permissions &= replaced.permissions();
    return permissions;
}

} // namespace

bool CopyReplacing(const QString& source, const QString& target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    const QFileDevice::Permissions permissions = CopyPermissions(input, target);
    // Written beside the target and renamed over it only when complete, so a
    // failed copy leaves an earlier file of that name as it was.
    QSaveFile output(target);
    // Unbuffered, so that a write the disk cuts short fails here rather than
    // unnoticed at commit, which would put a cut copy in the backup's place.
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Narrowed before the first byte lands, not after the copy is complete.
    if (!output.setPermissions(permissions))
        return false;
    constexpr qint64 kChunk = 64 * 1024;
    while (!input.atEnd()) {
        const QByteArray chunk = input.read(kChunk);
        if (chunk.isEmpty() && input.error() != QFileDevice::NoError)
            return false;
        if (output.write(chunk) != chunk.size())
            return false;
    }
    return output.commit();
}
