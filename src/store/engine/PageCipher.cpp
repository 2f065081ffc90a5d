// The low-level digest is the only form of SHA-1 whose state can be copied
// without allocating; it is deprecated, not removed, in this library version.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "store/engine/PageCipher.h"

#include "store/engine/EngineSetup.h"
#include "store/engine/SecretHeap.h"
#include "store/engine/SecretMemory.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <sqlite3.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace store {
namespace {

// The engine's cipher interface as its 3.4 versions define it: a table of
// functions, each taking the context the table's own ctx_init made.
struct CipherProvider {
    int (*activate)(void* ctx);
    int (*deactivate)(void* ctx);
    const char* (*get_provider_name)(void* ctx);
    int (*add_random)(void* ctx, void* buffer, int length);
    int (*random)(void* ctx, void* buffer, int length);
    int (*hmac)(void* ctx, unsigned char* key, int keySize, unsigned char* in, int inSize, unsigned char* in2,
                int in2Size, unsigned char* out);
    int (*kdf)(void* ctx, const unsigned char* pass, int passSize, unsigned char* salt, int saltSize, int rounds,
               int keySize, unsigned char* key);
    int (*cipher)(void* ctx, int mode, unsigned char* key, int keySize, unsigned char* iv, unsigned char* in,
                  int inSize, unsigned char* out);
    int (*set_cipher)(void* ctx, const char* name);
    const char* (*get_cipher)(void* ctx);
    int (*get_key_sz)(void* ctx);
    int (*get_iv_sz)(void* ctx);
    int (*get_block_sz)(void* ctx);
    int (*get_hmac_sz)(void* ctx);
    int (*ctx_copy)(void* target, void* source);
    int (*ctx_cmp)(void* first, void* second);
    int (*ctx_init)(void** ctx);
    int (*ctx_free)(void** ctx);
    int (*fips_status)(void* ctx);
    const char* (*get_provider_version)(void* ctx);
};
static_assert(sizeof(CipherProvider) == 20 * sizeof(void*));

constexpr int DigestBlock = SHA_CBLOCK;
constexpr int DigestSize = SHA_DIGEST_LENGTH;
constexpr int MaxKeySize = EVP_MAX_KEY_LENGTH;
static_assert(MaxKeySize <= DigestBlock, "a signing key is padded, never hashed first");

// One cipher context of the engine: the algorithm it was set to, and what was
// set up for the last key and direction used and for the last signing key.
// It lives in secret memory of its own.
struct PageCipherContext {
    EVP_CIPHER* algorithm;
    EVP_CIPHER_CTX* keyed;
    bool cipherReady;
    int cipherMode;
    int cipherKeySize;
    std::array<unsigned char, MaxKeySize> cipherKey;
    bool digestReady;
    int digestKeySize;
    std::array<unsigned char, MaxKeySize> digestKey;
    SHA_CTX inner; // after the key xor ipad
    SHA_CTX outer; // after the key xor opad
};

static_assert(std::is_trivially_copyable_v<PageCipherContext>, "made and wiped as plain memory");

PageCipherContext& Context(void* ctx) { return *static_cast<PageCipherContext*>(ctx); }

bool SameKey(int size, const unsigned char* key, int cachedSize, const std::array<unsigned char, MaxKeySize>& cached)
{
    return size == cachedSize && CRYPTO_memcmp(key, cached.data(), static_cast<std::size_t>(size)) == 0;
}

// Wipes every key and what was made from one, the key schedule included.
void ForgetKeys(PageCipherContext& context)
{
    context.cipherReady = false;
    context.digestReady = false;
    if (context.keyed)
        EVP_CIPHER_CTX_reset(context.keyed);
    OPENSSL_cleanse(context.cipherKey.data(), context.cipherKey.size());
    OPENSSL_cleanse(context.digestKey.data(), context.digestKey.size());
    OPENSSL_cleanse(&context.inner, sizeof context.inner);
    OPENSSL_cleanse(&context.outer, sizeof context.outer);
}

// The engine would write its page buffer whatever a function of this table
// returned, and the buffer may hold a page it decrypted before: so the
// output is wiped and the process ends before control goes back. What the
// interrupted transaction wrote so far is rolled back from its journal at
// the next open.
[[noreturn]] void FailClosed(void* output, int size) noexcept
{
    if (output && size > 0)
        OPENSSL_cleanse(output, static_cast<std::size_t>(size));
    static constexpr char Message[] = "The database page cipher failed; the program ends before anything "
                                      "unencrypted can be written.\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, Message, sizeof Message - 1);
    std::abort();
}

// HMAC-SHA1 of in followed by in2. The states after the padded key are made
// once per key; a page then costs its own digest and the outer one.
bool SignPage(PageCipherContext& context, const unsigned char* key, int keySize, const unsigned char* in, int inSize,
              const unsigned char* in2, int in2Size, unsigned char* out)
{
    if (keySize < 0 || keySize > MaxKeySize || inSize < 0 || in2Size < 0)
        return false;
    if (!context.digestReady || !SameKey(keySize, key, context.digestKeySize, context.digestKey)) {
        context.digestReady = false;
        std::array<unsigned char, DigestBlock> inner{};
        std::array<unsigned char, DigestBlock> outer{};
        std::memcpy(inner.data(), key, static_cast<std::size_t>(keySize));
        for (std::size_t i = 0; i < inner.size(); ++i) {
            outer[i] = inner[i] ^ 0x5c;
            inner[i] ^= 0x36;
        }
        const bool made = SHA1_Init(&context.inner) == 1 && SHA1_Update(&context.inner, inner.data(), inner.size()) == 1
            && SHA1_Init(&context.outer) == 1 && SHA1_Update(&context.outer, outer.data(), outer.size()) == 1;
        OPENSSL_cleanse(inner.data(), inner.size());
        OPENSSL_cleanse(outer.data(), outer.size());
        if (!made)
            return false;
        std::memcpy(context.digestKey.data(), key, static_cast<std::size_t>(keySize));
        context.digestKeySize = keySize;
        context.digestReady = true;
    }
    std::array<unsigned char, DigestSize> innerDigest{};
    SHA_CTX state = context.inner;
    bool signedPage = SHA1_Update(&state, in, static_cast<std::size_t>(inSize)) == 1
        && SHA1_Update(&state, in2, static_cast<std::size_t>(in2Size)) == 1 && SHA1_Final(innerDigest.data(), &state) == 1;
    state = context.outer;
    signedPage = signedPage && SHA1_Update(&state, innerDigest.data(), innerDigest.size()) == 1
        && SHA1_Final(out, &state) == 1;
    OPENSSL_cleanse(&state, sizeof state);
    OPENSSL_cleanse(innerDigest.data(), innerDigest.size());
    return signedPage;
}

// Encrypts (mode 1) or decrypts (mode 0) whole blocks without padding. The
// key schedule is made once per key and direction; a page sets only its IV.
bool CipherPage(PageCipherContext& context, int mode, const unsigned char* key, int keySize, const unsigned char* iv,
                const unsigned char* in, int inSize, unsigned char* out)
{
    if (!context.algorithm || !context.keyed || keySize < 0 || keySize > MaxKeySize || inSize < 0)
        return false;
    if (!context.cipherReady || mode != context.cipherMode
        || !SameKey(keySize, key, context.cipherKeySize, context.cipherKey)) {
        context.cipherReady = false;
        const SecretAllocations secret; // the key schedule
        if (EVP_CipherInit_ex(context.keyed, context.algorithm, nullptr, key, nullptr, mode) != 1
            || EVP_CIPHER_CTX_set_padding(context.keyed, 0) != 1)
            return false;
        std::memcpy(context.cipherKey.data(), key, static_cast<std::size_t>(keySize));
        context.cipherKeySize = keySize;
        context.cipherMode = mode;
        context.cipherReady = true;
    }
    int written = 0;
    int finished = 0;
    return EVP_CipherInit_ex(context.keyed, nullptr, nullptr, nullptr, iv, mode) == 1
        && EVP_CipherUpdate(context.keyed, out, &written, in, inSize) == 1
        && EVP_CipherFinal_ex(context.keyed, out + written, &finished) == 1 && written + finished == inSize;
}

int Activate(void*) { return SQLITE_OK; }
int Deactivate(void*) { return SQLITE_OK; }
const char* ProviderName(void*) { return PageCipherName; }
const char* ProviderVersion(void*) { return OpenSSL_version(OPENSSL_VERSION); }
int FipsStatus(void*) { return 0; }

int AddRandom(void*, void* buffer, int length)
{
    RAND_add(buffer, length, 0);
    return SQLITE_OK;
}

int Random(void*, void* buffer, int length)
{
    if (RAND_bytes(static_cast<unsigned char*>(buffer), length) != 1)
        FailClosed(buffer, length);
    return SQLITE_OK;
}

int DeriveKey(void*, const unsigned char* pass, int passSize, unsigned char* salt, int saltSize, int rounds,
              int keySize, unsigned char* key)
{
    const SecretAllocations secret;
    if (PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(pass), passSize, salt, saltSize, rounds, keySize, key)
        != 1)
        FailClosed(key, keySize);
    return SQLITE_OK;
}

