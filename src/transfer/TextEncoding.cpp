#include "transfer/TextEncoding.h"

#include "platform/system/CodePage.h"
#include "transfer/Ascii.h"
#include "transfer/FileFormatError.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace transfer {
namespace {

using ascii::EqualsIgnoringCase;

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t None = std::string_view::npos;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsCodePageName(std::string_view charset)
{
    constexpr std::array<std::string_view, 6> names = {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN", "X-GBK"};
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) { return EqualsIgnoringCase(name, charset); });
}

// The bytes as UTF-8 when they are valid in the character set (see DecodeValue).
std::optional<std::string> ReadInCharset(std::string_view bytes, std::string_view charset)
{
    const bool utf8Valid = ValidUtf8Prefix(bytes) == bytes.size();
    if (charset.empty() ? utf8Valid : EqualsIgnoringCase(charset, "UTF-8") || EqualsIgnoringCase(charset, "UTF8")) {
        if (!utf8Valid)
            return std::nullopt;
        return std::string(bytes);
    }
    if (charset.empty() || IsCodePageName(charset)) {
        std::string utf8;
        if (platform::AnsiToUtf8(bytes, utf8) != None)
            return std::nullopt;
        return utf8;
    }
    QStringDecoder decoder(QByteArray(charset.data(), static_cast<qsizetype>(charset.size())).constData(),
                           QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace

std::size_t ValidUtf8Prefix(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF; // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong
            else if (lead == 0xF4)
                high = 0x8F; // beyond U+10FFFF
        } else {
            return i;
        }
        if (i + length > size || data[i + 1] < low || data[i + 1] > high)
            return i;
        for (std::size_t k = 2; k < length; ++k)
            if (!IsContinuation(data[i + k]))
                return i;
        i += length;
    }
    return size;
}

int LineAt(std::string_view text, std::size_t offset)
{
    int line = 1;
    const std::size_t end = std::min(offset, text.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

std::string_view WithoutUtf8Bom(std::string_view bytes)
{
    return bytes.substr(0, Utf8Bom.size()) == Utf8Bom ? bytes.substr(Utf8Bom.size()) : bytes;
}

std::string DecodeTextFile(std::string_view bytes)
{
    const std::string_view text = WithoutUtf8Bom(bytes);
    if (const std::size_t zero = text.find('\0'); zero != None)
        throw FileFormatError(LineAt(text, zero), "含有空字符, 不是文本文件.");
    const std::size_t utf8Stop = ValidUtf8Prefix(text);
    if (utf8Stop == text.size())
        return std::string(text);
    if (text.size() != bytes.size())
        throw FileFormatError(LineAt(text, utf8Stop), "文件以UTF-8标记开头, 此处却不是有效的UTF-8.");
    std::string utf8;
    const std::size_t codePageStop = platform::AnsiToUtf8(text, utf8);
    if (codePageStop == None)
        return utf8;
    // The reading that got further names the line.
    throw FileFormatError(LineAt(text, std::max(utf8Stop, codePageStop)), "文字编码无效, 既不是UTF-8也不是GBK.");
}

std::optional<std::string> DecodeValue(std::string_view bytes, std::string_view charset)
{
    std::optional<std::string> utf8 = ReadInCharset(bytes, charset);
    if (utf8 && utf8->find('\0') != None)
        return std::nullopt;
    return utf8;
}

} // namespace transfer
