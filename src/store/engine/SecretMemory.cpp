#include "store/engine/SecretMemory.h"

#include <openssl/crypto.h>

#include <cstring>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace store {
namespace {

std::size_t WholePages(std::size_t bytes)
{
    static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

} // namespace

void* MapSecret(std::size_t bytes) noexcept
{
    if (bytes == 0)
        return nullptr;
    const std::size_t size = WholePages(bytes);
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    // Both are protections the system may refuse (a small locked-memory
    // limit, an old kernel); the memory is then as private as any other.
    madvise(memory, size, MADV_DONTDUMP);
    mlock(memory, size);
    return memory;
}

void UnmapSecret(void* memory, std::size_t bytes) noexcept
{
    if (!memory)
        return;
    const std::size_t size = WholePages(bytes);
    OPENSSL_cleanse(memory, size);
    munlock(memory, size);
    munmap(memory, size);
}

SecretBytes::SecretBytes(const char* data, std::size_t size)
{
    if (size == 0)
        return;
    data_ = static_cast<char*>(MapSecret(size));
    if (!data_)
        throw std::bad_alloc();
    std::memcpy(data_, data, size);
    size_ = size;
}

SecretBytes::~SecretBytes() { UnmapSecret(data_, size_); }

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept
{
    if (this != &other) {
        UnmapSecret(data_, size_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool SecretBytes::operator==(const SecretBytes& other) const
{
    return size_ == other.size_ && (size_ == 0 || CRYPTO_memcmp(data_, other.data_, size_) == 0);
}

} // namespace store
