#pragma once

#include <cstddef>

// A heap in secret memory (SecretMemory.h: left out of core dumps, locked
// where the system allows, wiped as it is freed) for what the engine and the
// cryptography library allocate while a key is being set up: the engine's
// copies of a connection's key, its signing key and key text, and the
// library's cipher and digest contexts keyed with them. Neither library asks
// for such memory itself; both let the program supply their allocator, and
// this one hands out secret memory inside a scope (SecretAllocations) and the
// ordinary heap outside it. Whatever came from this heap goes back to it,
// wiped, whenever and wherever it is freed, and stays in it when it grows.
namespace store {

// Puts this heap under the engine's and the cryptography library's
// allocations. It must come before either allocates anything (PrepareEngine
// calls it first); a library that has allocated already keeps its own
// allocator, and its allocations stay ordinary.
void RouteAllocationsThroughSecretHeap();

// Whether the engine's, and the cryptography library's, allocations are routed.
bool EngineAllocationsRouted();
bool CryptoAllocationsRouted();

// While one lives, what this thread has the two libraries allocate comes from
// the secret heap. Scopes nest.
class SecretAllocations {
public:
    SecretAllocations();
    ~SecretAllocations();
    SecretAllocations(const SecretAllocations&) = delete;
    SecretAllocations& operator=(const SecretAllocations&) = delete;
};

// Whether memory came from the secret heap.
bool InSecretHeap(const void* memory);

} // namespace store
