#include "transfer/Encodings.h"

#include "transfer/Ascii.h"

#include <iconv.h>

#include <algorithm>
#include <initializer_list>

namespace transfer {
namespace {

struct KnownEncoding {
    std::string_view charset;     // the converter's name
    std::string_view name;        // as the preview shows it
    std::string_view languages;   // what the list adds to the name; empty for none
    std::initializer_list<std::string_view> labels; // other names files give it
    bool choosable = true;
};

// The order of the preview's list: Unicode, then the sets of Chinese,
// Japanese and Korean, then the others.
const KnownEncoding kKnown[] = {
    {"UTF-8", "UTF-8", {}, {"UTF8", "ASCII", "US-ASCII", "ANSI_X3.4-1968", "UNICODE-1-1-UTF-8"}},
    {"GB18030", "GBK", "简体中文", {"GBK", "GB2312", "CP936", "MS936", "WINDOWS-936", "EUC-CN", "X-GBK", "GB_2312-80", "CHINESE", "CSGB2312", "ISO-IR-58"}},
    {"CP950", "Big5", "繁体中文", {"BIG5", "BIG-5", "CN-BIG5", "X-X-BIG5", "CSBIG5", "MS950"}},
    {"BIG5-HKSCS", "Big5-HKSCS", "繁体中文, 香港", {"BIG5HKSCS"}},
    {"CP932", "Shift_JIS", "日文", {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "MS_KANJI", "WINDOWS-31J", "X-SJIS", "MS932", "CSSHIFTJIS"}},
    {"EUC-JP", "EUC-JP", "日文", {"EUCJP", "X-EUC-JP", "CSEUCPKDFMTJAPANESE"}},
    {"ISO-2022-JP", "ISO-2022-JP", "日文", {"CSISO2022JP"}, false},
    {"CP949", "EUC-KR", "韩文", {"EUC-KR", "EUCKR", "UHC", "KS_C_5601-1987", "KSC5601", "WINDOWS-949", "CSEUCKR"}},
    {"ISO-2022-KR", "ISO-2022-KR", "韩文", {}, false},
    {"CP1252", "Windows-1252", "西欧", {"WINDOWS-1252", "ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "L1", "CP819", "X-CP1252"}},
    {"CP1250", "Windows-1250", "中欧", {"WINDOWS-1250", "X-CP1250"}},
    {"CP1251", "Windows-1251", "西里尔文", {"WINDOWS-1251", "X-CP1251"}},
    {"CP1253", "Windows-1253", "希腊文", {"WINDOWS-1253"}},
    {"CP1254", "Windows-1254", "土耳其文", {"WINDOWS-1254", "ISO-8859-9", "ISO8859-9", "LATIN5"}},
    {"CP1255", "Windows-1255", "希伯来文", {"WINDOWS-1255"}},
    {"CP1256", "Windows-1256", "阿拉伯文", {"WINDOWS-1256"}},
    {"CP1257", "Windows-1257", "波罗的海文", {"WINDOWS-1257"}},
    {"CP1258", "Windows-1258", "越南文", {"WINDOWS-1258"}},
    {"ISO-8859-2", "ISO-8859-2", "中欧", {"ISO8859-2", "LATIN2"}},
    {"ISO-8859-5", "ISO-8859-5", "西里尔文", {"ISO8859-5"}},
    {"ISO-8859-7", "ISO-8859-7", "希腊文", {"ISO8859-7"}},
    {"ISO-8859-15", "ISO-8859-15", "西欧", {"ISO8859-15", "LATIN9"}},
    {"KOI8-R", "KOI8-R", "俄文", {}},
    {"KOI8-U", "KOI8-U", "乌克兰文", {}},
    {"UTF-16LE", "UTF-16 LE", {}, {}},
    {"UTF-16BE", "UTF-16 BE", {}, {}},
};

const KnownEncoding* FindKnownEncoding(std::string_view label)
{
    for (const KnownEncoding& known : kKnown) {
        if (ascii::EqualsIgnoringCase(known.charset, label))
            return &known;
        for (const std::string_view other : known.labels)
            if (ascii::EqualsIgnoringCase(other, label))
                return &known;
    }
    return nullptr;
}

bool ConverterKnows(const std::string& charset)
{
    const iconv_t handle = iconv_open("UTF-8", charset.c_str());
    if (handle == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(handle);
    return true;
}

} // namespace

Encoding Utf8Encoding() { return {"UTF-8"}; }

Encoding CodePageEncoding() { return {"GB18030"}; }

std::string EncodingName(const Encoding& encoding)
{
    const KnownEncoding* known = FindKnownEncoding(encoding.charset);
    std::string name(known ? known->name : std::string_view(encoding.charset));
    if (encoding.byteOrderMark && encoding.charset == "UTF-8")
        name += " (带BOM)";
    return name;
}

std::string EncodingDescription(const Encoding& encoding)
{
    const KnownEncoding* known = FindKnownEncoding(encoding.charset);
    std::string text = EncodingName(encoding);
    if (known && !known->languages.empty())
        text.append(" (").append(known->languages).append(")");
    return text;
}

std::optional<Encoding> EncodingOfLabel(std::string_view label)
{
    if (const KnownEncoding* known = FindKnownEncoding(label))
        return Encoding{std::string(known->charset)};
    std::string charset(label);
    std::transform(charset.begin(), charset.end(), charset.begin(), ascii::Upper);
    // Only plain names reach the converter: no suffixes such as "//IGNORE".
    const bool plain = !charset.empty() && charset.size() <= 40 &&
        std::all_of(charset.begin(), charset.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
        });
    if (!plain || !ConverterKnows(charset))
        return std::nullopt;
    return Encoding{charset};
}

const std::vector<Encoding>& ChoosableEncodings()
{
    static const std::vector<Encoding> encodings = [] {
        std::vector<Encoding> list;
        for (const KnownEncoding& known : kKnown)
            if (known.choosable)
                list.push_back({std::string(known.charset)});
        return list;
    }();
    return encodings;
}

} // namespace transfer
