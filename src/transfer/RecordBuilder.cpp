#include "transfer/RecordBuilder.h"

#include "transfer/Ascii.h"

#include <algorithm>
#include <array>

namespace transfer {
namespace {

constexpr std::string_view Separator = "; ";
constexpr std::string_view GoogleListSeparator = " ::: ";

int ColumnOf(PhoneKind kind)
{
    switch (kind) {
    case PhoneKind::Mobile: return col::Mobile;
    case PhoneKind::Fax: return col::Fax;
    case PhoneKind::Other: break;
    }
    return col::Phone;
}

// The code point that starts at i, and i moved past it; a byte that starts no
// sequence counts as itself.
char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = more == 3 ? lead & 0x07 : more == 2 ? lead & 0x0F : more == 1 ? lead & 0x1F : lead;
    for (; more > 0 && i < text.size(); --more)
        c = c << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return c;
}

} // namespace

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string_view> SplitTrimmed(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> values;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        const std::string_view value = Trimmed(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (!value.empty())
            values.push_back(value);
        if (end == std::string_view::npos)
            return values;
        start = end + separator.size();
    }
}

std::vector<std::string_view> SplitGoogleList(std::string_view text)
{
    if (text.find(GoogleListSeparator) != std::string_view::npos)
        return SplitTrimmed(text, GoogleListSeparator);
    if (Trimmed(text).empty())
        return {};
    return {text}; // one value: as it stands
}

bool IsSystemGroup(std::string_view name)
{
    name = Trimmed(name);
    if (name.substr(0, 2) == "* " || name == "*" || ascii::StartsWithIgnoringCase(name, "System Group:"))
        return true;
    constexpr std::array<std::string_view, 5> names = {"myContacts", "My Contacts", "starred", "Starred in Android",
                                                       "Other Contacts"};
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view system) { return ascii::EqualsIgnoringCase(system, name); });
}

bool HasCjk(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
            (c >= 0x20000 && c <= 0x3FFFF))
            return true;
    }
    return false;
}

void RecordBuilder::Join(int column, std::string_view text)
{
    std::string& field = record_[column];
    if (!field.empty())
        field += Separator;
    field += text;
}

void RecordBuilder::Field(int column, std::string&& text)
{
    if (text.empty())
        return;
    if ((column == col::Mobile || column == col::Phone || column == col::Fax) && firstNumber_.empty())
        firstNumber_ = text;
    else if (column == col::Email && firstAddress_.empty())
        firstAddress_ = text;
    if (record_[column].empty())
        record_[column] = std::move(text); // a value of hundreds of megabytes is not copied
    else
        Join(column, text);
}

// Values keep their blanks; only a value of nothing but blanks counts as none.
void RecordBuilder::Name(std::string_view text)
{
    if (name_.empty() && !Trimmed(text).empty())
        name_ = text;
}

void RecordBuilder::Part(NamePart part, std::string_view text)
{
    std::string& kept = parts_[static_cast<int>(part)];
    if (kept.empty())
        kept = Trimmed(text);
}

void RecordBuilder::Company(std::string_view text)
{
    if (Trimmed(text).empty())
        return;
    if (company_.empty())
        company_ = text;
    Note("公司", text);
}

void RecordBuilder::Telephone(PhoneKind kind, std::string_view number)
{
    if (Trimmed(number).empty())
        return;
    Join(ColumnOf(kind), number);
    if (firstNumber_.empty())
        firstNumber_ = number;
}

void RecordBuilder::Email(std::string_view address)
{
    if (Trimmed(address).empty())
        return;
    Join(col::Email, address);
    if (firstAddress_.empty())
        firstAddress_ = address;
}

void RecordBuilder::HomePage(std::string_view page)
{
    if (!Trimmed(page).empty())
        Join(col::HomePage, page);
}

void RecordBuilder::QQ(std::string_view number)
{
    if (!Trimmed(number).empty())
        Join(col::QQ, number);
}

void RecordBuilder::Group(std::string_view text)
{
    if (Trimmed(text).empty() || IsSystemGroup(text))
        return;
    if (record_[col::Category].empty())
        record_[col::Category] = text;
    else if (std::find(otherGroups_.begin(), otherGroups_.end(), text) == otherGroups_.end() &&
             record_[col::Category] != text)
        otherGroups_.emplace_back(text);
}

void RecordBuilder::Remarks(std::string_view text)
{
    if (!text.empty())
        Join(col::Remarks, text);
}

void RecordBuilder::Note(std::string_view label, std::string_view text)
{
    text = Trimmed(text);
    if (text.empty())
        return;
    if (!notes_.empty())
        notes_ += '\n';
    notes_.append(label).append(": ").append(text);
}

void RecordBuilder::Finish(Record& out)
{
    if (!otherGroups_.empty()) {
        std::string groups;
        for (const std::string& group : otherGroups_)
            groups.append(groups.empty() ? "" : ", ").append(group);
        Note("其他分组", groups);
    }
    std::string& name = record_[col::Name];
    if (name.empty())
        name = name_;
    if (name.empty()) {
        const std::string& family = parts_[static_cast<int>(NamePart::Family)];
        const std::string& middle = parts_[static_cast<int>(NamePart::Middle)];
        const std::string& given = parts_[static_cast<int>(NamePart::Given)];
        const bool cjk = HasCjk(family) || HasCjk(middle) || HasCjk(given);
        for (const std::string* part : cjk ? std::array{&family, &middle, &given} : std::array{&given, &middle, &family})
            if (!part->empty())
                name.append(cjk || name.empty() ? "" : " ").append(*part);
    }
    for (const std::string* fallback : {&company_, &firstNumber_, &firstAddress_})
        if (name.empty())
            name = *fallback;
    if (!notes_.empty()) {
        std::string& remarks = record_[col::Remarks];
        remarks.append(remarks.empty() ? "" : "\n").append(notes_);
    }
    for (int column = 0; column < col::Count; ++column) {
        out[column].swap(record_[column]);
        record_[column].clear();
    }
    name_.clear();
    for (std::string& part : parts_)
        part.clear();
    company_.clear();
    firstNumber_.clear();
    firstAddress_.clear();
    otherGroups_.clear();
    notes_.clear();
}

} // namespace transfer
