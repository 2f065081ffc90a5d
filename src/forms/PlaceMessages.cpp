#include "forms/PlaceMessages.h"

#include "platform/system/FileError.h"
#include "platform/system/FilePlaces.h"
#include "store/Unit_DB.h"
#include "store/engine/EngineSetup.h"

#include <QFile>

namespace {

int PathBytes(const QString& path) { return static_cast<int>(QFile::encodeName(path).size()); }

QString TooLong(const QString& path, int bytes, int longest)
{
    return QStringLiteral("\"%1\"的路径有%2字节, 数据库引擎最多只能打开%3字节的路径.").arg(path).arg(bytes).arg(longest);
}

QString FolderNotWritable(const QString& folder, const QString& what)
{
    return QStringLiteral("文件夹\"%1\"不能写入, 无法建立%2.").arg(folder, what);
}

} // namespace

QString DatabasePathTooLong(const QString& databasePath)
{
    // The engine opens the file where a link leads, by the path that the
    // link's text makes (its ".." kept as they are).
    const QString opened = platform::WhereLinksLead(databasePath);
    const int longest = store::LongestDatabasePath();
    if (PathBytes(opened) <= longest)
        return {};
    return QStringLiteral("数据库文件") + TooLong(opened, PathBytes(opened), longest)
        + QStringLiteral("\n请把程序放到路径较短的文件夹中.");
}

QString CannotMakeFile(const platform::FileError& error)
{
    const QString target = platform::WhereLinksLead(error.Path());
    const QString folder = platform::FolderOf(target);
    if (!platform::FolderTakesFiles(folder))
        return FolderNotWritable(folder, QLatin1Char('"') + platform::NameOf(target) + QLatin1Char('"'));
    return QString::fromUtf8(error.what());
}

QString CompactionFailed(const CompactionFailure& failure)
{
    const QString failed = QStringLiteral("数据库压缩失败.");
    switch (failure.cause) {
    case CompactionFailure::Cause::PathTooLong:
        return failed + QStringLiteral("\n压缩时在数据库旁边建立的临时文件")
            + TooLong(failure.path, failure.pathBytes, failure.longestPath);
    case CompactionFailure::Cause::FolderNotWritable:
        return failed + QLatin1Char('\n') + FolderNotWritable(failure.path, QStringLiteral("压缩用的临时文件"));
    case CompactionFailure::Cause::Unnamed:
        break;
    }
    return failed;
}
