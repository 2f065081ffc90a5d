#pragma once

#include "transfer/RecordColumns.h"

#include <cstdint>
#include <vector>

namespace transfer {

// The records of a book (and of a file read so far) by what makes another
// record their duplicate: the same 姓名 (blanks at either end aside) and a
// telephone number (手机, 电话 or 传真, any entry of "a; b", compared by its
// digits, a leading 86 or 0086 before eleven digits aside) or e-mail address (letter case aside) in common. A record without
// a name, or without any number or address, is nobody's duplicate.
//
// Each name with one number or address is kept as a 128-bit hash of the two,
// made without allocating: the index of a book of 100,000 records is small
// and quick, and two different pairs share a hash with a chance of about
// 10^-28 per import.
class DuplicateIndex {
public:
    bool Matches(const RecordView& record) const;
    void Add(const RecordView& record);
    // Adds the record; answers whether it duplicated one already there.
    bool AddAndTell(const RecordView& record);
    std::size_t Size() const { return size_; }

    struct Key {
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        bool operator==(const Key&) const = default;
    };

private:
    // Open addressing in a table of a power of two slots, at most half full;
    // an empty slot holds the key 0, which no pair is given.
    bool Contains(const Key& key) const;
    bool Insert(const Key& key);
    std::size_t SlotOf(const Key& key) const;

    std::vector<Key> slots_;
    std::size_t size_ = 0;
};

} // namespace transfer
