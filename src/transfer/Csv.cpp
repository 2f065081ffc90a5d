#include "transfer/Csv.h"

#include <algorithm>

namespace transfer {

namespace {

// Whether the cell, after any apostrophes it begins with, begins like a formula.
bool FormulaAfterApostrophes(std::string_view cell)
{
    const std::size_t first = cell.find_first_not_of('\'');
    return first != std::string_view::npos && std::string_view("=+-@\t\r").find(cell[first]) != std::string_view::npos;
}

} // namespace

bool NeedsFormulaMark(std::string_view cell) { return FormulaAfterApostrophes(cell); }

std::string_view WithoutFormulaMark(std::string_view cell)
{
    return cell.starts_with('\'') && FormulaAfterApostrophes(cell) ? cell.substr(1) : cell;
}

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

CsvReader::CsvReader(std::string_view text, char separator, std::size_t offset, int line)
    : text_(text), breaks_(text), lastQuote_(text.rfind('"')), separator_(separator), pos_(offset), line_(line),
      rowLine_(line)
{
}

void CsvReader::ReadQuotedField(std::string& field, RepairLog* repairs)
{
    if (lastQuote_ == std::string_view::npos || lastQuote_ <= pos_) {
        // Nothing closes it: the quote is a character, and the field ends like a plain one.
        if (repairs)
            repairs->Add(line_, "引号没有结束, 这个字段按普通文字读到分隔符或行尾.");
        ReadPlainField(field, nullptr, true);
        return;
    }
    ++pos_;
    for (;;) {
        std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) { // the last quote was a doubled one inside
            if (repairs)
                repairs->Add(line_, "引号没有结束, 这个字段读到了文件末尾.");
            quote = text_.size();
        }
        // Line ends inside the quotes count as lines of the file.
        for (std::size_t i = pos_; i < quote;) {
            const std::size_t length = BreakAt(i);
            line_ += length > 0 ? 1 : 0;
            i += length > 0 ? length : 1;
        }
        field.append(text_.substr(pos_, quote - pos_));
        pos_ = std::min(quote + 1, text_.size());
        if (pos_ < text_.size() && text_[pos_] == '"') {
            field += '"';
            ++pos_;
            continue;
        }
        break;
    }
    if (pos_ < text_.size() && text_[pos_] != separator_ && BreakAt(pos_) == 0) {
        if (repairs)
            repairs->Add(line_, "引号结束后、分隔符之前还有文字, 已一并读入这个字段.");
        std::string rest;
        ReadPlainField(rest, nullptr, true);
        field += rest;
    }
}

void CsvReader::ReadPlainField(std::string& field, RepairLog* repairs, bool quoteMet)
{
    // A plain loop: find_first_of calls memchr once for every byte it passes.
    std::size_t end = pos_;
    for (; end < text_.size(); ++end) {
        const char c = text_[end];
        if (c == separator_ || ((c == '\n' || c == '\r') && BreakAt(end) > 0))
            break;
        if (c == '"' && !quoteMet) {
            quoteMet = true;
            if (repairs)
                repairs->Add(line_, "不以引号开头的字段里有引号, 已按普通字符读入.");
        }
    }
    field.assign(text_.substr(pos_, end - pos_));
    pos_ = end;
}

bool CsvReader::Next(std::vector<std::string>& fields, RepairLog* repairs)
{
    fields.clear();
    if (pos_ >= text_.size())
        return false;
    rowLine_ = line_;
    for (;;) {
        std::string& field = fields.emplace_back();
        if (text_[pos_] == '"')
            ReadQuotedField(field, repairs);
        else
            ReadPlainField(field, repairs);
        if (pos_ >= text_.size())
            return true;
        if (text_[pos_] == separator_) {
            if (++pos_ == text_.size()) { // a separator at the very end leaves one more, empty field
                fields.emplace_back();
                return true;
            }
            continue;
        }
        pos_ += BreakAt(pos_);
        ++line_;
        return true;
    }
}

} // namespace transfer
