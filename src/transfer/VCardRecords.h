#pragma once

#include "transfer/RecordBuilder.h"
#include "transfer/RecordSource.h"
#include "transfer/TextEncoding.h"
#include "transfer/VCardLexer.h"

#include <map>
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
class VCardRecordSource final : public RecordSource {
public:
    explicit VCardRecordSource(std::string bytes);

    bool Next(Record& record) override;
    double Progress() const override;
    // The properties not kept, by their Chinese names.
    std::vector<std::string> IgnoredNames() const override;

    FileEncoding Encoding() const { return encoding_; }
    // How often each property occurred in the cards read (BEGIN, END and
    // VERSION aside).
    const std::map<std::string, int>& PropertyCounts() const { return counts_; }
    // The versions of the cards read ("2.1", "3.0", ...).
    const std::set<std::string>& Versions() const { return versions_; }
    // The PRODID of the first card that names its maker.
    const std::string& Maker() const { return maker_; }

private:
    // Reads one card's properties after its BEGIN line up to its END.
    void ReadCard(int beginLine, Record& record);

    std::string bytes_;
    FileEncoding encoding_;
    VCardLexer lexer_;
    ContentLine property_;
    std::vector<ContentLine> card_;
    RecordBuilder builder_;
    std::set<std::string> ignored_;
    std::map<std::string, int> counts_;
    std::set<std::string> versions_;
    std::string maker_;
};

} // namespace transfer
