#include "transfer/ImportPreview.h"

#include "transfer/VCardProperties.h"
#include "transfer/VCardRecords.h"

#include <algorithm>

namespace transfer {
namespace {

// Who wrote a card file, told by its PRODID and its own properties.
std::string CardMaker(const VCardRecordSource& source)
{
    const std::string& maker = source.Maker();
    const auto says = [&](std::string_view word) { return maker.find(word) != std::string::npos; };
    if (says("Apple") || says("iPhone") || says("Mac OS"))
        return "苹果设备";
    if (says("Google"))
        return "Google 通讯录";
    if (says("Sabre") || says("Nextcloud") || says("ownCloud"))
        return "Nextcloud";
    if (says("Microsoft") || says("Outlook"))
        return "Outlook";
    if (says("Thunderbird") || says("Mozilla"))
        return "Thunderbird";
    if (source.PropertyCounts().count("X-ANDROID-CUSTOM"))
        return "安卓手机";
    return {};
}

std::string CardKind(const VCardRecordSource& source)
{
    std::string versions;
    for (const std::string& version : source.Versions())
        versions.append(versions.empty() ? "vCard " : "/").append(version);
    const std::string maker = CardMaker(source);
    std::string details = versions;
    if (!maker.empty())
        details.append(details.empty() ? "" : ", ").append(maker);
    return details.empty() ? "名片" : "名片 (" + details + ")";
}

// Records read before, handed over in their order.
class KeptRecords final : public RecordSource {
public:
    KeptRecords(std::vector<Record> records, std::vector<std::string> ignored)
        : records_(std::move(records)), ignored_(std::move(ignored))
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

private:
    std::vector<Record> records_;
    std::vector<std::string> ignored_;
    std::size_t next_ = 0;
};

} // namespace

ImportPreview::ImportPreview(Format format, std::string bytes, DuplicateIndex book)
    : format_(format), book_(std::move(book))
{
    if (format_ == Format::VCard) {
        bytes_ = std::move(bytes);
        kind_ = "名片";
        return;
    }
    table_ = ReadCsvTable(std::move(bytes));
    encoding_ = table_->encoding;
    header_ = RecogniseTable(*table_);
    chosen_ = header_.roles;
    kind_ = header_.kind;
    recognised_ = std::any_of(chosen_.begin(), chosen_.end(), Imports);
    for (std::size_t column = 0; column < chosen_.size(); ++column) {
        Source source;
        source.name = table_->header[column];
        for (const ColumnRole& role : ChoicesOf(column))
            source.choices.push_back(DescribeRole(role, header_.groups));
        sources_.push_back(std::move(source));
    }
}

ImportPreview::~ImportPreview() = default;

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
        return std::make_unique<VCardRecordSource>(bytes_);
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
    return std::make_unique<KeptRecords>(std::move(kept_), ignored_);
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
    if (const auto* table = dynamic_cast<const CsvRecordSource*>(survey.source_.get())) {
        for (std::size_t column = 0; column < sources_.size(); ++column)
            sources_[column].sample = table->Samples()[column];
        return;
    }
    const auto& cards = dynamic_cast<const VCardRecordSource&>(*survey.source_);
    encoding_ = cards.Encoding();
    kind_ = CardKind(cards);
    sources_.clear();
    for (const auto& [name, count] : cards.PropertyCounts()) {
        const PropertyInfo info = PropertyOf(name);
        if (info.use == PropertyUse::Bookkeeping)
            continue;
        sources_.push_back({name + " " + ChineseNameOf(name), {}, count, {DescribeUse(info)}, 0});
    }
}

ImportSurvey::ImportSurvey(std::unique_ptr<RecordSource> source, DuplicateIndex book)
    : source_(std::move(source)), seen_(std::move(book))
{
}

bool ImportSurvey::Step(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!source_->Next(record_))
            return false;
        const bool duplicate = seen_.AddAndTell(ViewOf(record_));
        duplicate_.push_back(duplicate);
        duplicates_ += duplicate ? 1 : 0;
        if (first_.size() < static_cast<std::size_t>(ImportPreview::FirstCount))
            first_.push_back(record_);
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
