#include "transfer/VCardLexer.h"

#include "transfer/Ascii.h"
#include "transfer/FileFormatError.h"
#include "transfer/TextEncoding.h"

#include <QByteArray>

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

// Reads "group.NAME;PARAM=value;BARE" up to the first colon outside double
// quotes; answers where the value starts, or nothing when the text is no
// property line.
std::optional<std::size_t> ParseHead(std::string_view line, ContentLine& property)
{
    bool quoted = false;
    std::size_t colon = std::string_view::npos;
    for (std::size_t i = 0; i < line.size() && colon == std::string_view::npos; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string_view> pieces = SplitOutsideQuotes(line.substr(0, colon), ';');
    std::string_view name = pieces.front();
    std::string_view group;
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        group = name.substr(0, dot);
        name.remove_prefix(dot + 1);
    }
    if (name.empty() || !std::all_of(name.begin(), name.end(), IsNameCharacter))
        return std::nullopt;
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
    return colon + 1;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char upper = Upper(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

std::string FromQuotedPrintable(std::string_view value, int line)
{
    std::string bytes;
    bytes.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '=') {
            bytes += value[i];
            continue;
        }
        if (i + 1 == value.size()) // a soft break with nothing after it
            break;
        const int high = HexDigit(value[i + 1]);
        const int low = i + 2 < value.size() ? HexDigit(value[i + 2]) : -1;
        if (high < 0 || low < 0)
            throw FileFormatError(line, "quoted-printable编码有误: \"=\"后面应是两位十六进制数.");
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::string FromBase64(std::string_view value, int line)
{
    QByteArray packed;
    for (const char c : value)
        if (c != ' ' && c != '\t')
            packed += c;
    const auto decoded = QByteArray::fromBase64Encoding(packed, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw FileFormatError(line, "base64编码有误.");
    return decoded.decoded.toStdString();
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

std::string DecodedValue(const ContentLine& property, bool fileIsUtf8)
{
    const std::string_view charset = property.Parameter("CHARSET");
    const bool encoded = property.IsQuotedPrintable() || property.IsBase64();
    const std::string bytes = !encoded ? std::string()
        : property.IsQuotedPrintable() ? FromQuotedPrintable(property.value, property.line)
                                       : FromBase64(property.value, property.line);
    // A value as it stands is in the file's encoding; a decoded one may be in either.
    const std::string_view readAs = !charset.empty() || encoded ? charset : fileIsUtf8 ? "UTF-8" : "GB18030";
    std::optional<std::string> text = DecodeValue(encoded ? bytes : property.value, readAs);
    if (!text) {
        throw FileFormatError(property.line, charset.empty() ? std::string("值的编码无效, 既不是UTF-8也不是GBK.")
                                                             : "值不是有效的\"" + std::string(charset) + "\"文字.");
    }
    return std::move(*text);
}

VCardLexer::VCardLexer(std::string_view bytes) : bytes_(WithoutUtf8Bom(bytes))
{
    fileIsUtf8_ = ValidUtf8Prefix(bytes_) == bytes_.size();
}

std::string_view VCardLexer::PeekLine(std::size_t& next) const
{
    // A plain loop: find_first_of calls memchr once for every byte it passes.
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
        ++end;
    next = end;
    if (next < bytes_.size())
        next += bytes_[next] == '\r' && next + 1 < bytes_.size() && bytes_[next + 1] == '\n' ? 2 : 1;
    return bytes_.substr(pos_, end - pos_);
}

void VCardLexer::Consume(std::size_t next)
{
    pos_ = next;
    ++line_;
}

bool VCardLexer::Next(ContentLine& property)
{
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
    property.line = line_;
    std::string logical(first);
    Consume(next);
    std::optional<std::size_t> valueStart = ParseHead(logical, property);
    while (pos_ < bytes_.size()) {
        const std::string_view following = PeekLine(next);
        if (valueStart && property.IsQuotedPrintable() && logical.size() > *valueStart && logical.back() == '=') {
            logical.pop_back(); // a soft line break: the next line goes on as it is
            logical += following;
        } else if (!following.empty() && (following[0] == ' ' || following[0] == '\t')) {
            logical += following.substr(1);
            if (!valueStart)
                valueStart = ParseHead(logical, property);
        } else {
            break;
        }
        Consume(next);
    }
    if (!valueStart)
        throw FileFormatError(property.line, "这一行不是名片的属性(应为\"名称:值\").");
    // Version 2.1 writers may leave the lines of a base64 value unindented, up to an empty line.
    while (property.IsBase64() && pos_ < bytes_.size()) {
        const std::string_view following = PeekLine(next);
        if (following.empty() || following.find(':') != std::string_view::npos)
            break;
        logical += following;
        Consume(next);
    }
    property.value = logical.substr(*valueStart);
    return true;
}

} // namespace transfer
