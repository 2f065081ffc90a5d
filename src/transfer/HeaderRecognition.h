#pragma once

#include "transfer/RecordBuilder.h"

#include <string>
#include <string_view>
#include <vector>

// Which column of a table goes where: the names that address books and
// spreadsheets write in their header rows (Google Contacts old and new,
// Outlook in English and Chinese, Thunderbird, Chinese office sheets, this
// program's own), each with the part of a record it fills.
namespace transfer {

// What a column brings to a record.
enum class Target {
    Ignore,         // 不导入, named in the closing message when it held text
    Skipped,        // never imported and never named: 编号, what another column repeats
    Field,          // a field of the book, exactly as it stands
    Name,           // a person's whole name
    GivenName,
    MiddleName,
    FamilyName,
    Company,
    Telephone,      // a number of a kind, or of the kind its type column says
    Email,
    HomePage,
    QQ,
    Groups,         // categories, several in one cell
    Note,           // a labelled line of 备注
    Part,           // a part of a value put together from several columns (an address, a birthday)
    InstantMessage, // QQ when its service column says QQ, else a labelled line
    Custom,         // a labelled line whose label stands in another column (QQ when it says QQ)
    Companion,      // a type, label or service that another column reads
};

struct ColumnRole {
    Target target = Target::Ignore;
    int field = -1;                     // Field: the record's column
    PhoneKind phone = PhoneKind::Other; // Telephone without a type column
    // Note, Part: the line's label; Custom, InstantMessage: the label when
    // the other column is empty; Ignore: what the closing message calls a
    // column that is known but never kept (empty: the column's own name).
    std::string label;
    int typeColumn = -1;        // Telephone, Custom, InstantMessage: the column with the type, label or service
    int group = -1;             // Part: which value it helps make
    bool whole = false;         // Part: alone the whole value, when it holds text (Google's formatted address)
    bool dropsDefaults = false; // Note: the values Outlook writes for "not set" count as empty
    bool qqLabelled = false;    // Note: a value that says it is a QQ number ("QQ: 12345") is the QQ number
    char listSeparator = 0;     // Groups: between the categories; 0 for Google's " ::: "

    bool operator==(const ColumnRole&) const = default;
};

// Whether a role brings a column's values into the records.
inline bool Imports(const ColumnRole& role)
{
    return role.target != Target::Ignore && role.target != Target::Skipped && role.target != Target::Companion;
}

// A value put together from Part columns.
struct PartGroup {
    std::string label;
    std::string joiner;
};

struct RecognisedHeader {
    std::string kind; // which program wrote the table, as the preview names it
    std::vector<ColumnRole> roles;
    std::vector<PartGroup> groups;
};

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

// The kind of telephone number a type or label names ("Mobile", "Work Fax",
// "手机", ...); QQ when it names QQ.
enum class NumberKind { Mobile, Fax, Other, QQ };
NumberKind KindOfNumber(std::string_view type);

// Whether a label or service names QQ ("QQ", "qq号", "QQ号码").
bool NamesQQ(std::string_view label);

// The number of a value that names itself a QQ number ("QQ 12345",
// "qq:12345", "QQ号：12345"); empty for any other value.
std::string_view QQInValue(std::string_view value);

// Whether a value is what Outlook writes for a field that is not set
// ("0/0/00", "Normal", "Unspecified", "False" and their Chinese forms).
bool IsOutlookDefault(std::string_view value);

} // namespace transfer
