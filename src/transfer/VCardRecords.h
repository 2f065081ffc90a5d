#pragma once

#include "transfer/RecordSource.h"
#include "transfer/VCardLexer.h"

#include <set>

namespace transfer {

// Reads the cards of a vCard file (2.1, 3.0 or 4.0, as phones and mail
// programs export them) as records: FN (or else N) is 姓名, CATEGORIES 分类,
// TEL with type CELL (or MOBILE, IPHONE) 手机, with type FAX 传真, any other
// TEL 电话, EMAIL 邮箱, URL 主页, NOTE 备注 and X-QQ the QQ number. Several
// values for one field are joined with "; ". A card without a name takes its
// first telephone number, or else its first e-mail address, as 姓名.
class VCardRecordSource final : public RecordSource {
public:
    explicit VCardRecordSource(std::string bytes);

    bool Next(Record& record) override;
    double Progress() const override;
    std::vector<std::string> IgnoredNames() const override;

private:
    // Reads one card's properties after its BEGIN line up to its END.
    void ReadCard(int beginLine, Record& record);

    std::string bytes_;
    VCardLexer lexer_;
    ContentLine property_;
    std::set<std::string> ignored_;
};

} // namespace transfer
