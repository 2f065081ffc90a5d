#include "store/Unit_DB.h"

#include "platform/system/FilePlaces.h"
#include "platform/system/FileReplacement.h"
#include "store/engine/DerivedKey.h"
#include "store/engine/EngineSetup.h"
#include "store/engine/FileFormat.h"
#include "store/engine/PageCipher.h"
#include "store/engine/SecretHeap.h"
#include "store/engine/SqliteHandles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

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

// The compacted copy's name while the engine writes it.
const QString CopyName = QStringLiteral("~ACPXXXXXX.tmp");

int PathBytes(const QString& path) { return static_cast<int>(QFile::encodeName(path).size()); }

void ExportInto(const QString& source, const QString& destination, const QString& password)
{
    // The copy's key is set up as the engine first writes it: what the engine
    // and the cryptography library make of it goes to secret memory.
    const store::SecretAllocations secret;
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

bool CompactDatabaseFile(const QString& databasePath, const QString& password, CompactionFailure* failure)
{
    CompactionFailure found;
    try {
        if (!QFileInfo(databasePath).isFile())
            return false;
        const QString folder = platform::FolderOf(platform::FollowLinks(databasePath));
        RemoveInterruptedCopies(folder + QLatin1Char('/'));
        // The copy is opened by the engine, whose limit its longer name may pass.
        const QString copyPath = folder + QLatin1Char('/') + CopyName;
        if (PathBytes(copyPath) > store::LongestDatabasePath()) {
            found = {CompactionFailure::Cause::PathTooLong, copyPath, PathBytes(copyPath), store::LongestDatabasePath()};
        } else if (!platform::FolderTakesFiles(folder)) {
            found = {CompactionFailure::Cause::FolderNotWritable, folder, 0, 0};
        } else {
            platform::ReplacementOptions options;
            options.temporaryName = CopyName;
            platform::FileReplacement copy(databasePath, options);
            ExportInto(databasePath, copy.TemporaryPath(), password);
            copy.Commit();
            return true;
        }
    } catch (...) {
    }
    if (failure)
        *failure = found;
    return false;
}
