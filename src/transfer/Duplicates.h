#pragma once

#include "transfer/RecordColumns.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace transfer {

// The records of a book (and of a file read so far) by what makes another
// record their duplicate: the same 姓名 (blanks at either end aside) and a
// telephone number (手机, 电话 or 传真, any entry of "a; b", compared by its
// digits) or e-mail address (letter case aside) in common. A record without
// a name, or without any number or address, is nobody's duplicate.
class DuplicateIndex {
public:
    bool Matches(const RecordView& record) const;
    void Add(const RecordView& record);
    // Adds the record; answers whether it duplicated one already there.
    bool AddAndTell(const RecordView& record);
    std::size_t Size() const { return keys_.size(); }

private:
    // One key per number and address: the name, a separator and the value.
    static std::vector<std::string> Keys(const RecordView& record);

    std::unordered_set<std::string> keys_;
};

// A telephone number as the index compares it: its digits, without a
// leading mainland China code (86 or 0086) before eleven digits.
std::string NumberKey(std::string_view number);

} // namespace transfer
