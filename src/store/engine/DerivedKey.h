#pragma once

#include <QByteArray>
#include <QString>

// The key the engine is handed for a database file. A passphrase costs the
// engine a slow key derivation (PBKDF2-HMAC-SHA1, 64,000 rounds, with the
// 16-byte salt at the start of the file) at every open. The derived key is
// the same for as long as the file keeps its salt, so it is derived once per
// passphrase and salt and handed over as a raw key from then on; the file
// and its key stay exactly what the passphrase makes.
namespace store {

// What to give sqlite3_key for the file at path: the derived key with the
// file's salt as "x'<64 hex digits of key><32 of salt>'", or the passphrase
// itself when the file has no salt yet (missing, empty or shorter than a
// salt), so that the engine makes one. An empty passphrase stays empty.
QByteArray KeyForFile(const QString& path, const QByteArray& passphrase);

// Derivations made by this process; lets tests see that a key is not derived
// again.
int KeyDerivations();

} // namespace store
