#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a reader repaired or skipped in a file instead of refusing it whole,
// so that nothing changes silently: the preview lists each with its line.
namespace transfer {

struct Repair {
    int line = 0;     // counted from 1, as TextLines counts
    std::string what; // in Chinese: what was wrong and what was done
    bool operator==(const Repair&) const = default;
};

// The repairs of one reading. A hostile file may hold millions of bad lines:
// the first Kept are kept, the rest only counted.
class RepairLog {
public:
    static constexpr std::size_t Kept = 200;

    void Add(int line, std::string what);
    // Adds every repair of another log (its uncounted rest too).
    void Append(const RepairLog& other);

    // The kept repairs, in the order they were found.
    const std::vector<Repair>& Entries() const { return entries_; }
    // All repairs, the uncounted ones included.
    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }

private:
    std::vector<Repair> entries_;
    std::size_t count_ = 0;
};

} // namespace transfer
