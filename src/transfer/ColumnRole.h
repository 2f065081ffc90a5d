#pragma once

#include "transfer/RecordBuilder.h"

#include <string>
#include <vector>

// What the columns of a table bring to a record, as the header's names or
// the user's choices in the preview say.
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

} // namespace transfer