int Sign(void* ctx, unsigned char* key, int keySize, unsigned char* in, int inSize, unsigned char* in2, int in2Size,
         unsigned char* out)
{
    if (!SignPage(Context(ctx), key, keySize, in, inSize, in2, in2Size, out))
        FailClosed(out, DigestSize);
    return SQLITE_OK;
}

int Cipher(void* ctx, int mode, unsigned char* key, int keySize, unsigned char* iv, unsigned char* in, int inSize,
           unsigned char* out)
{
    if (!CipherPage(Context(ctx), mode, key, keySize, iv, in, inSize, out))
        FailClosed(out, inSize);
    return SQLITE_OK;
}

int SetAlgorithm(void* ctx, const char* name)
{
    PageCipherContext& context = Context(ctx);
    EVP_CIPHER* algorithm = EVP_CIPHER_fetch(nullptr, name, nullptr);
    if (!algorithm)
        return SQLITE_ERROR;
    EVP_CIPHER_free(context.algorithm);
    context.algorithm = algorithm;
    ForgetKeys(context);
    return SQLITE_OK;
}

const char* AlgorithmName(void* ctx)
{
    const EVP_CIPHER* algorithm = Context(ctx).algorithm;
    return algorithm ? EVP_CIPHER_get0_name(algorithm) : "";
}

