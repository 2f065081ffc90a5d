#pragma once

#include "transfer/RecordColumns.h"

#include <string>
#include <string_view>

// Brings a local edit into a card made elsewhere (a phone, a mail program)
// without rewriting it: only the properties behind the changed fields are
// replaced, removed or added, on the card's own lines; every other property
// (photo, addresses, labels, X- properties, the UID, their order and line
// ends) stays byte for byte.
//
// - 姓名: FN's value; N too when it spelt the old name.
// - 分类: the first category that is not a system group, in place.
// - QQ, 手机, 电话, 传真, 邮箱, 主页: the entries joined by "; " compared
//   as sets: an unchanged entry keeps its line, a changed one is rewritten
//   in place (keeping its types and label), a removed one loses its line,
//   a new one gets a line of its own as the export writes it.
// - 备注: the labelled lines the import derived from other properties
//   ("公司: …", "地址: …") are not notes: what is left of the local text
//   without them becomes NOTE; a changed "公司" or "职务" line is written
//   back to ORG or TITLE; a derived line the user removed removes nothing.
namespace booksync {

// The card with local's fields where they differ from base, the record the
// card reads as. A card outside UTF-8 (an old phone's code page) comes back
// whole in UTF-8. Throws transfer::FileFormatError when the card cannot be
// read, or not converted to UTF-8.
std::string PatchCard(std::string_view card, const transfer::Record& base, const transfer::Record& local);

} // namespace booksync
