#pragma once

#include "transfer/RecordColumns.h"
#include "transfer/RepairLog.h"

#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// One contact card as a record of the book, as an import of a file holding
// that card alone, in UTF-8, would write it.
struct MappedCard {
    Record record; // 编号 empty; every field empty when the card brings nothing
    // The properties the book has no place for, in Chinese ("照片"), sorted.
    std::vector<std::string> notKept;
    // What was repaired or skipped, or why nothing could be taken.
    RepairLog repairs;
};

// The text of one card, BEGIN:VCARD to END:VCARD, of any version. Values
// without a CHARSET are read as UTF-8, as contact servers send them.
MappedCard MapCard(std::string_view cardText);

} // namespace transfer
