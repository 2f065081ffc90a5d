#pragma once

#include <cstddef>

// Memory for keys and for what is made from them: whole pages of their own,
// locked against being swapped out where the system allows it, left out of
// core dumps, and wiped with a wipe the compiler keeps before they go back.
namespace store {

// At least `bytes` of zeroed secret memory, or null when the system has none.
void* MapSecret(std::size_t bytes) noexcept;
// Wipes and returns what MapSecret gave for the same `bytes`; null is ignored.
void UnmapSecret(void* memory, std::size_t bytes) noexcept;

// Owns a run of secret bytes.
class SecretBytes {
public:
    SecretBytes() = default;
    // A copy of size bytes from data; throws std::bad_alloc without memory.
    SecretBytes(const char* data, std::size_t size);
    ~SecretBytes();
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    const char* Data() const { return data_; }
    char* Data() { return data_; }
    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    bool operator==(const SecretBytes& other) const;

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace store
