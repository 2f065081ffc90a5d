#include "transfer/VCardRecords.h"

#include "transfer/Ascii.h"
#include "transfer/ContactWords.h"
#include "transfer/EncodingGuess.h"
#include "transfer/FileFormatError.h"
#include "transfer/TextEncoding.h"
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
    Card(RecordBuilder& builder, CardValues& values, RepairLog& repairs, bool version21, std::set<std::string>& ignored)
        : builder_(builder), values_(values), repairs_(repairs), version21_(version21), ignored_(ignored)
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

    std::string Decoded(const ContentLine& property) const { return values_.Decode(property, repairs_); }

    std::string ParameterText(const ContentLine& property, std::string_view name) const
    {
        return values_.ParameterText(property, name);
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
    CardValues& values_;
    RepairLog& repairs_;
    bool version21_;
    std::set<std::string>& ignored_;
    std::unordered_map<std::string, std::string> labels_; // by group
};

// Who wrote a card file, told by its PRODID and its own properties.
std::string CardMaker(std::string_view maker, const std::map<std::string, int>& counts)
{
    const auto says = [&](std::string_view word) { return maker.find(word) != std::string_view::npos; };
    if (says("Apple") || says("iPhone") || says("Mac OS"))
        return "苹果设备";
    if (says("Google"))
        return "Google 通讯录";
    if (says("Sabre") || says("Nextcloud") || says("ownCloud"))
        return "Nextcloud";
    if (says("Microsoft") || says("Outlook"))
        return "Outlook";
    if (says("Thunderbird") || says("Mozilla"))
        return "Thunderbird";
    if (counts.count("X-ANDROID-CUSTOM"))
        return "安卓手机";
    return {};
}

bool IsUtf16(const Encoding& encoding) { return encoding.charset == "UTF-16LE" || encoding.charset == "UTF-16BE"; }

// The encoding of the values that carry no CHARSET, from the values themselves.
EncodingGuess GuessValueEncoding(std::string_view bytes)
{
    EncodingGuesser guesser;
    VCardLexer lexer(bytes);
    RepairLog ignored;
    ContentLine property;
    while (lexer.Next(property, ignored))
        if (property.Parameter("CHARSET").empty())
            guesser.Feed(property.value);
    return guesser.Guess();
}

} // namespace

VCardRecordSource::VCardRecordSource(std::string bytes)
    : VCardRecordSource(std::make_shared<const std::string>(std::move(bytes)))
{
}

VCardRecordSource::VCardRecordSource(std::shared_ptr<const std::string> bytes, std::optional<Encoding> encoding)
    : bytes_(std::move(bytes))
{
    std::string_view text = *bytes_;
    const std::optional<Encoding> marked = EncodingOfMark(text);
    encoding_ = encoding ? *encoding : marked ? *marked : Encoding();
    Encoding values = encoding_;
    if (IsUtf16(encoding_)) {
        // Cards in UTF-16 are read as the same text in UTF-8.
        decoded_ = DecodeTextFile(*bytes_, encoding_, repairs_).text;
        text = decoded_;
        values = Utf8Encoding();
    } else if (marked && marked->charset == encoding_.charset) {
        text.remove_prefix(MarkLength(*marked));
    } else if (!encoding) {
        const EncodingGuess guess = GuessValueEncoding(text);
        encoding_ = values = guess.encoding;
        encodingSure_ = guess.sure;
    }
    // An encoded value that is not UTF-8 is in the encoding chosen, else in
    // the file's when that is not UTF-8, else in the program's code page, as
    // the phones that write such values without a CHARSET use it.
    const Encoding fallback = encoding || values.charset != "UTF-8" ? values : CodePageEncoding();
    lexer_.emplace(text);
    values_.emplace(values, fallback);
}

VCardRecordSource::~VCardRecordSource() = default;

bool VCardRecordSource::Next(Record& record)
{
    for (;;) {
        if (!pendingBegin_ && !lexer_->Next(property_, repairs_))
            break;
        pendingBegin_ = false;
        if (IsCardMarker(property_, "BEGIN")) {
            ReadCard(property_.line, record);
            if (!HasNoImportableText(record)) {
                ++records_;
                return true;
            }
        } else if (IsCardMarker(property_, "END")) {
            repairs_.Add(property_.line, "END:VCARD前面没有BEGIN:VCARD, 已跳过.");
        } else {
            repairs_.Add(property_.line, "名片(BEGIN:VCARD与END:VCARD之间)以外的内容, 已跳过.");
        }
    }
    if (records_ == 0) {
        if (repairs_.Entries().empty())
            throw FileFormatError(1, "文件中没有一张可以导入的名片.");
        const Repair& first = repairs_.Entries().front();
        throw FileFormatError(first.line, first.what + " 文件中没有一张可以导入的名片.");
    }
    return false;
}

void VCardRecordSource::ReadCard(int beginLine, Record& record)
{
    card_.clear();
    bool version21 = false;
    for (;;) {
        if (!lexer_->Next(property_, repairs_)) {
            repairs_.Add(beginLine, "这张名片没有结束(缺少END:VCARD), 已读到文件末尾.");
            break;
        }
        if (IsCardMarker(property_, "END"))
            break;
        if (IsCardMarker(property_, "BEGIN")) {
            repairs_.Add(beginLine, "这张名片没有结束(缺少END:VCARD), 已读到下一张名片之前.");
            pendingBegin_ = true;
            break;
        }
        if (property_.name == "VERSION") {
            const std::string_view version = Trimmed(property_.value);
            version21 = version.substr(0, 2) == "2.";
            if (versions_.size() < 8 && version.size() <= 8)
                versions_.emplace(version);
            continue;
        }
        if (property_.name == "PRODID" && maker_.empty())
            maker_ = property_.value.substr(0, 200);
        ++counts_[property_.name];
        card_.push_back(std::move(property_)); // the lexer fills every part of it afresh
    }
    Card(builder_, *values_, repairs_, version21, ignored_).Read(card_);
    builder_.Finish(record);
}

double VCardRecordSource::Progress() const
{
    return lexer_->Size() == 0 ? 1.0 : static_cast<double>(lexer_->Position()) / static_cast<double>(lexer_->Size());
}

std::vector<std::string> VCardRecordSource::IgnoredNames() const { return {ignored_.begin(), ignored_.end()}; }

void VCardRecordSource::Report(ReadingReport& report) const
{
    std::string versions;
    for (const std::string& version : versions_)
        versions.append(versions.empty() ? "vCard " : "/").append(version);
    const std::string maker = CardMaker(maker_, counts_);
    std::string details = versions;
    if (!maker.empty())
        details.append(details.empty() ? "" : ", ").append(maker);
    report.kind = details.empty() ? "名片" : "名片 (" + details + ")";
    report.properties.assign(counts_.begin(), counts_.end());
    report.encoding = encoding_;
    report.encodingSure = encodingSure_;
}

} // namespace transfer
