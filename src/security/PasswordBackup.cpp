#include "security/PasswordBackup.h"

#include "store/DatabaseConstants.h"

#include <QFile>
#include <QSaveFile>

QString BackupStamp(const QString& dateTimeText)
{
    QString stamp = dateTimeText;
    for (const QChar separator : {u':', u' ', u'-', u'/', u'\\'})
        stamp.remove(separator);
    return stamp;
}

QString BackupFilePath(const QString& programFolder, const QString& stamp)
{
    return programFolder + QStringLiteral("bak_") + stamp + store::DatabaseFileName;
}

bool CopyReplacing(const QString& source, const QString& target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    // Written beside the target and renamed over it only when complete, so a
    // failed copy leaves an earlier file of that name as it was.
    QSaveFile output(target);
    // Unbuffered, so that a write the disk cuts short fails here rather than
    // unnoticed at commit, which would put a cut copy in the backup's place.
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
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
