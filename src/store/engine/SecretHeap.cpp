#include "store/engine/SecretHeap.h"

#include <openssl/crypto.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace store {
namespace {

// Address space set aside once; only what is handed out is ever touched.
// Key material takes a few kilobytes per connection; what else the engine
// allocates while it keys one (its first pages, a compaction's copy) stays
// within a few megabytes.
constexpr std::size_t Reserve = std::size_t{64} << 20;
// Blocks of a power of two in size, from 32 bytes to 16 MiB, each with a
// header that keeps the payload 16-byte aligned.
constexpr unsigned SmallestClass = 5;
constexpr unsigned LargestClass = 24;
constexpr std::size_t HeaderBytes = 16;

struct Header {
    std::uint32_t sizeClass;
};
static_assert(sizeof(Header) <= HeaderBytes);

struct Heap {
    std::mutex mutex;
    std::atomic<char*> base{nullptr};
    std::size_t used = 0;   // bytes handed out from the start at least once
    std::size_t locked = 0; // bytes from the start locked against swapping
    std::array<void*, LargestClass + 1> freeBlocks{};
};

Heap& TheHeap()
{
    static Heap heap;
    return heap;
}

thread_local int scopes = 0;
bool engineRouted = false;
bool cryptoRouted = false;

void ReserveAddressSpace(Heap& heap)
{
    void* memory = mmap(nullptr, Reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED)
        return;
    madvise(memory, Reserve, MADV_DONTDUMP);
    heap.base.store(static_cast<char*>(memory));
}

std::size_t BlockBytes(unsigned sizeClass) { return std::size_t{1} << sizeClass; }

// A block whose payload holds bytes, or null when the heap has no room.
void* AllocateSecret(std::size_t bytes)
{
    if (bytes > BlockBytes(LargestClass) - HeaderBytes)
        return nullptr;
    const auto sizeClass = std::max(SmallestClass, static_cast<unsigned>(std::bit_width(bytes + HeaderBytes - 1)));
    Heap& heap = TheHeap();
    char* const base = heap.base.load();
    if (!base)
        return nullptr;
    const std::lock_guard guard(heap.mutex);
    char* block = static_cast<char*>(heap.freeBlocks[sizeClass]);
    if (block) {
        std::memcpy(&heap.freeBlocks[sizeClass], block + HeaderBytes, sizeof(void*));
    } else {
        if (heap.used + BlockBytes(sizeClass) > Reserve)
            return nullptr;
        block = base + heap.used;
        heap.used += BlockBytes(sizeClass);
        // Locked as it comes into use; a small locked-memory limit refuses,
        // and the memory is then left out of dumps only.
        static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t wanted = (heap.used + page - 1) / page * page;
        if (wanted > heap.locked && mlock(base + heap.locked, wanted - heap.locked) == 0)
            heap.locked = wanted;
    }
    reinterpret_cast<Header*>(block)->sizeClass = sizeClass;
    std::memset(block + HeaderBytes, 0, BlockBytes(sizeClass) - HeaderBytes);
    return block + HeaderBytes;
}

std::size_t PayloadBytes(const void* memory)
{
    const auto* header = reinterpret_cast<const Header*>(static_cast<const char*>(memory) - HeaderBytes);
    return BlockBytes(header->sizeClass) - HeaderBytes;
}

void FreeSecret(void* memory)
{
    char* block = static_cast<char*>(memory) - HeaderBytes;
    const unsigned sizeClass = reinterpret_cast<Header*>(block)->sizeClass;
    OPENSSL_cleanse(memory, PayloadBytes(memory));
    Heap& heap = TheHeap();
    const std::lock_guard guard(heap.mutex);
    std::memcpy(block + HeaderBytes, &heap.freeBlocks[sizeClass], sizeof(void*));
    heap.freeBlocks[sizeClass] = block;
}

// Inside a scope secret memory, ordinary memory outside it or when the
// secret heap is full.
void* Allocate(std::size_t bytes)
{
    if (scopes > 0) {
        if (void* secret = AllocateSecret(bytes))
            return secret;
    }
    return std::malloc(bytes);
}

void Free(void* memory)
{
    if (InSecretHeap(memory))
        FreeSecret(memory);
    else
        std::free(memory);
}

std::size_t SizeOf(void* memory)
{
    if (!memory)
        return 0;
    return InSecretHeap(memory) ? PayloadBytes(memory) : malloc_usable_size(memory);
}

// What came from the secret heap stays in it; what is grown inside a scope
// moves into it.
void* Reallocate(void* memory, std::size_t bytes)
{
    if (!memory)
        return Allocate(bytes);
    if (!InSecretHeap(memory) && scopes == 0)
        return std::realloc(memory, bytes);
    const std::size_t old = SizeOf(memory);
    if (InSecretHeap(memory) && bytes <= old)
        return memory;
    void* moved = AllocateSecret(bytes);
    if (!moved)
        moved = std::malloc(bytes);
    if (!moved)
        return nullptr;
    std::memcpy(moved, memory, std::min(old, bytes));
    Free(memory);
    return moved;
}

void* CryptoMalloc(std::size_t bytes, const char*, int) { return Allocate(bytes); }
void CryptoFree(void* memory, const char*, int) { Free(memory); }
void* CryptoRealloc(void* memory, std::size_t bytes, const char*, int)
{
    if (memory && bytes == 0) {
        Free(memory);
        return nullptr;
    }
    return Reallocate(memory, bytes);
}

void* EngineMalloc(int bytes) { return Allocate(static_cast<std::size_t>(bytes)); }
void EngineFree(void* memory) { Free(memory); }
void* EngineRealloc(void* memory, int bytes) { return Reallocate(memory, static_cast<std::size_t>(bytes)); }
int EngineSize(void* memory) { return static_cast<int>(SizeOf(memory)); }
int EngineRoundup(int bytes) { return (bytes + 7) & ~7; }
int EngineInit(void*) { return SQLITE_OK; }
void EngineShutdown(void*) {}

} // namespace

void RouteAllocationsThroughSecretHeap()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ReserveAddressSpace(TheHeap());
        if (!TheHeap().base.load())
            return;
        cryptoRouted = CRYPTO_set_mem_functions(CryptoMalloc, CryptoRealloc, CryptoFree) == 1;
        static const sqlite3_mem_methods methods{EngineMalloc,  EngineFree, EngineRealloc,  EngineSize,
                                                 EngineRoundup, EngineInit, EngineShutdown, nullptr};
        engineRouted = sqlite3_config(SQLITE_CONFIG_MALLOC, &methods) == SQLITE_OK;
    });
}

bool EngineAllocationsRouted() { return engineRouted; }
bool CryptoAllocationsRouted() { return cryptoRouted; }

SecretAllocations::SecretAllocations() { ++scopes; }
SecretAllocations::~SecretAllocations() { --scopes; }

bool InSecretHeap(const void* memory)
{
    const char* base = TheHeap().base.load(std::memory_order_relaxed);
    const auto* at = static_cast<const char*>(memory);
    return base && at >= base && at < base + Reserve;
}

} // namespace store
