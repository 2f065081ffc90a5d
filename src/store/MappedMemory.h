#pragma once

#include <cstddef>

// Memory for the large tables every re-list runs through again (the rows of a
// result, the page cache), mapped in whole 2 MiB pieces and aligned so that
// the kernel can back each piece with one huge page. A huge page needs one
// entry where ordinary pages need 512 - in the processor's address cache
// and, on a virtual machine, in the host's page tables, which a host may
// drop while the program waits for the user. Scanning tens of megabytes last
// touched a second ago then costs no more than scanning them again at once.
//
// Ordinary pages count only once touched; a huge page counts whole. Where the
// kernel offers no huge pages, huge memory is ordinary memory.
class MappedMemory {
public:
    static constexpr std::size_t Granule = std::size_t{2} << 20;
    enum class Pages { Ordinary, Huge };

    MappedMemory() = default;
    ~MappedMemory();
    MappedMemory(MappedMemory&& other) noexcept;
    MappedMemory& operator=(MappedMemory&& other) noexcept;
    MappedMemory(const MappedMemory&) = delete;
    MappedMemory& operator=(const MappedMemory&) = delete;

    // At least `bytes`, rounded up to whole granules; empty when the system
    // has no memory to give.
    static MappedMemory Allocate(std::size_t bytes, Pages pages) noexcept;

    char* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    bool Huge() const { return huge_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    MappedMemory(char* data, std::size_t size, bool huge) : data_(data), size_(size), huge_(huge) {}

    char* data_ = nullptr;
    std::size_t size_ = 0;
    bool huge_ = false;
};
