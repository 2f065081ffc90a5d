#include "transfer/VCardLexer.h"

#include "transfer/Ascii.h"

#include <algorithm>
#include <array>
#include <optional>

namespace transfer {
namespace {

using ascii::EqualsIgnoringCase;
using ascii::Upper;

std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    return upper;
}

bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsEncodingName(std::string_view token)
{
    constexpr std::array<std::string_view, 5> encodings = {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"};
    return std::any_of(encodings.begin(), encodings.end(), [&](std::string_view e) { return EqualsIgnoringCase(e, token); });
}

std::string_view Unquoted(std::string_view value)
{
    return value.size() >= 2 && value.front() == '"' && value.back() == '"' ? value.substr(1, value.size() - 2) : value;
}

// Cuts text at every separator that stands outside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// Reads the head before a property's colon, "group.NAME;PARAM=value;BARE";
// false when it names no property.
bool ParseHead(std::string_view head, ContentLine& property)
{
    const std::vector<std::string_view> pieces = SplitOutsideQuotes(head, ';');
    std::string_view name = pieces.front();
    std::string_view group;
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        group = name.substr(0, dot);
        name.remove_prefix(dot + 1);
    }
    if (name.empty() || !std::all_of(name.begin(), name.end(), IsNameCharacter))
        return false;
    property.name = UpperCase(name);
    property.group = UpperCase(group);
    property.parameters.clear();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const std::string_view piece = pieces[i];
        const std::size_t equals = piece.find('=');
        if (equals != std::string_view::npos)
            property.parameters.emplace_back(UpperCase(piece.substr(0, equals)), Unquoted(piece.substr(equals + 1)));
        else if (!piece.empty())
            property.parameters.emplace_back(IsEncodingName(piece) ? "ENCODING" : "TYPE", Unquoted(piece));
    }
    return true;
}

} // namespace

std::string_view ContentLine::Parameter(std::string_view wanted) const
{
    for (const auto& [name, value] : parameters)
        if (name == wanted)
            return value;
    return {};
}

bool ContentLine::HasType(std::string_view type) const
{
    for (const auto& [name, value] : parameters) {
        if (name != "TYPE")
            continue;
        for (const std::string_view listed : SplitOutsideQuotes(value, ','))
            if (EqualsIgnoringCase(listed, type))
                return true;
    }
    return false;
}

bool ContentLine::IsQuotedPrintable() const { return EqualsIgnoringCase(Parameter("ENCODING"), "QUOTED-PRINTABLE"); }

bool ContentLine::IsBase64() const
{
    const std::string_view encoding = Parameter("ENCODING");
    return EqualsIgnoringCase(encoding, "B") || EqualsIgnoringCase(encoding, "BASE64");
}

VCardLexer::VCardLexer(std::string_view bytes) : bytes_(bytes), breaks_(bytes) {}

std::string_view VCardLexer::PeekLine(std::size_t& next) const
{
    std::size_t end = pos_;
    std::size_t length = 0;
    // A plain loop: find_first_of calls memchr once for every byte it passes.
    for (; end < bytes_.size(); ++end) {
        const char c = bytes_[end];
        if ((c == '\n' || c == '\r') && (length = breaks_.At(bytes_, end)) > 0)
            break;
    }
    next = end + length;
    return bytes_.substr(pos_, end - pos_);
}

void VCardLexer::Consume(std::size_t next)
{
    pos_ = next;
    ++line_;
}

std::size_t VCardLexer::FindColon(std::size_t from)
{
    for (std::size_t i = from; i < logical_.size(); ++i) {
        if (logical_[i] == '"')
            headQuoted_ = !headQuoted_;
        else if (logical_[i] == ':' && !headQuoted_)
            return i;
    }
    return std::string::npos;
}

bool VCardLexer::Next(ContentLine& property, RepairLog& repairs)
{
    for (;;) {
        std::size_t next = 0;
        std::string_view first;
        for (;;) {
            if (pos_ >= bytes_.size())
                return false;
            first = PeekLine(next);
            if (first.find_first_not_of(" \t") != std::string_view::npos)
                break;
            Consume(next);
        }
        const int startLine = line_;
        logical_.assign(first);
        Consume(next);
        headQuoted_ = false;
        // The head is read once its colon has come: each byte is looked at
        // once however often the line is folded.
        std::optional<std::size_t> valueStart;
        bool headRead = false;
        const auto readHead = [&](std::size_t from) {
            if (headRead)
                return;
            const std::size_t colon = FindColon(from);
            if (colon == std::string::npos)
                return;
            headRead = true;
            if (ParseHead(std::string_view(logical_).substr(0, colon), property))
                valueStart = colon + 1;
        };
        readHead(0);
        while (pos_ < bytes_.size()) {
            const std::string_view following = PeekLine(next);
            if (valueStart && property.IsQuotedPrintable() && logical_.size() > *valueStart && logical_.back() == '=') {
                logical_.pop_back(); // a soft line break: the next line goes on as it is
                logical_ += following;
            } else if (!following.empty() && (following[0] == ' ' || following[0] == '\t')) {
                const std::size_t from = logical_.size();
                logical_ += following.substr(1);
                readHead(from);
            } else {
                break;
            }
            Consume(next);
        }
        if (!valueStart) {
            repairs.Add(startLine, logical_.starts_with('#') ? "以\"#\"开头的注释行, 已跳过."
                                                             : "这一行不是名片的属性(应为\"名称:值\"), 已跳过.");
            continue;
        }
        // Version 2.1 writers may leave the lines of a base64 value unindented, up to an empty line.
        while (property.IsBase64() && pos_ < bytes_.size()) {
            const std::string_view following = PeekLine(next);
            if (following.empty() || following.find(':') != std::string_view::npos)
                break;
            logical_ += following;
            Consume(next);
        }
        property.line = startLine;
        property.value = logical_.substr(*valueStart);
        return true;
    }
}

} // namespace transfer
