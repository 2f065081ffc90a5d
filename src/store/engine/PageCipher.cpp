// The low-level digest is the only form of SHA-1 whose state can be copied
// without allocating; it is deprecated, not removed, in this library version.
#define OPENSSL_SUPPRESS_DEPRECATED
#define SQLITE_HAS_CODEC 1
#include "store/engine/PageCipher.h"

#include "store/engine/EngineSetup.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <sqlite3.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <string_view>
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

// The engine's entry points for a cipher of one's own. They are exported but
// not declared in its header, so they are looked up, and their absence only
// leaves the engine's default in place.
struct EngineEntries {
    using Malloc = void* (*)(int size);
    using Free = void (*)(void* memory, int size);
    using Register = int (*)(CipherProvider* provider);
    using Default = int (*)(CipherProvider* provider);
    Malloc malloc = nullptr;
    Free free = nullptr;
    Register registerProvider = nullptr;
    Default fillWithDefault = nullptr;
    explicit operator bool() const { return malloc && free && registerProvider && fillWithDefault; }
};

template <typename Function>
Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// The interface above is the one of the engine's 3.4 versions; any other may
// differ, and gets no cipher of ours.
bool EngineSpeaksThisInterface()
{
    PrepareEngine(); // asking starts the engine, which must be set up first
    sqlite3* db = nullptr;
    bool matches = false;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* version = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            matches = version && std::string_view(version).starts_with("3.4.");
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return matches;
}

const EngineEntries& Entries()
{
    static const EngineEntries entries = [] {
        EngineEntries found;
        if (!EngineSpeaksThisInterface())
            return found;
        found.malloc = Lookup<EngineEntries::Malloc>("sqlcipher_malloc");
        found.free = Lookup<EngineEntries::Free>("sqlcipher_free");
        found.registerProvider = Lookup<EngineEntries::Register>("sqlcipher_register_provider");
        found.fillWithDefault = Lookup<EngineEntries::Default>("sqlcipher_openssl_setup");
        return found;
    }();
    return entries;
}

constexpr int DigestBlock = SHA_CBLOCK;
constexpr int DigestSize = SHA_DIGEST_LENGTH;
constexpr int MaxKeySize = EVP_MAX_KEY_LENGTH;
static_assert(MaxKeySize <= DigestBlock, "a signing key is padded, never hashed first");

// One cipher context of the engine: the algorithm it was set to, and what was
// set up for the last key and direction used and for the last signing key.
// It lives in the engine's own memory for secrets, which is wiped when freed.
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

void ForgetKeys(PageCipherContext& context)
{
    context.cipherReady = false;
    context.digestReady = false;
    OPENSSL_cleanse(context.cipherKey.data(), context.cipherKey.size());
    OPENSSL_cleanse(context.digestKey.data(), context.digestKey.size());
    OPENSSL_cleanse(&context.inner, sizeof context.inner);
    OPENSSL_cleanse(&context.outer, sizeof context.outer);
}

int Ok(bool succeeded) { return succeeded ? SQLITE_OK : SQLITE_ERROR; }

int Activate(void*) { return SQLITE_OK; }
int Deactivate(void*) { return SQLITE_OK; }
const char* ProviderName(void*) { return "openssl"; }
const char* ProviderVersion(void*) { return OpenSSL_version(OPENSSL_VERSION); }
int FipsStatus(void*) { return 0; }

int AddRandom(void*, void* buffer, int length)
{
    RAND_add(buffer, length, 0);
    return SQLITE_OK;
}

int Random(void*, void* buffer, int length)
{
    return Ok(RAND_bytes(static_cast<unsigned char*>(buffer), length) == 1);
}

int DeriveKey(void*, const unsigned char* pass, int passSize, unsigned char* salt, int saltSize, int rounds,
              int keySize, unsigned char* key)
{
    return Ok(PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(pass), passSize, salt, saltSize, rounds, keySize,
                                     key)
              == 1);
}

