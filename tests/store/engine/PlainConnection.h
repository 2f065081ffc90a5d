#pragma once

#include "store/engine/FileFormat.h"
#include "store/engine/SqliteHandles.h"

#include <QString>

#include <sqlite3.h>

// A connection keyed as a plain C program of the engine keys it: with the
// passphrase, which the engine derives the key from itself, and the
// engine's own cipher, in the program's file format.
inline store::SqliteDatabase OpenAsPlainProgram(const QString& path, const QString& password,
                                                int flags = SQLITE_OPEN_READWRITE)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    store::SqliteDatabase db(raw);
    if (opened != SQLITE_OK)
        store::ThrowEngineError(raw);
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(raw, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        store::ThrowEngineError(raw);
    store::StateFileFormat(raw, "main");
    return db;
}
