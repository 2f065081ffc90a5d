// The secret heap under the engine's and the cryptography library's
// allocations: secret inside a scope, ordinary outside, never dropped from it
// when a block grows, wiped as it is freed.
#include "store/engine/EngineSetup.h"
#include "store/engine/SecretHeap.h"

#include <openssl/crypto.h>
#include <sqlite3.h>

#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Allocator {
    const char* name;
    void* (*allocate)(int);
    void* (*reallocate)(void*, int);
    void (*free)(void*);
};

const Allocator Allocators[] = {
    {"engine", [](int n) { return sqlite3_malloc(n); }, [](void* p, int n) { return sqlite3_realloc(p, n); },
     [](void* p) { sqlite3_free(p); }},
    {"cryptography", [](int n) { return OPENSSL_malloc(static_cast<std::size_t>(n)); },
     [](void* p, int n) { return OPENSSL_realloc(p, static_cast<std::size_t>(n)); }, [](void* p) { OPENSSL_free(p); }},
};

TEST(SecretHeapTest, BlocksAreSecretInsideAScopeStaySoWhenTheyGrowAndAreWipedWhenFreed)
{
    store::PrepareEngine();
    ASSERT_TRUE(store::EngineAllocationsRouted() && store::CryptoAllocationsRouted());
    for (const Allocator& a : Allocators) {
        SCOPED_TRACE(a.name);
        void* secret = nullptr;
        {
            const store::SecretAllocations scope;
            secret = a.allocate(100);
        }
        void* plain = a.allocate(100);
        EXPECT_FALSE(store::InSecretHeap(plain));
        // Grown outside any scope, far beyond its size, a secret block stays secret with its bytes.
        std::memcpy(secret, "key", 4);
        secret = a.reallocate(secret, 100000);
        EXPECT_TRUE(store::InSecretHeap(secret));
        EXPECT_STREQ(static_cast<const char*>(secret), "key");
        // Freed, it is wiped (past the word that links it to the free blocks).
        char* payload = static_cast<char*>(secret);
        std::memcpy(payload + 64, "still here", 11);
        a.free(secret);
        EXPECT_EQ(std::memcmp(payload + 64, "\0\0\0\0\0\0\0\0\0\0\0", 11), 0);
        a.free(plain);
    }
}

} // namespace
