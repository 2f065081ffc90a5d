#include "store/engine/DerivedKey.h"

#include "store/engine/DatabaseError.h"
#include "store/engine/SecretHeap.h"

#include <QByteArray>
#include <QFile>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <array>

namespace store {

// The derivation a key came from: the passphrase (to know it again), the
// salt it was made with, and the key as the engine takes it.
struct KeyDerivation {
    SecretBytes passphrase;
    QByteArray salt;
    SecretBytes rawKey;
};

namespace {

// The engine's settings for keyed files of this format.
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;
constexpr int Rounds = 64000;

// The key last derived, while something holds it.
std::weak_ptr<const KeyDerivation>& LastDerived()
{
    static std::weak_ptr<const KeyDerivation> last;
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

// "x'" + hex of the key + hex of the salt + "'", written straight into
// secret memory.
SecretBytes RawKey(const std::array<unsigned char, KeyBytes>& key, const QByteArray& salt)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::array<char, 2 + 2 * (KeyBytes + SaltBytes) + 1> text{};
    std::size_t at = 0;
    text[at++] = 'x';
    text[at++] = '\'';
    const auto hex = [&](unsigned char byte) {
        text[at++] = Digits[byte >> 4];
        text[at++] = Digits[byte & 0x0f];
    };
    for (unsigned char byte : key)
        hex(byte);
    for (char byte : salt)
        hex(static_cast<unsigned char>(byte));
    text[at++] = '\'';
    SecretBytes raw(text.data(), at);
    OPENSSL_cleanse(text.data(), text.size());
    return raw;
}

std::shared_ptr<const KeyDerivation> Derive(const SecretBytes& passphrase, const QByteArray& salt)
{
    std::array<unsigned char, KeyBytes> key{};
    const SecretAllocations secret; // the digest contexts keyed with the passphrase
    if (PKCS5_PBKDF2_HMAC_SHA1(passphrase.Data(), static_cast<int>(passphrase.Size()),
                               reinterpret_cast<const unsigned char*>(salt.constData()),
                               static_cast<int>(salt.size()), Rounds, KeyBytes, key.data())
        != 1) {
        OPENSSL_cleanse(key.data(), key.size());
        throw EDatabaseError("The database key could not be derived.");
    }
    ++derivations;
    auto derived = std::make_shared<KeyDerivation>(
        KeyDerivation{SecretBytes(passphrase.Data(), passphrase.Size()), salt, RawKey(key, salt)});
    OPENSSL_cleanse(key.data(), key.size());
    return derived;
}

} // namespace

const char* FileKey::Data() const { return derived_ ? derived_->rawKey.Data() : passphrase_.Data(); }

int FileKey::Size() const
{
    return static_cast<int>(derived_ ? derived_->rawKey.Size() : passphrase_.Size());
}

FileKey KeyForFile(const QString& path, const SecretBytes& passphrase)
{
    FileKey key;
    if (passphrase.Empty())
        return key;
    const QByteArray salt = SaltOf(path);
    if (salt.isEmpty()) {
        key.passphrase_ = SecretBytes(passphrase.Data(), passphrase.Size());
        return key;
    }
    std::shared_ptr<const KeyDerivation> held = LastDerived().lock();
    if (!held || !(held->passphrase == passphrase) || held->salt != salt) {
        held = Derive(passphrase, salt);
        LastDerived() = held;
    }
    key.derived_ = std::move(held);
    return key;
}

SecretBytes Utf8Secret(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    SecretBytes secret(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    OPENSSL_cleanse(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return secret;
}

int KeyDerivations() { return derivations; }

bool DerivedKeyHeld() { return !LastDerived().expired(); }

} // namespace store
