#pragma once

#include "transfer/RecordColumns.h"

#include <string>
#include <string_view>
#include <vector>

// How what a contact says in another program becomes one record of the book:
// the rules both readers share, so that a CSV row and a card from the same
// address book land alike.
namespace transfer {

enum class PhoneKind { Mobile, Fax, Other };
enum class NamePart { Family, Given, Middle };

// Collects one contact's values, then makes the record:
// - 姓名 is the person's whole name when one is given, else the family,
//   middle and given names joined (run together in that order when any holds
//   a Chinese, Japanese or Korean character, else "Given Middle Family"),
//   else the company, else the first telephone number, else the first e-mail
//   address;
// - several values for one field are joined with "; ";
// - of several categories the first that is not a system group of the
//   exporting program becomes 分类, the rest go to 备注;
// - what has no field of its own goes to 备注 as labelled lines ("公司: …"),
//   after the remarks themselves.
class RecordBuilder {
public:
    // A value for a field exactly as it stands (no splitting, no trimming);
    // taken over without a copy when it is the field's first.
    void Field(int column, std::string&& text);

    void Name(std::string_view text);
    void Part(NamePart part, std::string_view text);
    // A company: a labelled line, and the name when there is no person's name.
    void Company(std::string_view text);
    // One value each, as it stands; a value of nothing but blanks is none.
    // (A table's lists in Google's manner are split by the table's reader: a
    // card's value is one value even when it holds " ::: ".)
    void Telephone(PhoneKind kind, std::string_view number);
    void Email(std::string_view address);
    void HomePage(std::string_view page);
    void QQ(std::string_view number);
    // One category as another program names it; system groups are dropped.
    void Group(std::string_view text);
    void Remarks(std::string_view text);
    // A labelled line of 备注: "label: text".
    void Note(std::string_view label, std::string_view text);

    // Puts the record into out (whose texts the builder keeps, emptied, for
    // the next contact, so that reading a file reuses its buffers).
    void Finish(Record& out);

private:
    void Join(int column, std::string_view text);

    Record record_;
    std::string name_;
    std::string parts_[3];
    std::string company_;
    std::string firstNumber_;
    std::string firstAddress_;
    std::vector<std::string> otherGroups_;
    std::string notes_;
};

// The pieces of a text between separators, trimmed; empty ones are left out.
std::vector<std::string_view> SplitTrimmed(std::string_view text, std::string_view separator);

// Google's lists of several values in one cell, split at " ::: " and trimmed;
// empty entries are left out. A cell without the separator is one value, as
// it stands.
std::vector<std::string_view> SplitGoogleList(std::string_view text);

// Whether a category is one the exporting program keeps for itself (Google's
// "myContacts", "starred", a name marked "* " ...) rather than the user's own.
bool IsSystemGroup(std::string_view name);

// Whether the text holds a Chinese, Japanese or Korean character.
bool HasCjk(std::string_view utf8);

// The text without blanks (space, tab, CR, LF) at either end.
std::string_view Trimmed(std::string_view text);

} // namespace transfer
