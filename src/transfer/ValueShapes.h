#pragma once

#include "transfer/ColumnRole.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Tables without a header row: a hand-made sheet or a phone's export often
// starts with its first contact. Such a row is told from a header by values
// that no column name has, and the columns are told by their values.
namespace transfer {

enum class ValueShape {
    Empty,
    Email,  // name@host.domain
    Web,    // http://…, https://…, www.…
    Mobile, // eleven digits from 1 (a Chinese mobile number), with or without +86 and blanks
    Phone,  // any other number of seven or more digits, with blanks, dashes, brackets or +
    QQ,     // five to ten digits, the first not 0
    Count,  // one to four digits: a row number
    Text,   // anything else, dates (1985-03-02) among it
};

ValueShape ShapeOf(std::string_view value);

// Whether a table's first row is a record rather than a header: a value in it
// has the shape of an address or a number, and none of it names a column.
bool IsHeaderless(const std::vector<std::string>& firstRow);

// How many rows the columns of a table without a header are told by.
inline constexpr std::size_t ValueSampleRows = 50;

// The roles of a table's columns told by the values of its first rows: a
// column of one shape goes to that field (a mix of numbers to 电话), the first
// column of text to 姓名 and the others to 备注; a column of row numbers is
// not imported.
RecognisedHeader RecogniseValues(const std::vector<std::vector<std::string>>& rows, std::size_t columns);

} // namespace transfer
