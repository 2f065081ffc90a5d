#include "transfer/CsvRecords.h"

#include "transfer/ContactWords.h"
#include "transfer/Utf8.h"
#include "transfer/ValueShapes.h"

#include <algorithm>

namespace transfer {
namespace {

bool IsBlankRow(const std::vector<std::string>& fields) { return fields.size() == 1 && fields[0].empty(); }

// Splits a cell of categories at the separator, or Google's " ::: ".
std::vector<std::string_view> SplitGroups(std::string_view cell, char separator)
{
    return separator == 0 ? SplitGoogleList(cell) : SplitTrimmed(cell, std::string_view(&separator, 1));
}

} // namespace

void CsvRecordSink::Begin(std::string& out)
{
    out += "\xEF\xBB\xBF";
    AppendCsvRow(out, ColumnNames);
}

void CsvRecordSink::Append(std::string& out, const RecordView& record)
{
    RecordView cells = record;
    std::array<std::string, col::Count> marked;
    for (int column = 0; column < col::Count; ++column)
        if (NeedsFormulaMark(record[column]))
            cells[column] = marked[column] = "'" + std::string(record[column]);
    AppendCsvRow(out, cells);
}

std::shared_ptr<const CsvTable> ReadCsvTable(std::string bytes, const std::optional<Encoding>& encoding, TaskControl* task)
{
    auto table = std::make_shared<CsvTable>();
    DecodedFile decoded = DecodeTextFile(std::move(bytes), encoding, table->repairs, task);
    table->text = std::move(decoded.text);
    table->original = std::move(decoded.original);
    table->encoding = decoded.encoding;
    table->encodingSure = decoded.sure;
    table->separator = DetectSeparator(table->text);
    CsvReader reader(table->text, table->separator);
    std::size_t firstRow = 0;
    int firstLine = 1;
    do {
        firstRow = reader.Position();
        firstLine = reader.Line();
    } while (reader.Next(table->header, &table->repairs) && IsBlankRow(table->header));
    if (IsBlankRow(table->header))
        table->header.clear();
    table->bodyOffset = reader.Position();
    table->bodyLine = reader.Line();
    if (IsHeaderless(table->header)) {
        // The first row is a record: it is read with the others, and the table
        // is as wide as its widest row.
        table->headerless = true;
        table->bodyOffset = firstRow;
        table->bodyLine = firstLine;
        CsvReader rows(table->text, table->separator, firstRow, firstLine);
        std::vector<std::string> fields;
        std::size_t width = 0;
        while (rows.Next(fields)) {
            width = std::max(width, fields.size());
            if (task)
                task->Check();
        }
        table->header.assign(width, std::string());
    }
    return table;
}

RecognisedHeader RecogniseTable(const CsvTable& table)
{
    if (!table.headerless)
        return RecogniseHeader(table.header);
    CsvReader reader(table.text, table.separator, table.bodyOffset, table.bodyLine);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> fields;
    while (rows.size() < ValueSampleRows && reader.Next(fields))
        if (!IsBlankRow(fields))
            rows.push_back(fields);
    return RecogniseValues(rows, table.header.size());
}

CsvRecordSource::CsvRecordSource(std::shared_ptr<const CsvTable> table, std::vector<ColumnRole> roles,
                                 std::vector<PartGroup> groups)
    : table_(std::move(table)), roles_(std::move(roles)), groups_(std::move(groups)),
      reader_(table_->text, table_->separator, table_->bodyOffset, table_->bodyLine), repairs_(table_->repairs),
      samples_(table_->header.size()), unsampled_(table_->header.size()), ignoredHeldText_(table_->header.size()),
      partWhole_(groups_.size()),
      partJoined_(groups_.size())
{
    roles_.resize(table_->header.size());
    NoteReadColumns();
}

CsvRecordSource::CsvRecordSource(std::string bytes) : CsvRecordSource(ReadCsvTable(std::move(bytes)), {}, {})
{
    RecognisedHeader header = RecogniseTable(*table_);
    roles_ = std::move(header.roles);
    groups_ = std::move(header.groups);
    partWhole_.resize(groups_.size());
    partJoined_.resize(groups_.size());
    NoteReadColumns();
}

void CsvRecordSource::NoteReadColumns()
{
    readByOthers_.assign(roles_.size(), false);
    for (const ColumnRole& role : roles_)
        if (role.typeColumn >= 0 && static_cast<std::size_t>(role.typeColumn) < roles_.size())
            readByOthers_[static_cast<std::size_t>(role.typeColumn)] = true;
}

void CsvRecordSource::Apply(std::size_t column, std::string& value)
{
    const ColumnRole& role = roles_[column];
    auto typeText = [&]() -> std::string_view {
        const auto type = static_cast<std::size_t>(role.typeColumn);
        return role.typeColumn >= 0 && type < fields_.size() ? std::string_view(fields_[type]) : std::string_view();
    };
    switch (role.target) {
    case Target::Ignore: ignoredHeldText_[column] = true; break;
    case Target::Skipped:
    case Target::Companion: break;
    case Target::Field: builder_.Field(role.field, readByOthers_[column] ? std::string(value) : std::move(value)); break;
    case Target::Name: builder_.Name(value); break;
    case Target::GivenName: builder_.Part(NamePart::Given, value); break;
    case Target::MiddleName: builder_.Part(NamePart::Middle, value); break;
    case Target::FamilyName: builder_.Part(NamePart::Family, value); break;
    case Target::Company: builder_.Company(value); break;
    case Target::Telephone: {
        const NumberKind kind = role.typeColumn < 0 ? NumberKind::Other : KindOfNumber(typeText());
        const PhoneKind phone = role.typeColumn < 0         ? role.phone
                                : kind == NumberKind::Mobile ? PhoneKind::Mobile
                                : kind == NumberKind::Fax    ? PhoneKind::Fax
                                                             : PhoneKind::Other;
        for (const std::string_view number : SplitGoogleList(value)) {
            if (kind == NumberKind::QQ)
                builder_.QQ(number);
            else
                builder_.Telephone(phone, number);
        }
        break;
    }
    case Target::Email:
        for (const std::string_view address : SplitGoogleList(value))
            builder_.Email(address);
        break;
    case Target::HomePage:
        for (const std::string_view page : SplitGoogleList(value))
            builder_.HomePage(page);
        break;
    case Target::QQ:
        for (const std::string_view number : SplitGoogleList(value))
            builder_.QQ(number);
        break;
    case Target::Groups:
        for (const std::string_view group : SplitGroups(value, role.listSeparator))
            builder_.Group(group);
        break;
    case Target::Note:
        if (const std::string_view qq = role.qqLabelled ? QQInValue(value) : std::string_view(); !qq.empty())
            builder_.QQ(qq);
        else if (!role.dropsDefaults || !IsOutlookDefault(value))
            builder_.Note(role.label, value);
        break;
    case Target::Part: {
        const auto group = static_cast<std::size_t>(role.group);
        const std::string_view part = Trimmed(value);
        if (role.whole) {
            partWhole_[group] = part;
        } else if (!part.empty()) {
            std::string& joined = partJoined_[group];
            joined.append(joined.empty() ? "" : groups_[group].joiner).append(part);
        }
        break;
    }
    case Target::InstantMessage: {
        const std::string_view service = Trimmed(typeText());
        QQOrNote(service, service.empty() ? role.label : role.label + "(" + std::string(service) + ")", value);
        break;
    }
    case Target::Custom: {
        const std::string_view label = Trimmed(typeText());
        QQOrNote(label, label.empty() ? role.label : std::string(label), value);
        break;
    }
    }
}

void CsvRecordSource::QQOrNote(std::string_view companion, const std::string& label, const std::string& value)
{
    if (NamesQQ(companion))
        for (const std::string_view number : SplitGoogleList(value))
            builder_.QQ(number);
    else
        builder_.Note(label, value);
}

bool CsvRecordSource::Next(Record& record)
{
    while (reader_.Next(fields_, &repairs_)) {
        if (IsBlankRow(fields_))
            continue;
        const std::size_t extra = static_cast<std::size_t>(std::count_if(
            fields_.begin() + static_cast<std::ptrdiff_t>(std::min(fields_.size(), roles_.size())), fields_.end(),
            [](const std::string& field) { return !field.empty(); }));
        if (extra > 0)
            repairs_.Add(reader_.RowLine(), "这一行的字段比表头多, 多出的" + std::to_string(extra) + "个字段没有导入.");
        const std::size_t count = std::min(fields_.size(), roles_.size());
        for (std::size_t column = 0; column < count; ++column) {
            std::string& value = fields_[column];
            if (value.empty())
                continue;
            if (value.front() == '\'' && WithoutFormulaMark(value).size() < value.size())
                value.erase(0, 1);
            if (unsampled_ > 0 && samples_[column].empty() && !Trimmed(value).empty()) {
                samples_[column] = Shortened(value, ShownValueBytes);
                --unsampled_;
            }
            Apply(column, value);
        }
        for (std::size_t group = 0; group < groups_.size(); ++group) {
            builder_.Note(groups_[group].label, partWhole_[group].empty() ? partJoined_[group] : partWhole_[group]);
            partWhole_[group].clear();
            partJoined_[group].clear();
        }
        builder_.Finish(record);
        if (!HasNoImportableText(record))
            return true;
    }
    return false;
}

double CsvRecordSource::Progress() const
{
    return table_->text.empty() ? 1.0
                                : static_cast<double>(reader_.Position()) / static_cast<double>(table_->text.size());
}

void CsvRecordSource::Report(ReadingReport& report) const { report.samples = samples_; }

std::vector<std::string> CsvRecordSource::IgnoredNames() const
{
    std::set<std::string> names;
    for (std::size_t column = 0; column < roles_.size(); ++column) {
        if (!ignoredHeldText_[column])
            continue;
        const std::string_view header = Trimmed(table_->header[column]);
        names.insert(!roles_[column].label.empty() ? roles_[column].label
                     : !header.empty()              ? std::string(header)
                                                    : "第" + std::to_string(column + 1) + "列");
    }
    return {names.begin(), names.end()};
}

} // namespace transfer
