#pragma once

#include <string>
#include <string_view>

// The words that say what a contact's value is: the labels and types of
// telephone numbers, QQ named in a label or a value, and the values a mail
// program writes for "not set". Table columns and card labels use them alike.
namespace transfer {

// A name as the tables compare it: ASCII letters in lower case, without the
// punctuation that exporters and sheets vary ("E-mail", "Country/Region"),
// and without blanks except one between two words ("Birth Day" is not
// "Birthday"; "住宅电话 2" is "住宅电话2").
std::string NormalisedName(std::string_view name);

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
