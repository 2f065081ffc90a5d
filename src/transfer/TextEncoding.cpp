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
        if (platform::AnsiToUtf8(bytes, utf8) != std::string_view::npos)
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

// After a UTF-16 byte-order mark: whether the order is little-endian.
std::optional<bool> Utf16Order(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return true;
    if (bytes.substr(0, 2) == "\xFE\xFF")
        return false;
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 code units (after the mark) as UTF-8. A unit cut in half, a
// surrogate without its partner or a zero character is refused, naming the
// line of the text read so far.
std::string Utf16ToUtf8(std::string_view units, bool littleEndian)
{
    std::string utf8;
    utf8.reserve(units.size() * 3 / 2);
    auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(units[i]);
        const auto second = static_cast<unsigned char>(units[i + 1]);
        return static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
    };
    auto fail = [&](const char* reason) { throw FileFormatError(LineAt(utf8, utf8.size()), reason); };
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const char16_t unit = unitAt(i);
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const char16_t low = i + 3 < units.size() ? unitAt(i + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                fail("UTF-16编码无效: 代理项不成对.");
            c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            fail("UTF-16编码无效: 代理项不成对.");
        } else if (unit == 0) {
            fail("含有空字符, 不是文本文件.");
        }
        AppendUtf8(utf8, c);
    }
    if (units.size() % 2 != 0)
        fail("UTF-16文件的字节数不是偶数, 最后一个字符不完整.");
    return utf8;
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

std::string_view EncodingName(FileEncoding encoding)
{
    switch (encoding) {
    case FileEncoding::Utf8: return "UTF-8";
    case FileEncoding::Utf8WithBom: return "UTF-8 (带BOM)";
    case FileEncoding::CodePage: return "GBK";
    case FileEncoding::Utf16Le: return "UTF-16 LE";
    case FileEncoding::Utf16Be: return "UTF-16 BE";
    }
    return {};
}

DecodedFile DecodeTextFile(std::string_view bytes)
{
    if (const std::optional<bool> littleEndian = Utf16Order(bytes))
        return {Utf16ToUtf8(bytes.substr(2), *littleEndian),
                *littleEndian ? FileEncoding::Utf16Le : FileEncoding::Utf16Be};
    const std::string_view text = WithoutUtf8Bom(bytes);
    const bool marked = text.size() != bytes.size();
    if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos)
        throw FileFormatError(LineAt(text, zero), "含有空字符, 不是文本文件.");
    const std::size_t utf8Stop = ValidUtf8Prefix(text);
    if (utf8Stop == text.size())
        return {std::string(text), marked ? FileEncoding::Utf8WithBom : FileEncoding::Utf8};
    if (marked)
        throw FileFormatError(LineAt(text, utf8Stop), "文件以UTF-8标记开头, 此处却不是有效的UTF-8.");
    std::string utf8;
    const std::size_t codePageStop = platform::AnsiToUtf8(text, utf8);
    if (codePageStop == std::string_view::npos)
        return {std::move(utf8), FileEncoding::CodePage};
    // The reading that got further names the line.
    throw FileFormatError(LineAt(text, std::max(utf8Stop, codePageStop)), "文字编码无效, 既不是UTF-8也不是GBK.");
}

std::string WithUtf16AsUtf8(std::string bytes)
{
    const std::optional<bool> littleEndian = Utf16Order(bytes);
    if (!littleEndian)
        return bytes;
    return std::string(Utf8Bom) + Utf16ToUtf8(std::string_view(bytes).substr(2), *littleEndian);
}

std::optional<std::string> DecodeValue(std::string_view bytes, std::string_view charset)
{
    std::optional<std::string> utf8 = ReadInCharset(bytes, charset);
    if (utf8 && utf8->find('\0') != std::string_view::npos)
        return std::nullopt;
    return utf8;
}

} // namespace transfer
