#include "transfer/VCardRecords.h"

#include "transfer/Ascii.h"
#include "transfer/FileFormatError.h"

#include <array>
#include <algorithm>

namespace transfer {
namespace {

// Properties that say something about the file rather than about the contact.
bool IsBookkeeping(std::string_view name)
{
    constexpr std::array<std::string_view, 4> names = {"VERSION", "PRODID", "REV", "UID"};
    return std::find(names.begin(), names.end(), name) != names.end();
}

// "BEGIN:VCARD" or "END:VCARD", blanks after the value allowed.
bool IsCardMarker(const ContentLine& property, std::string_view name)
{
    std::string_view value = property.value;
    value = value.substr(0, value.find_last_not_of(" \t") + 1);
    return property.name == name && ascii::EqualsIgnoringCase(value, "VCARD");
}

// Undoes the escapes of a text value. Version 2.1 escapes only "\;" and "\\";
// later versions also "\,", and "\n" (or "\N") for a line break. "\r" is how
// this program writes a CR that is not part of a CR LF. Any other backslash
// stays as it is.
std::string Unescape(std::string_view value, bool version21)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char after = i + 1 < value.size() ? value[i + 1] : '\0';
        if (c != '\\' || after == '\0') {
            text += c;
        } else if (after == '\\' || after == ';') {
            text += after;
            ++i;
        } else if (!version21 && (after == ',' || after == 'n' || after == 'N' || after == 'r')) {
            text += after == ',' ? ',' : after == 'r' ? '\r' : '\n';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

// Cuts a structured value at every ';' that no backslash escapes.
std::vector<std::string_view> SplitComponents(std::string_view value)
{
    std::vector<std::string_view> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\')
            ++i;
        else if (value[i] == ';') {
            components.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    components.push_back(value.substr(start));
    return components;
}

// Every LF becomes CR LF, for values written with X-LINEBREAK=CRLF.
std::string WithCrLf(const std::string& text)
{
    std::string converted;
    converted.reserve(text.size() + 16);
    for (const char c : text) {
        if (c == '\n')
            converted += '\r';
        converted += c;
    }
    return converted;
}

bool ContainsNonAscii(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The name that N gives: family name then given name, run together for
// Chinese names, given name first with a blank between for others.
std::string NameFromParts(std::string_view value, bool version21)
{
    const std::vector<std::string_view> parts = SplitComponents(value);
    const std::string family = Unescape(parts[0], version21);
    const std::string given = parts.size() > 1 ? Unescape(parts[1], version21) : std::string();
    if (family.empty() || given.empty())
        return family + given;
    return ContainsNonAscii(family) || ContainsNonAscii(given) ? family + given : given + " " + family;
}

void Join(std::string& field, const std::string& value, std::string_view separator)
{
    if (value.empty())
        return;
    if (!field.empty())
        field += separator;
    field += value;
}

// The field a TEL goes to, by its types.
int TelephoneColumn(const ContentLine& property)
{
    if (property.HasType("FAX"))
        return col::Fax;
    if (property.HasType("CELL") || property.HasType("MOBILE") || property.HasType("IPHONE"))
        return col::Mobile;
    return col::Phone;
}

// A number written as a "tel:" address (VALUE=uri, version 4.0) without
// its scheme; a text value stays as it is.
std::string WithoutTelScheme(const ContentLine& property, std::string number)
{
    if (ascii::EqualsIgnoringCase(property.Parameter("VALUE"), "uri") && ascii::StartsWithIgnoringCase(number, "tel:"))
        number.erase(0, 4);
    return number;
}

// What one card says, collected property by property.
class Card {
public:
    explicit Card(bool fileIsUtf8) : fileIsUtf8_(fileIsUtf8) {}

    void SetVersion(std::string_view version) { version21_ = version.substr(0, 2) == "2."; }

    // False when the property leads to no field.
    bool Add(const ContentLine& property)
    {
        const std::string& name = property.name;
        if (name == "FN") {
            if (formattedName_.empty())
                formattedName_ = Text(property);
        } else if (name == "N") {
            if (nameFromParts_.empty())
                nameFromParts_ = NameFromParts(Decoded(property), version21_);
        } else if (name == "CATEGORIES") {
            Join(record_[col::Category], Text(property), ",");
        } else if (name == "TEL") {
            const std::string number = WithoutTelScheme(property, Text(property));
            Join(record_[TelephoneColumn(property)], number, "; ");
            if (firstNumber_.empty())
                firstNumber_ = number;
        } else if (name == "EMAIL") {
            const std::string address = Text(property);
            Join(record_[col::Email], address, "; ");
            if (firstAddress_.empty())
                firstAddress_ = address;
        } else if (name == "URL") {
            Join(record_[col::HomePage], Text(property), "; ");
        } else if (name == "NOTE") {
            Join(record_[col::Remarks], Text(property), "; ");
        } else if (name == "X-QQ") {
            Join(record_[col::QQ], Text(property), "; ");
        } else {
            return false;
        }
        return true;
    }

    Record Finish()
    {
        for (const std::string* name : {&formattedName_, &nameFromParts_, &firstNumber_, &firstAddress_}) {
            if (!name->empty()) {
                record_[col::Name] = *name;
                break;
            }
        }
        return std::move(record_);
    }

private:
    std::string Decoded(const ContentLine& property) const { return DecodedValue(property, fileIsUtf8_); }

    std::string Text(const ContentLine& property) const
    {
        std::string text = Unescape(Decoded(property), version21_);
        return property.Parameter("X-LINEBREAK") == "CRLF" ? WithCrLf(text) : text;
    }

    bool fileIsUtf8_;
    bool version21_ = false;
    Record record_;
    std::string formattedName_;
    std::string nameFromParts_;
    std::string firstNumber_;
    std::string firstAddress_;
};

} // namespace

VCardRecordSource::VCardRecordSource(std::string bytes) : bytes_(std::move(bytes)), lexer_(bytes_) {}

bool VCardRecordSource::Next(Record& record)
{
    while (lexer_.Next(property_)) {
        if (IsCardMarker(property_, "END"))
            throw FileFormatError(property_.line, "END:VCARD前面没有BEGIN:VCARD.");
        if (!IsCardMarker(property_, "BEGIN"))
            throw FileFormatError(property_.line, "名片(BEGIN:VCARD与END:VCARD之间)以外有内容.");
        ReadCard(property_.line, record);
        if (!HasNoImportableText(record))
            return true;
    }
    return false;
}

void VCardRecordSource::ReadCard(int beginLine, Record& record)
{
    Card card(lexer_.FileIsUtf8());
    for (;;) {
        if (!lexer_.Next(property_) || property_.name == "BEGIN")
            throw FileFormatError(beginLine, "这张名片没有结束(缺少END:VCARD).");
        if (IsCardMarker(property_, "END"))
            break;
        if (property_.name == "VERSION")
            card.SetVersion(property_.value);
        else if (!card.Add(property_) && !IsBookkeeping(property_.name))
            ignored_.insert(property_.name);
    }
    record = card.Finish();
}

double VCardRecordSource::Progress() const
{
    return lexer_.Size() == 0 ? 1.0 : static_cast<double>(lexer_.Position()) / static_cast<double>(lexer_.Size());
}

std::vector<std::string> VCardRecordSource::IgnoredNames() const { return {ignored_.begin(), ignored_.end()}; }

} // namespace transfer
