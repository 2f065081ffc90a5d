#include "transfer/TextConverter.h"

#include "transfer/Utf8.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace transfer {
namespace {

iconv_t Handle(void* handle) { return static_cast<iconv_t>(handle); }

void AppendReplacement(std::string& out, const TextConverter::Replaced& replaced)
{
    if (replaced)
        replaced(out.size());
    out += ReplacementCharacter;
}

} // namespace

TextConverter::TextConverter(const Encoding& encoding)
{
    if (encoding.charset == "UTF-8") {
        kind_ = Kind::Utf8;
    } else if (encoding.charset == "UTF-16LE") {
        kind_ = Kind::Utf16Le;
    } else if (encoding.charset == "UTF-16BE") {
        kind_ = Kind::Utf16Be;
    } else {
        kind_ = Kind::Iconv;
        const iconv_t handle = iconv_open("UTF-8", encoding.charset.c_str());
        if (handle == reinterpret_cast<iconv_t>(-1))
            throw std::invalid_argument("no converter for " + encoding.charset);
        iconv_ = handle;
    }
}

TextConverter::~TextConverter()
{
    if (iconv_)
        iconv_close(Handle(iconv_));
}

std::size_t TextConverter::Convert(std::string_view bytes, std::string& out, bool more, const Replaced& replaced)
{
    switch (kind_) {
    case Kind::Utf8: return FromUtf8(bytes, out, more, replaced);
    case Kind::Utf16Le:
    case Kind::Utf16Be: return FromUtf16(bytes, out, more, replaced);
    case Kind::Iconv: break;
    }
    return FromIconv(bytes, out, more, replaced);
}

std::string TextConverter::Convert(std::string_view bytes, std::size_t& replacements)
{
    if (iconv_)
        iconv(Handle(iconv_), nullptr, nullptr, nullptr, nullptr); // a fresh shift state for each text
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    replacements = 0;
    Convert(bytes, out, false, [&](std::size_t) { ++replacements; });
    return out;
}

std::size_t TextConverter::FromUtf8(std::string_view bytes, std::string& out, bool more, const Replaced& replaced)
{
    std::size_t i = 0;
    std::size_t run = 0; // the start of the valid bytes not yet copied
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length != 0 && length != SequenceCut) {
            i += length;
            continue;
        }
        out.append(bytes.substr(run, i - run));
        if (length == SequenceCut && more)
            return i;
        AppendReplacement(out, replaced);
        run = ++i;
    }
    out.append(bytes.substr(run));
    return bytes.size();
}

std::size_t TextConverter::FromUtf16(std::string_view bytes, std::string& out, bool more, const Replaced& replaced)
{
    const bool little = kind_ == Kind::Utf16Le;
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(little ? first | second << 8 : first << 8 | second);
    };
    std::size_t i = 0;
    while (i + 1 < bytes.size()) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 >= bytes.size() && more)
                return i; // its partner may come with the next piece
            const char32_t low = i + 3 < bytes.size() ? unitAt(i + 2) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 4;
                continue;
            }
            AppendReplacement(out, replaced);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendReplacement(out, replaced);
        } else {
            AppendUtf8(out, unit);
        }
        i += 2;
    }
    if (i < bytes.size()) { // half a unit
        if (more)
            return i;
        AppendReplacement(out, replaced);
    }
    return bytes.size();
}

std::size_t TextConverter::FromIconv(std::string_view bytes, std::string& out, bool more, const Replaced& replaced)
{
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t used = out.size();
    // Room for most texts; a text that needs more doubles it.
    out.resize(used + inLeft + inLeft / 2 + 16);
    while (inLeft > 0) {
        char* target = out.data() + used;
        std::size_t targetLeft = out.size() - used;
        const std::size_t result = iconv(Handle(iconv_), &in, &inLeft, &target, &targetLeft);
        used = static_cast<std::size_t>(target - out.data());
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EINVAL && more) {
            break; // a sequence cut by the end of this piece
        } else { // EILSEQ, or a sequence cut by the end of the text
            if (out.size() - used < ReplacementCharacter.size())
                out.resize(out.size() * 2);
            if (replaced)
                replaced(used);
            out.replace(used, ReplacementCharacter.size(), ReplacementCharacter);
            used += ReplacementCharacter.size();
            ++in;
            --inLeft;
        }
    }
    out.resize(used);
    return bytes.size() - inLeft;
}

} // namespace transfer
