#pragma once

#include <cstddef>

// Memory for the large tables every re-list runs through again (the rows of a
// result, the page cache), mapped in whole 2 MiB pieces and aligned so that
// the kernel can back each piece with one huge page. A huge page needs one
// entry where ordinary pages need 512 in the processor's address caches (and,
// on a virtual machine, in the host's), which forget the program's memory
// while it waits for the user: a re-list a second after the last then costs
// little more than one right after it.
//
// A huge page counts whole once touched; ReleaseFrom gives back what lies
// beyond the bytes in use, which then counts only as far as it is written
// again. Where the kernel offers no huge pages, the memory is ordinary.
class MappedMemory {
public:
    static constexpr std::size_t Granule = std::size_t{2} << 20;

    MappedMemory() = default;
    ~MappedMemory();
    MappedMemory(MappedMemory&& other) noexcept;
    MappedMemory& operator=(MappedMemory&& other) noexcept;
    MappedMemory(const MappedMemory&) = delete;
    MappedMemory& operator=(const MappedMemory&) = delete;

    // At least `bytes`, rounded up to whole granules; empty when the system
    // has no memory to give.
    static MappedMemory Allocate(std::size_t bytes) noexcept;

    // Hands the memory from `offset` on back to the system; it reads as zeros
    // afterwards and takes ordinary pages when written again.
    void ReleaseFrom(std::size_t offset) noexcept;

    char* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    MappedMemory(char* data, std::size_t size) : data_(data), size_(size) {}

    char* data_ = nullptr;
    std::size_t size_ = 0;
};
