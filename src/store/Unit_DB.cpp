#include "store/Unit_DB.h"

#include "platform/system/SyncToDisk.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/FileFormat.h"
#include "store/engine/PageCipher.h"
#include "store/engine/SqliteHandles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cstdio>

namespace {

// A new, empty file beside the database for the compacted copy. It is kept:
// the engine attaches it with the source connection's flags, which allow
// opening an existing file only, and an empty file is an empty database.
QString FreshTemporaryFile(const QString& folder)
{
    QTemporaryFile file(folder + QStringLiteral("~ACPXXXXXX.tmp"));
    file.setAutoRemove(false);
    return file.open() ? file.fileName() : QString();
}

// Removes the copies, with their journals, that compactions interrupted by
// the end of the process left beside the database. Only compaction makes
// files of these names, and only one copy of the program runs at a time.
void RemoveInterruptedCopies(const QString& folder)
{
    const QDir dir(folder);
    const QStringList copies = dir.entryList({QStringLiteral("~ACP??????.tmp"), QStringLiteral("~ACP??????.tmp-journal")},
                                             QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : copies)
        QFile::remove(dir.filePath(name));
}

// Removes the temporary copy when compaction does not get as far as the rename.
class TemporaryCopy {
public:
    explicit TemporaryCopy(QString path) : path_(std::move(path)) {}
    ~TemporaryCopy()
    {
        if (!path_.isEmpty())
            QFile::remove(path_);
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    const QString& path() const { return path_; }
    void release() { path_.clear(); }

private:
    QString path_;
};

void ExportInto(const QString& source, const QString& destination, const QString& password)
{
    store::SqliteDatabase db = store::OpenKeyedDatabase(source, password, store::OpenMode::ExistingFile);
    store::SqliteStatement attach =
        store::PrepareSingleStatement(db.get(), QByteArrayLiteral("ATTACH DATABASE ?1 AS compacted KEY ?2"));
    const QByteArray destinationUtf8 = destination.toUtf8();
    // The copy takes the source's derived key and salt (held while the source
    // is open), so the engine derives nothing for it and the compacted file
    // keeps the key of the file it replaces. The engine reads it from here.
    const store::FileKey key = store::KeyForFile(source, store::Utf8Secret(password));
    sqlite3_bind_text(attach.get(), 1, destinationUtf8.constData(), destinationUtf8.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(attach.get(), 2, key.Data(), key.Size(), SQLITE_STATIC);
    {
        const store::PageCipherScope cipher; // for the copy, keyed by the attach
        store::RunToCompletion(db.get(), attach.get());
    }
    attach.reset();
    // An attached file starts from the engine's defaults, whatever the source's.
    store::StateFileFormat(db.get(), "compacted");
    store::Execute(db.get(), QByteArrayLiteral("SELECT sqlcipher_export('compacted')"));
    store::Execute(db.get(), QByteArrayLiteral("DETACH DATABASE compacted"));
}

} // namespace

bool CompactDatabaseFile(const QString& databasePath, const QString& password)
{
    try {
        const QFileInfo database(databasePath);
        if (!database.isFile())
            return false;
        const QString folder = database.absolutePath() + QLatin1Char('/');
        RemoveInterruptedCopies(folder);
        TemporaryCopy copy(FreshTemporaryFile(folder));
        if (copy.path().isEmpty())
            return false;
        ExportInto(databasePath, copy.path(), password);
        // The compacted file keeps the access rights of the one it replaces.
        if (!QFile::setPermissions(copy.path(), database.permissions()))
            return false;
        // The copy must be whole on disk before it takes the database's place.
        if (!platform::SyncToDisk(copy.path()))
            return false;
        if (std::rename(QFile::encodeName(copy.path()).constData(), QFile::encodeName(databasePath).constData()) != 0)
            return false;
        copy.release();
        platform::SyncToDisk(folder);
        return true;
    } catch (...) {
        return false;
    }
}