int KeySize(void* ctx)
{
    const EVP_CIPHER* algorithm = Context(ctx).algorithm;
    return algorithm ? EVP_CIPHER_get_key_length(algorithm) : 0;
}

int IvSize(void* ctx)
{
    const EVP_CIPHER* algorithm = Context(ctx).algorithm;
    return algorithm ? EVP_CIPHER_get_iv_length(algorithm) : 0;
}

int BlockSize(void* ctx)
{
    const EVP_CIPHER* algorithm = Context(ctx).algorithm;
    return algorithm ? EVP_CIPHER_get_block_size(algorithm) : 0;
}

int SignatureSize(void*) { return DigestSize; }

int CopyContext(void* target, void* source)
{
    PageCipherContext& to = Context(target);
    EVP_CIPHER* algorithm = Context(source).algorithm;
    if (algorithm && EVP_CIPHER_up_ref(algorithm) != 1)
        return SQLITE_ERROR;
    EVP_CIPHER_free(to.algorithm);
    to.algorithm = algorithm;
    ForgetKeys(to);
    return SQLITE_OK;
}

// 1 when both use the same algorithm.
int CompareContexts(void* first, void* second)
{
    const EVP_CIPHER* a = Context(first).algorithm;
    const EVP_CIPHER* b = Context(second).algorithm;
    return a == b || (a && b && EVP_CIPHER_get_nid(a) == EVP_CIPHER_get_nid(b));
}

