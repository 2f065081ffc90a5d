#pragma once

#include "transfer/RecordBuilder.h"
#include "transfer/RecordSource.h"
#include "transfer/VCardLexer.h"
#include "transfer/VCardValues.h"

#include <map>
#include <memory>
#include <optional>
#include <set>

namespace transfer {

// Reads the cards of a vCard file (2.1, 3.0 or 4.0, as phones, mail
// programs and contact servers export them; UTF-16 with a byte-order mark
// too) as records, each property as PropertyOf says: FN (or else N) is 姓名,
// CATEGORIES 分类, TEL with type CELL (or MOBILE, IPHONE, or a label saying
// mobile) 手机, with type FAX 传真, any other TEL 电话, EMAIL 邮箱, URL 主页,
// NOTE 备注, X-QQ and IMPP of QQ the QQ number; ORG, TITLE, ADR, BDAY and the
// like go to 备注 as labelled lines. Escapes ("\:", "\,", "\;") are undone
// in every value. A card without a name takes its company, else its first
// telephone number, else its first e-mail address as 姓名.
//
// Damage is repaired or skipped, each named in Repairs: lines that are no
// property, text outside the cards, an END without BEGIN, a card that does
// not end (it ends where the next begins, or with the file), broken escapes
// and bytes that are not valid in their encoding. A file without a single
// card to import is refused.
class VCardRecordSource final : public RecordSource {
public:
    // The values without a CHARSET are read in the encoding given, else in
    // the one the file's byte-order mark names, else in the one guessed from
    // the values.
    explicit VCardRecordSource(std::shared_ptr<const std::string> bytes, std::optional<Encoding> encoding = {});
    explicit VCardRecordSource(std::string bytes);
    ~VCardRecordSource() override;

    bool Next(Record& record) override;
    double Progress() const override;
    // The properties not kept, by their Chinese names.
    std::vector<std::string> IgnoredNames() const override;
    const RepairLog& Repairs() const override { return repairs_; }
    // The properties of the cards read (BEGIN, END and VERSION aside) with
    // how often each occurred; the cards' versions and maker ("名片 (vCard
    // 3.0, 苹果设备)"); the encoding.
    void Report(ReadingReport& report) const override;

private:
    // Reads one card's properties after its BEGIN line up to its END.
    void ReadCard(int beginLine, Record& record);

    std::shared_ptr<const std::string> bytes_;
    std::string decoded_; // a UTF-16 file as UTF-8
    Encoding encoding_;
    bool encodingSure_ = true;
    std::optional<VCardLexer> lexer_;
    std::optional<CardValues> values_;
    RepairLog repairs_;
    ContentLine property_;
    bool pendingBegin_ = false; // property_ is a BEGIN that ended the card before it
    std::vector<ContentLine> card_;
    RecordBuilder builder_;
    int records_ = 0;
    std::set<std::string> ignored_;
    std::map<std::string, int> counts_;
    std::set<std::string> versions_;
    std::string maker_;
};

} // namespace transfer
