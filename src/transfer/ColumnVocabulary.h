#pragma once

#include "transfer/ColumnRole.h"

#include <string>
#include <string_view>

// The names that address books and spreadsheets write in their header rows
// (Google Contacts old and new, Outlook in English and Chinese, Thunderbird,
// Chinese office sheets, this program's own), each with the part of a record
// it fills.
namespace transfer {

// One known column name and what it brings.
struct ColumnWord {
    std::string_view name;
    Target target;
    int field = -1;
    PhoneKind phone = PhoneKind::Other;
    std::string_view label = {}; // Note, Ignore: the label (empty: the column's own name); Part: its group's key
    bool dropsDefaults = false;
    char list = 0;
    bool qqLabelled = false;
};

// The values put together from Part columns, by key; a Part word with no key
// belongs to the address block of the column before it.
struct GroupWord {
    std::string_view key;
    std::string_view label;
    std::string_view joiner;
};

// The word of a column name as NormalisedName gives it; in a table that
// Thunderbird's Chinese names mark, its own meanings of shared names first.
// Nothing for a name not known here.
const ColumnWord* FindColumnWord(const std::string& key, bool thunderbirdChinese);

// The value a Part word's key stands for.
const GroupWord& PartGroupOf(std::string_view key);

// Whether a Part key is an address block, to which later Part columns
// without a key of their own belong.
bool IsAddressBlock(std::string_view key);

} // namespace transfer