int CreateContext(void** ctx)
{
    auto* context = static_cast<PageCipherContext*>(MapSecret(sizeof(PageCipherContext)));
    if (!context)
        return SQLITE_NOMEM;
    const SecretAllocations secret; // the context that will hold a key schedule
    context->keyed = EVP_CIPHER_CTX_new();
    if (!context->keyed) {
        UnmapSecret(context, sizeof(PageCipherContext));
        return SQLITE_NOMEM;
    }
    *ctx = context;
    return SQLITE_OK;
}

int FreeContext(void** ctx)
{
    auto* context = static_cast<PageCipherContext*>(*ctx);
    if (context) {
        EVP_CIPHER_CTX_free(context->keyed); // wipes the key schedule
        EVP_CIPHER_free(context->algorithm);
        UnmapSecret(context, sizeof(PageCipherContext));
        *ctx = nullptr;
    }
    return SQLITE_OK;
}

constexpr CipherProvider PageCipherProvider{
    Activate,  Deactivate,   ProviderName, AddRandom,     Random,      Sign,          DeriveKey,
    Cipher,    SetAlgorithm, AlgorithmName, KeySize,      IvSize,      BlockSize,     SignatureSize,
    CopyContext, CompareContexts, CreateContext, FreeContext, FipsStatus, ProviderVersion,
};

// The engine's entry points for a cipher of one's own. They are exported but
// not declared in its header, so they are looked up, and their absence only
// leaves the engine's own cipher in place.
struct EngineEntries {
    using Malloc = void* (*)(int size);
    using Free = void (*)(void* memory, int size);
    using Register = int (*)(CipherProvider* provider);
    using Registered = CipherProvider* (*)();
    using Fill = int (*)(CipherProvider* provider);
    Malloc malloc = nullptr;
    Free free = nullptr;
    Register registerProvider = nullptr;
    Registered registered = nullptr;
    Fill fillWithOwn = nullptr; // the engine's own cipher
    explicit operator bool() const { return malloc && free && registerProvider && registered && fillWithOwn; }
};

