#include "transfer/CsvRecords.h"

#include "transfer/FileFormatError.h"
#include "transfer/TextEncoding.h"

#include <QString>

namespace transfer {
namespace {

// The column of a header name, or -1.
int ColumnNamed(std::string_view name)
{
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
    for (int column = 0; column < col::Count; ++column) {
        const std::string_view known = ColumnNames[column];
        if (wanted.compare(QString::fromUtf8(known.data(), static_cast<qsizetype>(known.size())), Qt::CaseInsensitive)
            == 0)
            return column;
    }
    return -1;
}

bool IsBlankRow(const std::vector<std::string>& fields) { return fields.size() == 1 && fields[0].empty(); }

std::string ImportableNames()
{
    std::string names;
    for (int column = col::Category; column < col::Count; ++column)
        names.append(column == col::Category ? "" : ",").append(ColumnNames[column]);
    return names;
}

} // namespace

void CsvRecordSink::Begin(std::string& out)
{
    out += "\xEF\xBB\xBF";
    AppendCsvRow(out, ColumnNames);
}

void CsvRecordSink::Append(std::string& out, const RecordView& record) { AppendCsvRow(out, record); }

CsvRecordSource::CsvRecordSource(std::string bytes) : text_(DecodeTextFile(bytes)), reader_(text_)
{
    ReadHeader();
}

void CsvRecordSource::ReadHeader()
{
    std::vector<std::string> header;
    while (reader_.Next(header) && IsBlankRow(header)) {
    }
    bool importable = false;
    std::vector<bool> seen(col::Count, false);
    for (const std::string& name : header) {
        const int column = ColumnNamed(name);
        if (column < 0) {
            if (!name.empty())
                ignored_.insert(name);
            columnOfField_.push_back(-1);
            continue;
        }
        if (seen[column])
            throw FileFormatError(reader_.RowLine(), "表头里\"" + name + "\"列出现了两次.");
        seen[column] = true;
        importable = importable || column != col::Number;
        columnOfField_.push_back(column == col::Number ? -1 : column);
    }
    if (!importable)
        throw FileFormatError(reader_.RowLine(), "表头里没有可以导入的列名(" + ImportableNames() + ").");
}

bool CsvRecordSource::Next(Record& record)
{
    while (reader_.Next(fields_)) {
        if (IsBlankRow(fields_))
            continue;
        if (fields_.size() > columnOfField_.size())
            throw FileFormatError(reader_.RowLine(), "这一行的字段比表头多.");
        for (std::string& text : record)
            text.clear();
        for (std::size_t field = 0; field < fields_.size(); ++field)
            if (const int column = columnOfField_[field]; column >= 0)
                record[column] = std::move(fields_[field]);
        if (!HasNoImportableText(record))
            return true;
    }
    return false;
}

double CsvRecordSource::Progress() const
{
    return text_.empty() ? 1.0 : static_cast<double>(reader_.Position()) / static_cast<double>(text_.size());
}

std::vector<std::string> CsvRecordSource::IgnoredNames() const { return {ignored_.begin(), ignored_.end()}; }

} // namespace transfer
