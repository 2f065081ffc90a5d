#pragma once

#include "transfer/CsvRecords.h"
#include "transfer/Duplicates.h"
#include "transfer/RecordFormats.h"

#include <memory>
#include <string>
#include <vector>

// What an import shows before it writes anything: the file's kind and
// encoding, where each of its columns (or card properties) goes, the first
// records as they will land, how many records there are and how many of them
// duplicate the book or an earlier one. The window only shows this and
// passes the user's choices back.
namespace transfer {

class ImportSurvey;

class ImportPreview {
public:
    // How many records the preview shows.
    static constexpr int FirstCount = 5;

    // One column of a table, or one property of the cards.
    struct Source {
        std::string name;                 // the header's name, or "TEL 电话号码"
        std::string sample;               // a table column's first value
        int count = 0;                    // a property: how often it occurs
        std::vector<std::string> choices; // where it may go, in Chinese; a property has one
        int chosen = 0;
    };

    // Reads the file's encoding and, for a table, its header. Throws
    // FileFormatError for a file that cannot be read as text.
    ImportPreview(Format format, std::string bytes, DuplicateIndex book);
    ~ImportPreview();

    Format FileFormat() const { return format_; }
    // Which program wrote the file ("Google 通讯录", "名片 (vCard 3.0, iPhone)").
    const std::string& Kind() const { return kind_; }
    std::string_view Encoding() const { return EncodingName(encoding_); }
    // A table's separator ("逗号", "分号", "制表符"); empty for cards.
    std::string Separator() const;

    const std::vector<Source>& Sources() const { return sources_; }
    // Whether the user may choose where the sources go (a table's columns).
    bool Choosable() const { return format_ == Format::Csv; }
    // Whether any column of the header was recognised (a card file always is).
    bool Recognised() const { return recognised_; }
    // Whether the current choices bring anything in.
    bool ImportsAnything() const;
    // Sends a column elsewhere; the numbers stay those of the last survey
    // until the next one is adopted.
    void Choose(int source, int choice);

    // A reading of the whole file with the current choices; Adopt its
    // findings once its Step has answered false. Throws FileFormatError.
    std::unique_ptr<ImportSurvey> StartSurvey() const;
    void Adopt(ImportSurvey& survey);

    int Records() const { return records_; }
    int Duplicates() const { return duplicates_; }
    const std::vector<Record>& FirstRecords() const { return first_; }
    // Whether each of the first records is a duplicate.
    std::vector<bool> FirstAreDuplicates() const;

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
    std::vector<ColumnRole> ChoicesOf(std::size_t column) const;

    Format format_;
    std::string bytes_;                      // cards
    std::shared_ptr<const CsvTable> table_;  // a table
    RecognisedHeader header_;
    std::vector<ColumnRole> chosen_;
    DuplicateIndex book_;
    std::string kind_;
    FileEncoding encoding_ = FileEncoding::Utf8;
    bool recognised_ = true;
    std::vector<Source> sources_;
    int records_ = 0;
    int duplicates_ = 0;
    std::vector<Record> first_;
    std::vector<bool> duplicate_; // per record of the file
    std::vector<Record> kept_;    // every record, when the survey kept them
    bool keptAll_ = false;
    std::vector<std::string> ignored_;
};

// One reading of a file for the preview, in slices.
class ImportSurvey {
public:
    // The records read are kept for the import while they take less memory
    // than this.
    static constexpr std::size_t KeepBytes = std::size_t{256} << 20;

    ImportSurvey(std::unique_ptr<RecordSource> source, DuplicateIndex book);
    // Reads up to count more records; false once the file is read.
    bool Step(int count);
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
