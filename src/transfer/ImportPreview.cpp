#include "transfer/ImportPreview.h"

#include "transfer/Utf8.h"
#include "transfer/VCardProperties.h"
#include "transfer/VCardRecords.h"

#include <algorithm>

namespace transfer {
namespace {

// Records read between two looks at whether the reading was cancelled.
constexpr int RecordsPerCheck = 64;

// Records read before, handed over in their order.
class KeptRecords final : public RecordSource {
public:
    KeptRecords(std::vector<Record> records, std::vector<std::string> ignored, RepairLog repairs)
        : records_(std::move(records)), ignored_(std::move(ignored)), repairs_(std::move(repairs))
    {
    }
    bool Next(Record& record) override
    {
        if (next_ == records_.size())
            return false;
        record = std::move(records_[next_++]);
        return true;
    }
    double Progress() const override
    {
        return records_.empty() ? 1.0 : static_cast<double>(next_) / static_cast<double>(records_.size());
    }
    std::vector<std::string> IgnoredNames() const override { return ignored_; }
    const RepairLog& Repairs() const override { return repairs_; }
    void Report(ReadingReport&) const override {}

private:
    std::vector<Record> records_;
    std::vector<std::string> ignored_;
    RepairLog repairs_;
    std::size_t next_ = 0;
};

} // namespace

ImportPreview::ImportPreview(Format format, std::string bytes, DuplicateIndex book, TaskControl* task)
    : format_(format), book_(std::move(book))
{
    if (format_ == Format::VCard) {
        bytes_ = std::make_shared<const std::string>(std::move(bytes));
        kind_ = "名片";
        return;
    }
    std::shared_ptr<const CsvTable> table = ReadCsvTable(std::move(bytes), std::nullopt, task);
    RecognisedHeader header = RecogniseTable(*table);
    UseTable(std::move(table), std::move(header));
}

ImportPreview::~ImportPreview() = default;

void ImportPreview::UseTable(std::shared_ptr<const CsvTable> table, RecognisedHeader header)
{
    table_ = std::move(table);
    encoding_ = table_->encoding;
    encodingSure_ = table_->encodingSure;
    header_ = std::move(header);
    chosen_ = header_.roles;
    kind_ = header_.kind;
    recognised_ = std::any_of(chosen_.begin(), chosen_.end(), Imports);
    sources_.assign(chosen_.size(), Source());
    for (std::size_t column = 0; column < chosen_.size(); ++column)
        sources_[column].name = Shortened(table_->header[column], ShownValueBytes);
}

std::vector<Encoding> ImportPreview::EncodingChoices() const
{
    std::vector<Encoding> choices = ChoosableEncodings();
    const auto current = std::find_if(choices.begin(), choices.end(),
                                      [&](const Encoding& choice) { return choice.charset == encoding_.charset; });
    if (current == choices.end())
        choices.push_back(encoding_);
    else
        *current = encoding_; // with its byte-order mark
    return choices;
}

int ImportPreview::EncodingChosen() const
{
    const std::vector<Encoding> choices = EncodingChoices();
    const auto found = std::find_if(choices.begin(), choices.end(),
                                    [&](const Encoding& choice) { return choice.charset == encoding_.charset; });
    return static_cast<int>(found - choices.begin());
}

void ImportPreview::ReadAgainIn(int choice, TaskControl* task)
{
    const Encoding encoding = EncodingChoices().at(static_cast<std::size_t>(choice));
    if (format_ == Format::VCard) {
        ImportSurvey survey(std::make_unique<VCardRecordSource>(bytes_, encoding), book_);
        survey.Run(task);
        cardEncoding_ = encoding;
        Adopt(survey);
        return;
    }
    // A table that was not converted is its file's bytes.
    std::string bytes = table_->original ? *table_->original : table_->text;
    if (task)
        task->Phase(0, 0.5);
    std::shared_ptr<const CsvTable> table = ReadCsvTable(std::move(bytes), encoding, task);
    RecognisedHeader header = RecogniseTable(*table);
    ImportSurvey survey(std::make_unique<CsvRecordSource>(table, header.roles, header.groups), book_);
    if (task)
        task->Phase(0.5, 1);
    survey.Run(task);
    UseTable(std::move(table), std::move(header));
    Adopt(survey);
}

std::string ImportPreview::Separator() const
{
    if (!table_)
        return {};
    return table_->separator == ';' ? "分号" : table_->separator == '\t' ? "制表符" : "逗号";
}

std::vector<ColumnRole> ImportPreview::ChoicesOf(std::size_t column) const
{
    std::vector<ColumnRole> choices = PlainRoles(table_->header[column]);
    const ColumnRole& recognised = header_.roles[column];
    const auto same = std::find(choices.begin(), choices.end(), recognised);
    if (same != choices.end())
        choices.erase(same);
    choices.insert(choices.begin(), recognised);
    return choices;
}

std::vector<std::string> ImportPreview::Choices(int source) const
{
    const auto index = static_cast<std::size_t>(source);
    if (!Choosable())
        return {sources_.at(index).goesTo};
    std::vector<std::string> choices;
    for (const ColumnRole& role : ChoicesOf(index))
        choices.push_back(Shortened(DescribeRole(role, header_.groups), ShownValueBytes));
    return choices;
}

std::string ImportPreview::ChosenText(int source) const
{
    const auto index = static_cast<std::size_t>(source);
    if (!Choosable())
        return sources_.at(index).goesTo;
    return Shortened(DescribeRole(chosen_.at(index), header_.groups), ShownValueBytes);
}

bool ImportPreview::ImportsAnything() const
{
    return format_ == Format::VCard || std::any_of(chosen_.begin(), chosen_.end(), Imports);
}

void ImportPreview::Choose(int source, int choice)
{
    const auto column = static_cast<std::size_t>(source);
    chosen_.at(column) = ChoicesOf(column).at(static_cast<std::size_t>(choice));
    sources_[column].chosen = choice;
    kept_.clear(); // read under the choices before
    keptAll_ = false;
}

std::unique_ptr<RecordSource> ImportPreview::OpenSource() const
{
    if (format_ == Format::VCard)
        return std::make_unique<VCardRecordSource>(bytes_, cardEncoding_);
    return std::make_unique<CsvRecordSource>(table_, chosen_, header_.groups);
}

std::vector<bool> ImportPreview::FirstAreDuplicates() const
{
    return {duplicate_.begin(), duplicate_.begin() + static_cast<std::ptrdiff_t>(first_.size())};
}

std::unique_ptr<RecordSource> ImportPreview::ImportSource()
{
    if (!keptAll_)
        return OpenSource();
    keptAll_ = false;
    return std::make_unique<KeptRecords>(std::move(kept_), ignored_, repairs_);
}

void ImportPreview::Survey(TaskControl* task)
{
    const std::unique_ptr<ImportSurvey> survey = StartSurvey();
    survey->Run(task);
    Adopt(*survey);
}

std::unique_ptr<ImportSurvey> ImportPreview::StartSurvey() const
{
    return std::make_unique<ImportSurvey>(OpenSource(), book_);
}

void ImportPreview::Adopt(ImportSurvey& survey)
{
    records_ = static_cast<int>(survey.duplicate_.size());
    duplicates_ = survey.duplicates_;
    first_ = std::move(survey.first_);
    duplicate_ = std::move(survey.duplicate_);
    kept_ = std::move(survey.kept_);
    keptAll_ = survey.keeping_;
    ignored_ = survey.source_->IgnoredNames();
    repairs_ = survey.source_->Repairs();
    ReadingReport report;
    survey.source_->Report(report);
    if (format_ == Format::Csv) {
        for (std::size_t column = 0; column < sources_.size() && column < report.samples.size(); ++column)
            sources_[column].sample = std::move(report.samples[column]);
        return;
    }
    kind_ = std::move(report.kind);
    if (report.encoding) {
        encoding_ = *report.encoding;
        encodingSure_ = report.encodingSure;
    }
    sources_.clear();
    for (const auto& [name, count] : report.properties) {
        const PropertyInfo info = PropertyOf(name);
        if (info.use == PropertyUse::Bookkeeping)
            continue;
        Source source;
        source.name = Shortened(name + " " + ChineseNameOf(name), ShownValueBytes);
        source.count = count;
        source.goesTo = DescribeUse(info);
        sources_.push_back(std::move(source));
    }
}

ImportSurvey::ImportSurvey(std::unique_ptr<RecordSource> source, DuplicateIndex book)
    : source_(std::move(source)), seen_(std::move(book))
{
}

void ImportSurvey::Run(TaskControl* task)
{
    while (Step(RecordsPerCheck))
        if (task)
            task->Report(Progress());
}

bool ImportSurvey::Step(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!source_->Next(record_))
            return false;
        const bool duplicate = seen_.AddAndTell(ViewOf(record_));
        duplicate_.push_back(duplicate);
        duplicates_ += duplicate ? 1 : 0;
        if (first_.size() < static_cast<std::size_t>(ImportPreview::FirstCount)) {
            Record& shown = first_.emplace_back();
            for (int column = 0; column < col::Count; ++column)
                shown[column] = Shortened(record_[column], ShownValueBytes);
        }
        if (keeping_) {
            for (const std::string& text : record_)
                keptBytes_ += sizeof(std::string) + (text.size() > 15 ? text.size() + 1 : 0);
            keeping_ = keptBytes_ <= KeepBytes;
            if (keeping_)
                kept_.push_back(std::move(record_));
            else
                kept_ = std::vector<Record>();
        }
    }
    return true;
}

} // namespace transfer
