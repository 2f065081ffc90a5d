#include "transfer/VCardValues.h"

#include "transfer/Ascii.h"
#include "transfer/TextEncoding.h"
#include "transfer/Utf8.h"

#include <QByteArray>

namespace transfer {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char upper = ascii::Upper(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

// "=XX" escapes undone; an "=" that starts none stays as it is.
std::string FromQuotedPrintable(std::string_view value, bool& damaged)
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
        if (high < 0 || low < 0) {
            damaged = true;
            bytes += '=';
            continue;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// Base64 with blanks anywhere; what is not base64 is passed over.
std::string FromBase64(std::string_view value, bool& damaged)
{
    QByteArray packed;
    packed.reserve(static_cast<qsizetype>(value.size()));
    for (const char c : value)
        if (c != ' ' && c != '\t')
            packed += c;
    const auto strict = QByteArray::fromBase64Encoding(packed, QByteArray::AbortOnBase64DecodingErrors);
    if (strict)
        return strict.decoded.toStdString();
    damaged = true;
    return QByteArray::fromBase64(packed).toStdString();
}

} // namespace

CardValues::CardValues(Encoding file, Encoding encodedFallback)
    : file_(std::move(file)), encodedFallback_(std::move(encodedFallback))
{
}

CardValues::~CardValues() = default;

TextConverter& CardValues::ConverterFor(const Encoding& encoding)
{
    for (auto& [charset, converter] : converters_)
        if (charset == encoding.charset)
            return *converter;
    return *converters_.emplace_back(encoding.charset, std::make_unique<TextConverter>(encoding)).second;
}

std::string CardValues::Decode(const ContentLine& property, RepairLog& repairs)
{
    const std::string_view label = property.Parameter("CHARSET");
    std::optional<Encoding> charset = label.empty() ? std::nullopt : EncodingOfLabel(label);
    if (!label.empty() && !charset) {
        std::size_t ignored = 0;
        const std::string shown = Shortened(ConverterFor(Utf8Encoding()).Convert(label, ignored), 40);
        repairs.Add(property.line, "不认识的字符集\"" + shown + "\", 按没有注明字符集的值读取.");
    }
    bool damaged = false;
    const bool encoded = property.IsQuotedPrintable() || property.IsBase64();
    const std::string bytes = !encoded                      ? std::string()
        : property.IsQuotedPrintable()                      ? FromQuotedPrintable(property.value, damaged)
                                                            : FromBase64(property.value, damaged);
    if (damaged)
        repairs.Add(property.line, property.IsQuotedPrintable() ? "quoted-printable编码有误, 有误的\"=\"按原样保留."
                                                                : "base64编码有误, 无效的字符已略过.");
    const std::string_view input = encoded ? std::string_view(bytes) : std::string_view(property.value);
    const Encoding encoding = charset                       ? *charset
        : !encoded                                           ? file_
        : ValidUtf8Prefix(input) == input.size()             ? Utf8Encoding()
                                                             : encodedFallback_;
    std::size_t replaced = 0;
    std::string text = ConverterFor(encoding).Convert(input, replaced);
    // No text holds a zero character: one sent as "=00" is damage too.
    for (std::size_t zero = text.find('\0'); zero != std::string::npos; zero = text.find('\0', zero)) {
        text.replace(zero, 1, ReplacementCharacter);
        ++replaced;
    }
    if (replaced > 0)
        repairs.Add(property.line, InvalidBytesRepair(replaced, encoding));
    return text;
}

std::string CardValues::ParameterText(const ContentLine& property, std::string_view name)
{
    const std::string_view value = property.Parameter(name);
    std::size_t replaced = 0;
    std::string text = ConverterFor(file_).Convert(value, replaced);
    return replaced == 0 && text.find('\0') == std::string::npos ? text : std::string();
}

} // namespace transfer
