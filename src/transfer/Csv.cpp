#include "transfer/Csv.h"

#include "transfer/FileFormatError.h"

namespace transfer {
namespace {

int CountLineBreaks(std::string_view text)
{
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++breaks;
    return breaks;
}

} // namespace

char DetectSeparator(std::string_view text)
{
    std::size_t start = text.find_first_not_of("\r\n");
    if (start == std::string_view::npos)
        return ',';
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\r' || c == '\n')
            break;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
        else if (c == '\t')
            ++tabs;
    }
    if (tabs > commas && tabs >= semicolons)
        return '\t';
    return semicolons > commas ? ';' : ',';
}

void AppendCsvRow(std::string& out, std::span<const std::string_view> fields)
{
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            out += ',';
        first = false;
        if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
            out += field;
            continue;
        }
        out += '"';
        for (std::size_t start = 0;;) {
            const std::size_t quote = field.find('"', start);
            out += field.substr(start, quote == std::string_view::npos ? std::string_view::npos : quote + 1 - start);
            if (quote == std::string_view::npos)
                break;
            out += '"';
            start = quote + 1;
        }
        out += '"';
    }
    out += "\r\n";
}

void CsvReader::ReadQuotedField(std::string& field)
{
    const int startLine = line_;
    ++pos_;
    for (;;) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos)
            throw FileFormatError(startLine, "引号没有结束.");
        const std::string_view piece = text_.substr(pos_, quote - pos_);
        field += piece;
        line_ += CountLineBreaks(piece);
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            field += '"';
            ++pos_;
            continue;
        }
        break;
    }
    if (pos_ < text_.size() && text_[pos_] != separator_ && text_[pos_] != '\r' && text_[pos_] != '\n')
        throw FileFormatError(line_, "引号结束后、分隔符之前还有文字.");
}

void CsvReader::ReadPlainField(std::string& field)
{
    // A plain loop: find_first_of calls memchr once for every byte it passes.
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != separator_ && text_[end] != '\r' && text_[end] != '\n' &&
           text_[end] != '"')
        ++end;
    if (end < text_.size() && text_[end] == '"')
        throw FileFormatError(line_, "不以引号开头的字段里有引号.");
    field.assign(text_.substr(pos_, end - pos_));
    pos_ = end;
}

bool CsvReader::Next(std::vector<std::string>& fields)
{
    fields.clear();
    if (pos_ >= text_.size())
        return false;
    rowLine_ = line_;
    for (;;) {
        std::string& field = fields.emplace_back();
        if (text_[pos_] == '"')
            ReadQuotedField(field);
        else
            ReadPlainField(field);
        if (pos_ >= text_.size())
            return true;
        const char separator = text_[pos_++];
        if (separator == separator_) {
            if (pos_ == text_.size()) { // a separator at the very end leaves one more, empty field
                fields.emplace_back();
                return true;
            }
            continue;
        }
        if (separator == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
            ++pos_;
        ++line_;
        return true;
    }
}

} // namespace transfer
