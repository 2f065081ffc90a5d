#include "transfer/VCardWriter.h"

#include "transfer/RecordBuilder.h"

#include <vector>

namespace transfer {
namespace {

constexpr std::size_t FoldWidth = 75;

// Every line break is CR LF (and there is at least one).
bool BreaksAreAllCrLf(std::string_view text)
{
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 == text.size() || text[i + 1] != '\n')
                return false;
            any = true;
            ++i;
        } else if (text[i] == '\n') {
            return false;
        }
    }
    return any;
}

struct EscapedValue {
    std::string text;
    bool crlf = false;
};

EscapedValue Escape(std::string_view value)
{
    EscapedValue escaped;
    escaped.crlf = BreaksAreAllCrLf(value);
    escaped.text.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\\': escaped.text += "\\\\"; break;
        case ',': escaped.text += "\\,"; break;
        case ';': escaped.text += "\\;"; break;
        case '\n': escaped.text += "\\n"; break;
        case '\r':
            if (!escaped.crlf)
                escaped.text += "\\r";
            break;
        default: escaped.text += c;
        }
    }
    return escaped;
}

void AppendProperty(std::string& out, std::string_view name, std::string_view value, std::string_view structure = {})
{
    const EscapedValue escaped = Escape(value);
    std::string line(name);
    if (escaped.crlf)
        line += ";X-LINEBREAK=CRLF";
    line.append(":").append(escaped.text).append(structure);
    AppendFoldedLine(out, line);
}

// The entries of a field that an import joined with "; ", or the whole
// field when splitting would make an entry of nothing but blanks (a reader
// skips such a property, so the blanks would be lost).
std::vector<std::string_view> Entries(std::string_view field)
{
    constexpr std::string_view separator = "; ";
    std::vector<std::string_view> entries;
    for (std::size_t start = 0;;) {
        const std::size_t end = field.find(separator, start);
        entries.push_back(field.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + separator.size();
    }
    for (const std::string_view entry : entries)
        if (Trimmed(entry).empty())
            return {field};
    return entries;
}

void AppendEntries(std::string& out, std::string_view name, std::string_view field)
{
    if (field.empty())
        return;
    for (const std::string_view entry : Entries(field))
        AppendProperty(out, name, entry);
}

} // namespace

void AppendFoldedLine(std::string& out, std::string_view line)
{
    std::size_t width = FoldWidth;
    while (line.size() > width) {
        std::size_t cut = width;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == 0) // not UTF-8: cut anywhere rather than not at all
            cut = width;
        out.append(line.substr(0, cut)).append("\r\n ");
        line.remove_prefix(cut);
        width = FoldWidth - 1; // the blank that starts a continuation counts
    }
    out.append(line).append("\r\n");
}

void VCardRecordSink::Append(std::string& out, const RecordView& record)
{
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    AppendProperty(out, "FN", record[col::Name]);
    AppendProperty(out, "N", record[col::Name], ";;;;");
    if (!record[col::Category].empty())
        AppendProperty(out, "CATEGORIES", record[col::Category]);
    AppendEntries(out, "TEL;TYPE=CELL", record[col::Mobile]);
    AppendEntries(out, "TEL;TYPE=WORK,VOICE", record[col::Phone]);
    AppendEntries(out, "TEL;TYPE=FAX", record[col::Fax]);
    AppendEntries(out, "EMAIL", record[col::Email]);
    AppendEntries(out, "URL", record[col::HomePage]);
    if (!record[col::Remarks].empty())
        AppendProperty(out, "NOTE", record[col::Remarks]);
    AppendEntries(out, "X-QQ", record[col::QQ]);
    out += "END:VCARD\r\n";
}

} // namespace transfer