// HMAC-SHA1 of in followed by in2. The states after the padded key are made
// once per key; a page then costs its own digest and the outer one.
int Sign(void* ctx, unsigned char* key, int keySize, unsigned char* in, int inSize, unsigned char* in2, int in2Size,
         unsigned char* out)
{
    PageCipherContext& context = Context(ctx);
    if (keySize < 0 || keySize > MaxKeySize)
        return SQLITE_ERROR;
    if (!context.digestReady || !SameKey(keySize, key, context.digestKeySize, context.digestKey)) {
        std::array<unsigned char, DigestBlock> inner{};
        std::array<unsigned char, DigestBlock> outer{};
        std::memcpy(inner.data(), key, static_cast<std::size_t>(keySize));
        for (int i = 0; i < DigestBlock; ++i) {
            outer[static_cast<std::size_t>(i)] = inner[static_cast<std::size_t>(i)] ^ 0x5c;
            inner[static_cast<std::size_t>(i)] ^= 0x36;
        }
        SHA1_Init(&context.inner);
        SHA1_Update(&context.inner, inner.data(), inner.size());
        SHA1_Init(&context.outer);
        SHA1_Update(&context.outer, outer.data(), outer.size());
        OPENSSL_cleanse(inner.data(), inner.size());
        OPENSSL_cleanse(outer.data(), outer.size());
        std::memcpy(context.digestKey.data(), key, static_cast<std::size_t>(keySize));
        context.digestKeySize = keySize;
        context.digestReady = true;
    }
    std::array<unsigned char, DigestSize> innerDigest{};
    SHA_CTX state = context.inner;
    SHA1_Update(&state, in, static_cast<std::size_t>(inSize));
    SHA1_Update(&state, in2, static_cast<std::size_t>(in2Size));
    SHA1_Final(innerDigest.data(), &state);
    state = context.outer;
    SHA1_Update(&state, innerDigest.data(), innerDigest.size());
    SHA1_Final(out, &state);
    OPENSSL_cleanse(&state, sizeof state);
    return SQLITE_OK;
}

// Encrypts (mode 1) or decrypts (mode 0) whole blocks without padding. The
// key schedule is made once per key and direction; a page sets only its IV.
int Cipher(void* ctx, int mode, unsigned char* key, int keySize, unsigned char* iv, unsigned char* in, int inSize,
           unsigned char* out)
{
    PageCipherContext& context = Context(ctx);
    if (!context.algorithm || !context.keyed || keySize < 0 || keySize > MaxKeySize)
        return SQLITE_ERROR;
    if (!context.cipherReady || mode != context.cipherMode
        || !SameKey(keySize, key, context.cipherKeySize, context.cipherKey)) {
        context.cipherReady = false;
        if (EVP_CipherInit_ex(context.keyed, context.algorithm, nullptr, key, nullptr, mode) != 1
            || EVP_CIPHER_CTX_set_padding(context.keyed, 0) != 1)
            return SQLITE_ERROR;
        std::memcpy(context.cipherKey.data(), key, static_cast<std::size_t>(keySize));
        context.cipherKeySize = keySize;
        context.cipherMode = mode;
        context.cipherReady = true;
    }
    int written = 0;
    int finished = 0;
    return Ok(EVP_CipherInit_ex(context.keyed, nullptr, nullptr, nullptr, iv, mode) == 1
              && EVP_CipherUpdate(context.keyed, out, &written, in, inSize) == 1
              && EVP_CipherFinal_ex(context.keyed, out + written, &finished) == 1 && written + finished == inSize);
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
    auto* context = static_cast<PageCipherContext*>(Entries().malloc(sizeof(PageCipherContext)));
    if (!context)
        return SQLITE_NOMEM;
    std::memset(static_cast<void*>(context), 0, sizeof(PageCipherContext));
    context->keyed = EVP_CIPHER_CTX_new();
    if (!context->keyed) {
        Entries().free(context, sizeof(PageCipherContext));
        return SQLITE_NOMEM;
    }
    *ctx = context;
    return SQLITE_OK;
}

int FreeContext(void** ctx)
{
    auto* context = static_cast<PageCipherContext*>(*ctx);
    if (context) {
        EVP_CIPHER_CTX_free(context->keyed);
        EVP_CIPHER_free(context->algorithm);
        Entries().free(context, sizeof(PageCipherContext)); // wipes it
        *ctx = nullptr;
    }
    return SQLITE_OK;
}

constexpr CipherProvider PageCipherProvider{
    Activate,  Deactivate,   ProviderName, AddRandom,     Random,      Sign,          DeriveKey,
    Cipher,    SetAlgorithm, AlgorithmName, KeySize,      IvSize,      BlockSize,     SignatureSize,
    CopyContext, CompareContexts, CreateContext, FreeContext, FipsStatus, ProviderVersion,
};

int FillWithPageCipher(CipherProvider* table)
{
    *table = PageCipherProvider;
    return SQLITE_OK;
}

// Hands the engine a table of its own memory, filled by fill, which it frees
// when another table replaces it or when its last keyed connection closes.
bool Register(EngineEntries::Default fill)
{
    const EngineEntries& entries = Entries();
    auto* table = static_cast<CipherProvider*>(entries.malloc(sizeof(CipherProvider)));
    if (!table)
        return false;
    if (fill(table) != SQLITE_OK) {
        entries.free(table, sizeof(CipherProvider));
        return false;
    }
    return entries.registerProvider(table) == SQLITE_OK;
}

} // namespace

PageCipherScope::PageCipherScope() : active_(Entries() && Register(FillWithPageCipher)) {}

PageCipherScope::~PageCipherScope()
{
    if (active_)
        Register(Entries().fillWithDefault);
}

} // namespace store
