#pragma once

#include "transfer/CsvRecords.h"
#include "transfer/Duplicates.h"
#include "transfer/RecordFormats.h"
#include "transfer/TaskControl.h"

#include <memory>
#include <string>
#include <vector>

// What an import shows before it writes anything: the file's kind and
// encoding, where each of its columns (or card properties) goes, the first
// records as they will land, how many records there are and how many of them
// duplicate the book or an earlier one, and what was repaired or skipped on
// the way. The window only shows this and passes the user's choices back.
//
// A file may be large and hostile: everything here that reads the whole file
// takes a TaskControl, so that it can run on a thread of its own, show its
// progress and be cancelled; and what the preview shows of a value is its
// first ShownValueBytes.
namespace transfer {

class ImportSurvey;

class ImportPreview {
public:
    // How many records the preview shows.
    static constexpr int FirstCount = 5;

    // One column of a table, or one property of the cards.
    struct Source {
        std::string name;    // the header's name, or "TEL 电话号码"
        std::string sample;  // a table column's first value, shortened
        int count = 0;       // a property: how often it occurs
        std::string goesTo;  // a property: where it goes, in Chinese
        int chosen = 0;      // a column: the index of its choice (Choices)
    };

    // Reads the file's encoding and, for a table, its text and header.
    // Throws FileFormatError for a file that is not text.
    ImportPreview(Format format, std::string bytes, DuplicateIndex book, TaskControl* task = nullptr);
    ~ImportPreview();

    Format FileFormat() const { return format_; }
    // Which program wrote the file ("Google 通讯录", "名片 (vCard 3.0, iPhone)").
    const std::string& Kind() const { return kind_; }
    // How the preview names the encoding read ("GBK", "UTF-8 (带BOM)").
    std::string EncodingText() const { return EncodingName(encoding_); }
    // Whether the encoding was told by the file or guessed with enough to go on.
    bool EncodingSure() const { return encodingSure_; }
    // The encodings the user may read the file in instead, the one in use among them.
    std::vector<Encoding> EncodingChoices() const;
    int EncodingChosen() const;
    // Reads the file again in another of EncodingChoices, as the file's own
    // encoding, and surveys it; a table's columns go back to what their
    // names are recognised as. Cancelled or failed, the preview stays as it
    // was. Throws FileFormatError.
    void ReadAgainIn(int choice, TaskControl* task = nullptr);

    // A table's separator ("逗号", "分号", "制表符"); empty for cards.
    std::string Separator() const;

    const std::vector<Source>& Sources() const { return sources_; }
    // Where a source may go, in Chinese: a column what its name is recognised
    // as, each field of the book (备注 as a line labelled with its name) and
    // 不导入; a property only where it goes.
    std::vector<std::string> Choices(int source) const;
    // Whether the user may choose where the sources go (a table's columns).
    bool Choosable() const { return format_ == Format::Csv; }
    // Whether any column of the header was recognised (a card file always is).
    bool Recognised() const { return recognised_; }
    // Where a source goes now, in Chinese.
    std::string ChosenText(int source) const;
    // Whether the current choices bring anything in.
    bool ImportsAnything() const;
    // Sends a column elsewhere; the numbers stay those of the last survey
    // until the next one is adopted.
    void Choose(int source, int choice);

    // Reads the whole file with the current choices and adopts what it
    // found; cancelled, nothing is adopted. Throws FileFormatError.
    void Survey(TaskControl* task = nullptr);
    // The same in steps: Adopt the survey's findings once its Step has
    // answered false.
    std::unique_ptr<ImportSurvey> StartSurvey() const;
    void Adopt(ImportSurvey& survey);

    int Records() const { return records_; }
    int Duplicates() const { return duplicates_; }
    // The first records as they will land, each value shortened for showing.
    const std::vector<Record>& FirstRecords() const { return first_; }
    // Whether each of the first records is a duplicate.
    std::vector<bool> FirstAreDuplicates() const;
    // What the last survey repaired or skipped, with the line of each.
    const RepairLog& Repairs() const { return repairs_; }

    // "跳过重复" (the default) or "全部导入".
    bool skipDuplicates = true;
    int ToAdd() const { return skipDuplicates ? records_ - duplicates_ : records_; }

    // A reader of the file with the current choices.
    std::unique_ptr<RecordSource> OpenSource() const;
    // The reader an import needs: the records the last survey read, handed
    // over when it kept them (then the file need not be read again), else
    // OpenSource. And which of its records to leave out (none when every
    // record is imported).
    std::unique_ptr<RecordSource> ImportSource();
    const std::vector<bool>* LeaveOut() const { return skipDuplicates ? &duplicate_ : nullptr; }

private:
    // A table to show, its header recognised, every column as recognised.
    void UseTable(std::shared_ptr<const CsvTable> table, RecognisedHeader header);
    std::vector<ColumnRole> ChoicesOf(std::size_t column) const;

    Format format_;
    std::shared_ptr<const std::string> bytes_; // cards: read anew at every survey
    std::shared_ptr<const CsvTable> table_;
    RecognisedHeader header_;
    std::vector<ColumnRole> chosen_;
    DuplicateIndex book_;
    std::string kind_;
    Encoding encoding_;
    bool encodingSure_ = true;
    std::optional<Encoding> cardEncoding_; // the encoding chosen for cards
    bool recognised_ = true;
    std::vector<Source> sources_;
    int records_ = 0;
    int duplicates_ = 0;
    std::vector<Record> first_;
    std::vector<bool> duplicate_; // per record of the file
    std::vector<Record> kept_;    // every record, when the survey kept them
    bool keptAll_ = false;
    std::vector<std::string> ignored_;
    RepairLog repairs_;
};

// One reading of a file for the preview, in steps.
class ImportSurvey {
public:
    // The records read are kept for the import while they take less memory
    // than this.
    static constexpr std::size_t KeepBytes = std::size_t{256} << 20;

    ImportSurvey(std::unique_ptr<RecordSource> source, DuplicateIndex book);
    // Reads up to count more records; false once the file is read.
    bool Step(int count);
    // Reads to the end, reporting to the task.
    void Run(TaskControl* task);
    double Progress() const { return source_->Progress(); }

private:
    friend class ImportPreview;
    std::unique_ptr<RecordSource> source_;
    DuplicateIndex seen_;
    Record record_;
    std::vector<Record> kept_;
    std::size_t keptBytes_ = 0;
    bool keeping_ = true;
    int duplicates_ = 0;
    std::vector<Record> first_;
    std::vector<bool> duplicate_;
};

} // namespace transfer
