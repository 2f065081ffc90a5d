#include "store/engine/DerivedKey.h"

#include "store/engine/DatabaseError.h"

#include <QFile>

#include <openssl/evp.h>

#include <array>

namespace store {
namespace {

// The engine's settings for keyed files of this format.
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;
constexpr int Rounds = 64000;

struct Derivation {
    QByteArray passphrase;
    QByteArray salt;
    QByteArray rawKey;
};

// The last derivation: the program keys one file with one passphrase.
Derivation& LastDerivation()
{
    static Derivation last;
    return last;
}

int derivations = 0;

QByteArray SaltOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray salt = file.read(SaltBytes);
    return salt.size() == SaltBytes ? salt : QByteArray();
}

QByteArray Derive(const QByteArray& passphrase, const QByteArray& salt)
{
    std::array<unsigned char, KeyBytes> key{};
    if (PKCS5_PBKDF2_HMAC_SHA1(passphrase.constData(), static_cast<int>(passphrase.size()),
                               reinterpret_cast<const unsigned char*>(salt.constData()),
                               static_cast<int>(salt.size()), Rounds, KeyBytes, key.data())
        != 1)
        throw EDatabaseError("The database key could not be derived.");
    ++derivations;
    const QByteArray hex = (QByteArray(reinterpret_cast<const char*>(key.data()), KeyBytes) + salt).toHex();
    key.fill(0);
    return "x'" + hex + "'";
}

} // namespace

QByteArray KeyForFile(const QString& path, const QByteArray& passphrase)
{
    if (passphrase.isEmpty())
        return passphrase;
    const QByteArray salt = SaltOf(path);
    if (salt.isEmpty())
        return passphrase;
    Derivation& last = LastDerivation();
    if (last.passphrase != passphrase || last.salt != salt)
        last = {passphrase, salt, Derive(passphrase, salt)};
    return last.rawKey;
}

int KeyDerivations() { return derivations; }

} // namespace store
