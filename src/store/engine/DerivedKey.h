#pragma once

#include "store/engine/SecretMemory.h"

#include <QString>

#include <memory>

// The key the engine is handed for a database file. A passphrase costs the
// engine a slow key derivation (PBKDF2-HMAC-SHA1, 64,000 rounds, with the
// 16-byte salt at the start of the file) at every open. The derived key is
// the same for as long as the file keeps its salt, so it is derived once and
// handed over as a raw key while it is held; the file and its key stay
// exactly what the passphrase makes.
//
// A derived key is held only while a FileKey made from it lives (each keyed
// connection keeps its own until it closes): once the last goes, the key is
// wiped, and the next connection derives it again.
namespace store {

struct KeyDerivation;

class FileKey {
public:
    FileKey() = default;

    // What to give sqlite3_key; empty for no key.
    const char* Data() const;
    int Size() const;

    // Keeps the derived key held while the result lives (null for a key that
    // was not derived here).
    std::shared_ptr<const void> Hold() const { return derived_; }

private:
    friend FileKey KeyForFile(const QString& path, const SecretBytes& passphrase);
    std::shared_ptr<const KeyDerivation> derived_;
    SecretBytes passphrase_;
};

// The key for the file at path: the derived key with the file's salt as
// "x'<64 hex digits of key><32 of salt>'", or the passphrase itself when the
// file has no salt yet (missing, empty or shorter than a salt), so that the
// engine makes one. An empty passphrase gives no key.
FileKey KeyForFile(const QString& path, const SecretBytes& passphrase);

// The text as UTF-8 in secret memory; the converted copy is wiped.
SecretBytes Utf8Secret(const QString& text);

// Derivations made by this process, and whether a derived key is held now;
// let tests see when a key is derived and that it goes.
int KeyDerivations();
bool DerivedKeyHeld();

} // namespace store
