#include "transfer/VCardRecords.h"

#include "transfer/Ascii.h"
#include "transfer/FileFormatError.h"
#include "transfer/HeaderRecognition.h"
#include "transfer/VCardProperties.h"

#include <algorithm>
#include <unordered_map>

namespace transfer {
namespace {

// "BEGIN:VCARD" or "END:VCARD", blanks after the value allowed.
bool IsCardMarker(const ContentLine& property, std::string_view name)
{
    std::string_view value = property.value;
    value = value.substr(0, value.find_last_not_of(" \t") + 1);
    return property.name == name && ascii::EqualsIgnoringCase(value, "VCARD");
}

// Undoes the escapes of a text value: "\\", "\;", "\," and "\:" in every
// version; from 3.0 on also "\n" (or "\N") for a line break, and "\r", which
// is how this program writes a CR that is not part of a CR LF. Any other
// backslash stays as it is.
std::string Unescape(std::string_view value, bool version21)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char after = i + 1 < value.size() ? value[i + 1] : '\0';
        if (c != '\\' || after == '\0') {
            text += c;
        } else if (after == '\\' || after == ';' || after == ',' || after == ':') {
            text += after;
            ++i;
        } else if (!version21 && (after == 'n' || after == 'N' || after == 'r')) {
            text += after == 'r' ? '\r' : '\n';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

// Cuts a value at every separator that no backslash escapes.
std::vector<std::string_view> SplitUnescaped(std::string_view value, char separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\')
            ++i;
        else if (value[i] == separator) {
            pieces.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(value.substr(start));
    return pieces;
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

// An Apple label as it is meant: "_$!<Mobile>!$_" is "Mobile".
std::string_view LabelText(std::string_view label)
{
    if (label.substr(0, 4) == "_$!<" && label.size() >= 8 && label.substr(label.size() - 4) == ">!$_")
        return label.substr(4, label.size() - 8);
    return label;
}

// The part of an address a line shows for an ADR's types or label.
std::string AddressLabel(const ContentLine& property, std::string_view label)
{
    if (!label.empty())
        return "地址(" + std::string(label) + ")";
    if (property.HasType("HOME"))
        return "住宅地址";
    if (property.HasType("WORK"))
        return "工作地址";
    return "地址";
}

// "x-apple:123" is scheme "x-apple" and address "123"; a value without a
// scheme has none.
std::pair<std::string_view, std::string_view> SplitScheme(std::string_view value)
{
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {{}, value};
    const std::string_view scheme = value.substr(0, colon);
    const bool plain = std::all_of(scheme.begin(), scheme.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '+' ||
               c == '.';
    });
    return plain ? std::pair{scheme, value.substr(colon + 1)} : std::pair{std::string_view(), value};
}

// What one card says, property by property, into the builder.
class Card {
public:
    Card(RecordBuilder& builder, bool fileIsUtf8, bool version21, std::set<std::string>& ignored)
        : builder_(builder), fileIsUtf8_(fileIsUtf8), version21_(version21), ignored_(ignored)
    {
    }

    void Read(const std::vector<ContentLine>& properties)
    {
        for (const ContentLine& property : properties)
            if (!property.group.empty() && property.name == "X-ABLABEL")
                labels_[property.group] = Text(property);
        for (const ContentLine& property : properties)
            Add(property);
    }

private:
    void Add(const ContentLine& property)
    {
        const PropertyInfo info = PropertyOf(property.name);
        const std::string_view label = LabelOf(property);
        switch (info.use) {
        case PropertyUse::Name: builder_.Name(Text(property)); break;
        case PropertyUse::NameParts: AddName(property); break;
        case PropertyUse::Company: AddCompany(property); break;
        case PropertyUse::Telephone: AddTelephone(property, label); break;
        case PropertyUse::Email: builder_.Email(Text(property)); break;
        case PropertyUse::HomePage: builder_.HomePage(Text(property)); break;
        case PropertyUse::Remarks: builder_.Remarks(Text(property)); break;
        case PropertyUse::Groups: {
            const std::string groups = Decoded(property);
            for (const std::string_view group : SplitUnescaped(groups, ','))
                builder_.Group(Unescape(group, version21_));
            break;
        }
        case PropertyUse::QQ: builder_.QQ(Text(property)); break;
        case PropertyUse::Messaging: AddMessaging(property); break;
        case PropertyUse::Chat:
        case PropertyUse::Note:
            builder_.Note(label.empty() ? std::string(info.label) : LabelledNote(info.label, label), Text(property));
            break;
        case PropertyUse::Address: AddAddress(property, label); break;
        case PropertyUse::AndroidField: AddAndroidField(property); break;
        case PropertyUse::Label:
            if (property.group.empty())
                ignored_.insert(ChineseNameOf(property.name));
            break;
        case PropertyUse::Bookkeeping: break;
        case PropertyUse::NotKept: ignored_.insert(ChineseNameOf(property.name)); break;
        }
    }

    std::string_view LabelOf(const ContentLine& property) const
    {
        if (property.group.empty())
            return {};
        const auto found = labels_.find(property.group);
        return found == labels_.end() ? std::string_view() : LabelText(found->second);
    }

    static std::string LabelledNote(std::string_view what, std::string_view label)
    {
        return std::string(what) + "(" + std::string(label) + ")";
    }

    std::string Decoded(const ContentLine& property) const { return DecodedValue(property, fileIsUtf8_); }

    // A parameter's value as text in the file's encoding; empty when it is not valid there.
    std::string ParameterText(const ContentLine& property, std::string_view name) const
    {
        return DecodeValue(property.Parameter(name), fileIsUtf8_ ? "UTF-8" : "GB18030").value_or(std::string());
    }

    std::string Text(const ContentLine& property) const
    {
        std::string text = Unescape(Decoded(property), version21_);
        return property.Parameter("X-LINEBREAK") == "CRLF" ? WithCrLf(text) : text;
    }

    std::vector<std::string> Components(const ContentLine& property) const
    {
        const std::string decoded = Decoded(property);
        std::vector<std::string> components;
        for (const std::string_view piece : SplitUnescaped(decoded, ';'))
            components.push_back(Unescape(piece, version21_));
        return components;
    }

    void AddName(const ContentLine& property)
    {
        const std::vector<std::string> parts = Components(property);
        auto part = [&](std::size_t i) { return i < parts.size() ? std::string_view(parts[i]) : std::string_view(); };
        builder_.Part(NamePart::Family, part(0));
        builder_.Part(NamePart::Given, part(1));
        builder_.Part(NamePart::Middle, part(2));
        builder_.Note("称谓", part(3));
        builder_.Note("后缀", part(4));
    }

    void AddCompany(const ContentLine& property)
    {
        const std::vector<std::string> units = Components(property);
        builder_.Company(units.front());
        std::string department;
        for (std::size_t i = 1; i < units.size(); ++i)
            if (!Trimmed(units[i]).empty())
                department.append(department.empty() ? "" : " ").append(Trimmed(units[i]));
        builder_.Note("部门", department);
    }

    void AddTelephone(const ContentLine& property, std::string_view label)
    {
        std::string number = Text(property);
        // A 4.0 "tel:" address loses its scheme only when it says it is one.
        if (ascii::EqualsIgnoringCase(property.Parameter("VALUE"), "uri") && ascii::StartsWithIgnoringCase(number, "tel:"))
            number.erase(0, 4);
        const NumberKind byLabel = KindOfNumber(label);
        if (byLabel == NumberKind::QQ || property.HasType("QQ") || property.HasType("X-QQ"))
            builder_.QQ(number);
        else if (byLabel == NumberKind::Fax || property.HasType("FAX"))
            builder_.Telephone(PhoneKind::Fax, number);
        else if (byLabel == NumberKind::Mobile || property.HasType("CELL") || property.HasType("MOBILE") ||
                 property.HasType("IPHONE"))
            builder_.Telephone(PhoneKind::Mobile, number);
        else
            builder_.Telephone(PhoneKind::Other, number);
    }

    void AddMessaging(const ContentLine& property)
    {
        const std::string text = Text(property);
        const auto [scheme, address] = SplitScheme(text);
        std::string service = ParameterText(property, "X-SERVICE-TYPE");
        if (service.empty())
            service = ParameterText(property, "TYPE");
        if (NamesQQ(service) || property.HasType("QQ") || ascii::EqualsIgnoringCase(scheme, "qq")) {
            builder_.QQ(address);
            return;
        }
        if (service.empty())
            service = scheme;
        builder_.Note(service.empty() ? std::string("即时通讯") : LabelledNote("即时通讯", service), text);
    }

    void AddAddress(const ContentLine& property, std::string_view label)
    {
        std::string address;
        for (const std::string& component : Components(property))
            if (!Trimmed(component).empty())
                address.append(address.empty() ? "" : " ").append(Trimmed(component));
        builder_.Note(AddressLabel(property, label), address);
    }

    // Android's own fields: "vnd.android.cursor.item/nickname;Bob;1;...".
    void AddAndroidField(const ContentLine& property)
    {
        const std::vector<std::string> parts = Components(property);
        const std::string_view kind = parts.front();
        const std::string_view value = parts.size() > 1 ? std::string_view(parts[1]) : std::string_view();
        if (kind.ends_with("/nickname"))
            builder_.Note("昵称", value);
        else if (kind.ends_with("/contact_event"))
            builder_.Note("纪念日", value);
        else if (kind.ends_with("/relation"))
            builder_.Note("相关人", value);
        else
            ignored_.insert(ChineseNameOf(property.name));
    }

    RecordBuilder& builder_;
    bool fileIsUtf8_;
    bool version21_;
    std::set<std::string>& ignored_;
    std::unordered_map<std::string, std::string> labels_; // by group
};

} // namespace

VCardRecordSource::VCardRecordSource(std::string bytes)
    : bytes_(WithUtf16AsUtf8(bytes)), encoding_(FileEncoding::Utf8), lexer_(bytes_)
{
    if (bytes.substr(0, 2) == "\xFF\xFE")
        encoding_ = FileEncoding::Utf16Le;
    else if (bytes.substr(0, 2) == "\xFE\xFF")
        encoding_ = FileEncoding::Utf16Be;
    else if (!lexer_.FileIsUtf8())
        encoding_ = FileEncoding::CodePage;
    else if (WithoutUtf8Bom(bytes_).size() != bytes_.size())
        encoding_ = FileEncoding::Utf8WithBom;
}

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
    card_.clear();
    bool version21 = false;
    for (;;) {
        if (!lexer_.Next(property_) || property_.name == "BEGIN")
            throw FileFormatError(beginLine, "这张名片没有结束(缺少END:VCARD).");
        if (IsCardMarker(property_, "END"))
            break;
        if (property_.name == "VERSION") {
            const std::string_view version = Trimmed(property_.value);
            version21 = version.substr(0, 2) == "2.";
            if (versions_.size() < 8)
                versions_.emplace(version);
            continue;
        }
        if (property_.name == "PRODID" && maker_.empty())
            maker_ = property_.value;
        ++counts_[property_.name];
        card_.push_back(std::move(property_));
    }
    Card(builder_, lexer_.FileIsUtf8(), version21, ignored_).Read(card_);
    builder_.Finish(record);
}

double VCardRecordSource::Progress() const
{
    return lexer_.Size() == 0 ? 1.0 : static_cast<double>(lexer_.Position()) / static_cast<double>(lexer_.Size());
}

std::vector<std::string> VCardRecordSource::IgnoredNames() const { return {ignored_.begin(), ignored_.end()}; }

} // namespace transfer
