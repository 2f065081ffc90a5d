#include "store/engine/MappedMemory.h"

#include <cstdint>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

MappedMemory MappedMemory::Allocate(std::size_t bytes) noexcept
{
    if (bytes == 0 || bytes > SIZE_MAX - 2 * Granule)
        return {};
    const std::size_t size = (bytes + Granule - 1) / Granule * Granule;
    // Map one granule more than needed and cut off what lies outside the
    // aligned middle.
    void* mapped = mmap(nullptr, size + Granule, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return {};
    auto* const start = static_cast<char*>(mapped);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    char* const aligned = start + (Granule - address % Granule) % Granule;
    if (aligned > start)
        munmap(start, static_cast<std::size_t>(aligned - start));
    char* const end = aligned + size;
    if (start + size + Granule > end)
        munmap(end, static_cast<std::size_t>(start + size + Granule - end));
    madvise(aligned, size, MADV_HUGEPAGE); // a wish: the memory serves as well without it
    return {aligned, size};
}

void MappedMemory::ReleaseFrom(std::size_t offset) noexcept
{
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t start = (offset + page - 1) / page * page;
    if (!data_ || start >= size_)
        return;
    // Withdrawn from huge pages first: the kernel's collapsing thread would
    // otherwise fill the range back into a whole huge page.
    madvise(data_ + start, size_ - start, MADV_NOHUGEPAGE);
    madvise(data_ + start, size_ - start, MADV_DONTNEED);
}

MappedMemory::~MappedMemory()
{
    if (data_)
        munmap(data_, size_);
}

MappedMemory::MappedMemory(MappedMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

MappedMemory& MappedMemory::operator=(MappedMemory&& other) noexcept
{
    if (this != &other) {
        MappedMemory old(std::move(*this));
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}
