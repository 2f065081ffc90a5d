#pragma once

#include "store/engine/SecretMemory.h"
#include "store/engine/SqliteHandles.h"

#include <QObject>
#include <QString>

#include <vector>

// The one connection to the database file. The connection string is kept as
// the program sets it; its "Data Source" names the file and its
// "Jet OLEDB:Database Password" is the key. Opening never creates a file.
class TADOConnection : public QObject {
    Q_OBJECT
public:
    explicit TADOConnection(QObject* parent = nullptr);
    ~TADOConnection() override;

    // Read at each Open; a change while connected takes effect after Close.
    // It holds the database password: Open moves its text into secret memory
    // (the string then borrows it, and so do its copies, for as long as this
    // connection lives) and wipes the ordinary copy it came in.
    QString ConnectionString;
    // Kept for the program's settings; no prompt is ever shown.
    bool LoginPrompt = false;

    // Opens the file named by the connection string (nothing when already
    // open). Raises EDatabaseError when the file is missing, the key is wrong
    // or the file is damaged; the connection then stays closed.
    void Open();
    // Releases the file. Open results of queries stay readable.
    void Close();
    bool Connected() const { return static_cast<bool>(db_); }

    // The engine handle, opening the connection first when needed.
    sqlite3* Handle();
    // Lets the engine's page cache hold the whole file (opening the
    // connection first when needed). Every re-list reads the whole table;
    // with the file held, each but the first finds every page decrypted
    // already. The engine takes memory only for the pages it reads, so the
    // cache costs at most the file; it is sized again when the file has
    // grown past it, also by another connection's writes.
    void FitCacheToFile();
    // The handle for a statement that writes. The engine opens a file it may
    // not write for reading only; such a connection is opened again here, so
    // that a file or folder that has become writable since is written without
    // a restart (and one that is still read-only fails with the engine's text).
    sqlite3* WritableHandle();

signals:
    void connectedChanged(bool connected);

private:
    void SealConnectionString();

    store::SqliteDatabase db_;
    std::vector<store::SecretBytes> sealed_; // every text ConnectionString has borrowed
    int cachePages_ = 0;
};
