#pragma once

#include "transfer/RecordColumns.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A contact server's card and a record of the book: the card read exactly
// as the import reads a card, and a new record written as the export writes
// one, with the UID a server needs. This is the sync's only door into the
// import's and export's rules.
namespace booksync {

using transfer::Record;

// The record the import makes of the one card in the bytes; nothing when
// they are no single readable card.
std::optional<Record> RecordOfCard(std::string_view card);

// The card's UID, unescaped and trimmed; empty when it has none.
std::string UidOfCard(std::string_view card);

// The record with every field as valid UTF-8 (a broken sequence becomes
// U+FFFD) and without NUL characters: a card carries UTF-8 text only, and a
// server reads anything else as another encoding.
Record WithValidText(const Record& record);

// A vCard 3.0 of the record, as the export writes it, with the UID.
std::string NewCard(const Record& record, std::string_view uid);

// The fields whose values are lists joined by "; " (QQ, 手机, 电话, 传真,
// 邮箱, 主页): for them the order of the entries does not matter.
bool IsListField(int column);
// The entries of such a field, as the export splits them.
std::vector<std::string_view> EntriesOf(std::string_view field);
// Whether two values of a field say the same (list fields: the same entries).
bool SameValue(int column, std::string_view a, std::string_view b);
// Whether two records say the same in every field but 编号.
bool SameRecord(const Record& a, const Record& b);

} // namespace booksync
