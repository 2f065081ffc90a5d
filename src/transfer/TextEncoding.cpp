#include "transfer/TextEncoding.h"

#include "transfer/FileFormatError.h"
#include "transfer/TextConverter.h"
#include "transfer/TextLines.h"
#include "transfer/Utf8.h"

#include <algorithm>
#include <vector>

namespace transfer {
namespace {

// Files are read in pieces of this size, so that progress shows and a
// cancel takes effect at once.
constexpr std::size_t Piece = std::size_t{1} << 20;

// Where a piece from start should end: at most Piece bytes on, after a line
// break when there is one.
std::size_t PieceEnd(std::string_view bytes, std::size_t start)
{
    if (bytes.size() - start <= Piece)
        return bytes.size();
    const std::size_t limit = start + Piece;
    const std::size_t lineEnd = bytes.rfind('\n', limit - 1);
    return lineEnd != std::string_view::npos && lineEnd >= start ? lineEnd + 1 : limit;
}

void Report(TaskControl* task, std::size_t done, std::size_t total)
{
    if (task)
        task->Report(total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total));
}

EncodingGuess GuessEncoding(std::string_view bytes, TaskControl* task)
{
    EncodingGuesser guesser;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = PieceEnd(bytes, start);
        guesser.Feed(bytes.substr(start, end - start));
        start = end;
        Report(task, start, 2 * bytes.size()); // the first half of the work
    }
    return guesser.Guess();
}

// The offsets where U+FFFD went in, the first of them, and how many there were.
struct Replacements {
    static constexpr std::size_t Noted = 4096;
    std::vector<std::size_t> offsets;
    std::size_t count = 0;

    void Add(std::size_t offset)
    {
        if (offsets.size() < Noted)
            offsets.push_back(offset);
        ++count;
    }
};

std::string Convert(std::string_view bytes, const Encoding& encoding, Replacements& replacements, TaskControl* task)
{
    TextConverter converter(encoding);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.size(), start + Piece);
        start += converter.Convert(bytes.substr(start, end - start), text, end < bytes.size(),
                                   [&](std::size_t offset) { replacements.Add(offset); });
        Report(task, bytes.size() + start, 2 * bytes.size());
    }
    return text;
}

// One repair per line that held replacements.
void NameReplacedLines(const std::string& text, const Replacements& replacements, const Encoding& encoding,
                       RepairLog& repairs)
{
    LineCounter lines(text);
    std::size_t i = 0;
    while (i < replacements.offsets.size()) {
        const int line = lines.LineOf(replacements.offsets[i]);
        std::size_t count = 0;
        while (i < replacements.offsets.size() && lines.LineOf(replacements.offsets[i]) == line) {
            ++count;
            ++i;
        }
        repairs.Add(line, InvalidBytesRepair(count, encoding));
    }
    if (replacements.count > replacements.offsets.size())
        repairs.Add(lines.LineOf(text.size()), "文件中另有" + std::to_string(replacements.count - replacements.offsets.size()) +
                                                   "个字节不是有效的" + EncodingName(encoding) + "文字, 已换成\"\xEF\xBF\xBD\"");
}

} // namespace

std::optional<Encoding> EncodingOfMark(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Encoding{"UTF-8", true};
    if (bytes.starts_with("\xFF\xFE"))
        return Encoding{"UTF-16LE", true};
    if (bytes.starts_with("\xFE\xFF"))
        return Encoding{"UTF-16BE", true};
    return std::nullopt;
}

std::size_t MarkLength(const Encoding& encoding)
{
    if (!encoding.byteOrderMark)
        return 0;
    return encoding.charset == "UTF-8" ? 3 : 2;
}

std::string InvalidBytesRepair(std::size_t count, const Encoding& encoding)
{
    return std::to_string(count) + "个字节不是有效的" + EncodingName(encoding) + "文字, 已换成\"\xEF\xBF\xBD\"";
}

DecodedFile DecodeTextFile(std::string bytes, const std::optional<Encoding>& chosen, RepairLog& repairs, TaskControl* task)
{
    DecodedFile file;
    const std::optional<Encoding> marked = EncodingOfMark(bytes);
    // A mark of the encoding chosen is left out, as its own mark is.
    if (marked && (!chosen || chosen->charset == marked->charset)) {
        bytes.erase(0, MarkLength(*marked));
        file.encoding = *marked;
    } else if (chosen) {
        file.encoding = *chosen;
    }
    bool allUtf8 = false;
    if (!marked && !chosen) {
        const EncodingGuess guess = GuessEncoding(bytes, task);
        file.encoding = guess.encoding;
        file.sure = guess.sure;
        allUtf8 = guess.allUtf8;
    }
    Replacements replacements;
    if (file.encoding.charset == "UTF-8" && (allUtf8 || ValidUtf8Prefix(bytes) == bytes.size())) {
        file.text = std::move(bytes);
    } else {
        file.text = Convert(bytes, file.encoding, replacements, task);
        file.original = std::make_shared<const std::string>(std::move(bytes));
    }
    if (const std::size_t zero = file.text.find('\0'); zero != std::string::npos)
        throw FileFormatError(LineAt(file.text, zero), "含有空字符, 不是文本文件.");
    if (replacements.count > 0) {
        NameReplacedLines(file.text, replacements, file.encoding, repairs);
        if (!marked && !chosen && file.encoding != Utf8Encoding())
            file.sure = false;
    }
    Report(task, 1, 1);
    return file;
}

} // namespace transfer