template <typename Function>
Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// A page of the file's format (its bytes before the IV and the signature),
// encrypted and signed by the engine's own cipher with fixed keys and IV:
// this cipher must decrypt it to the same bytes, sign it alike and encrypt
// it to the same bytes again.
bool MatchesEnginesOwnCipher(const EngineEntries& entries)
{
    constexpr int PageBytes = 1024 - 48; // the page less its IV, signature and padding
    constexpr int KeyBytes = 32;
    constexpr int IvBytes = 16;
    std::array<unsigned char, KeyBytes> key{};
    std::array<unsigned char, KeyBytes> signingKey{};
    std::array<unsigned char, IvBytes> iv{};
    std::array<unsigned char, PageBytes> page{};
    for (std::size_t i = 0; i < KeyBytes; ++i) {
        key[i] = static_cast<unsigned char>(i * 7 + 1);
        signingKey[i] = static_cast<unsigned char>(0xa5 ^ (i * 13));
    }
    for (std::size_t i = 0; i < IvBytes; ++i)
        iv[i] = static_cast<unsigned char>(i * 29 + 3);
    for (std::size_t i = 0; i < PageBytes; ++i)
        page[i] = static_cast<unsigned char>(i * i + 17);
    std::array<unsigned char, 4> pageNumber{7, 0, 0, 0}; // little-endian, as the engine signs it

    // On disk: the encrypted page, then its IV; the signature covers both.
    std::array<unsigned char, PageBytes + IvBytes> sealed{};
    std::array<unsigned char, DigestSize> signature{};
    CipherProvider engine{};
    void* own = nullptr;
    if (entries.fillWithOwn(&engine) != SQLITE_OK || engine.ctx_init(&own) != SQLITE_OK)
        return false;
    engine.set_cipher(own, "aes-256-cbc");
    std::copy(iv.begin(), iv.end(), sealed.begin() + PageBytes);
    const bool made = engine.get_key_sz(own) == KeyBytes && engine.get_iv_sz(own) == IvBytes
        && engine.get_hmac_sz(own) == DigestSize
        && engine.cipher(own, 1, key.data(), KeyBytes, iv.data(), page.data(), PageBytes, sealed.data()) == SQLITE_OK
        && engine.hmac(own, signingKey.data(), KeyBytes, sealed.data(), static_cast<int>(sealed.size()),
                       pageNumber.data(), static_cast<int>(pageNumber.size()), signature.data())
            == SQLITE_OK;
    engine.ctx_free(&own);
    if (!made)
        return false;

    void* ours = nullptr;
    if (CreateContext(&ours) != SQLITE_OK)
        return false;
    PageCipherContext& context = Context(ours);
    std::array<unsigned char, PageBytes> opened{};
    std::array<unsigned char, PageBytes> resealed{};
    std::array<unsigned char, DigestSize> ourSignature{};
    const bool matches = SetAlgorithm(ours, "aes-256-cbc") == SQLITE_OK && KeySize(ours) == KeyBytes
        && IvSize(ours) == IvBytes
        && CipherPage(context, 0, key.data(), KeyBytes, iv.data(), sealed.data(), PageBytes, opened.data())
        && opened == page
        && SignPage(context, signingKey.data(), KeyBytes, sealed.data(), static_cast<int>(sealed.size()),
                    pageNumber.data(), static_cast<int>(pageNumber.size()), ourSignature.data())
        && ourSignature == signature
        && CipherPage(context, 1, key.data(), KeyBytes, iv.data(), page.data(), PageBytes, resealed.data())
        && std::equal(resealed.begin(), resealed.end(), sealed.begin());
    FreeContext(&ours);
    return matches;
}

// The interface above is the one of the engine's 3.4 versions; any other may
// differ, and gets no cipher of ours.
const EngineEntries& Entries()
{
    static const EngineEntries entries = [] {
        EngineEntries found;
        if (!CipherVersion().starts_with("3.4."))
            return found;
        found.malloc = Lookup<EngineEntries::Malloc>("sqlcipher_malloc");
        found.free = Lookup<EngineEntries::Free>("sqlcipher_free");
        found.registerProvider = Lookup<EngineEntries::Register>("sqlcipher_register_provider");
        found.registered = Lookup<EngineEntries::Registered>("sqlcipher_get_provider");
        found.fillWithOwn = Lookup<EngineEntries::Fill>("sqlcipher_openssl_setup");
        return found && MatchesEnginesOwnCipher(found) ? found : EngineEntries{};
    }();
    return entries;
}

// A table in the engine's memory, which the engine frees when another table
// replaces it or when its last keyed connection closes.
CipherProvider* TableOf(const EngineEntries& entries, const CipherProvider& content)
{
    auto* table = static_cast<CipherProvider*>(entries.malloc(sizeof(CipherProvider)));
    if (table)
        *table = content;
    return table;
}

} // namespace

PageCipherScope::PageCipherScope()
{
    const EngineEntries& entries = Entries();
    if (!entries)
        return;
    // Registering frees the table it replaces: a copy of it is what the end
    // of the scope registers again (none when none was registered).
    CipherProvider* previous = nullptr;
    if (const CipherProvider* registered = entries.registered()) {
        previous = TableOf(entries, *registered);
        if (!previous)
            return;
    }
    CipherProvider* ours = TableOf(entries, PageCipherProvider);
    if (!ours || entries.registerProvider(ours) != SQLITE_OK) {
        entries.free(ours, sizeof(CipherProvider));
        entries.free(previous, sizeof(CipherProvider));
        return;
    }
    previous_ = previous;
    active_ = true;
}

PageCipherScope::~PageCipherScope()
{
    if (active_)
        Entries().registerProvider(static_cast<CipherProvider*>(previous_));
}

} // namespace store
