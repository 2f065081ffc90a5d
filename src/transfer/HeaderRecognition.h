#pragma once

#include "transfer/ColumnRole.h"

#include <string>
#include <string_view>
#include <vector>

// Which column of a table goes where: the names that address books and
// spreadsheets write in their header rows (Google Contacts old and new,
// Outlook in English and Chinese, Thunderbird, Chinese office sheets, this
// program's own), each with the part of a record it fills.
namespace transfer {

// The roles of a header row's names, column by column, and the writer told
// by the names. Blanks around a name, letter case and the punctuation of
// "E-mail" or "Country/Region" do not matter. A name that several address
// blocks share ("城市", "邮政编码") belongs to the block named before it.
RecognisedHeader RecogniseHeader(const std::vector<std::string>& names);

// Where a role puts a column's values, in Chinese, for the preview.
std::string DescribeRole(const ColumnRole& role, const std::vector<PartGroup>& groups);

// The roles a user may pick for a column instead: the fields of the book
// (备注 as a line labelled with the column's name) and 不导入.
std::vector<ColumnRole> PlainRoles(std::string_view columnName);

} // namespace transfer
