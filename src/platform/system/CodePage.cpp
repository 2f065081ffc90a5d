#include "platform/system/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace platform {
namespace {

constexpr const char* kCodePage = "GB18030";

// One iconv conversion descriptor, closed when it goes out of scope.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between GB18030 and UTF-8");
    }
    ~IconvHandle() { iconv_close(handle_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts all of input; on an invalid or incomplete sequence calls
    // onInvalid with the output so far and the offset of the offending byte,
    // then skips that byte, or stops when onInvalid returns false.
    template <class OnInvalid>
    std::string convert(std::string_view input, OnInvalid onInvalid)
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state for each text
        std::string output;
        output.resize(input.size() * 4 + 16);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* out = output.data();
        size_t outLeft = output.size();
        while (inLeft > 0) {
            if (iconv(handle_, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) {
                const size_t used = static_cast<size_t>(out - output.data());
                output.resize(output.size() * 2);
                out = output.data() + used;
                outLeft = output.size() - used;
                continue;
            }
            // EILSEQ or EINVAL: replace one byte and go on.
            output.resize(static_cast<size_t>(out - output.data()));
            if (!onInvalid(output, static_cast<size_t>(in - input.data())))
                return output;
            const size_t used = output.size();
            output.resize(used + inLeft * 4 + 16);
            out = output.data() + used;
            outLeft = output.size() - used;
            ++in;
            --inLeft;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        output.resize(static_cast<size_t>(out - output.data()));
        return output;
    }

private:
    iconv_t handle_;
};

// Opened once per thread: texts are converted often (every category line, every tooltip).
IconvHandle& FromCodePage()
{
    thread_local IconvHandle converter("UTF-8", kCodePage);
    return converter;
}

} // namespace

std::string ToAnsi(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QByteArray utf8 = text.toUtf8();
    // Opened once per thread: texts are converted often (every category line, every tooltip).
    thread_local IconvHandle converter(kCodePage, "UTF-8");
    return converter.convert(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                             [](std::string& out, size_t) {
                                 out += '?';
                                 return true;
                             });
}

QString FromAnsi(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const std::string utf8 = FromCodePage().convert(bytes, [](std::string& out, size_t) {
        out += "\xEF\xBF\xBD";
        return true;
    });
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

size_t AnsiToUtf8(std::string_view bytes, std::string& utf8)
{
    size_t invalidAt = std::string_view::npos;
    if (bytes.empty()) {
        utf8.clear();
        return invalidAt;
    }
    utf8 = FromCodePage().convert(bytes, [&invalidAt](std::string&, size_t offset) {
        invalidAt = offset;
        return false;
    });
    return invalidAt;
}

} // namespace platform
