#pragma once

#include "transfer/RecordSource.h"

#include <string>
#include <string_view>

// Records as electronic business cards, vCard 3.0 (RFC 2426), UTF-8.
namespace transfer {

// One card per record: FN and N from 姓名 (always, as the version requires),
// then, for the fields that hold text, CATEGORIES, TEL;TYPE=CELL (手机),
// TEL;TYPE=WORK,VOICE (电话), TEL;TYPE=FAX (传真), EMAIL, URL, NOTE and X-QQ.
// A telephone, e-mail, home page or QQ field holding several entries joined
// by "; " (as an import joins them) gives one property per entry. Values are
// escaped; lines longer than 75 bytes are folded between characters.
//
// A value whose line breaks are all CR LF is written with "\n" escapes and
// the parameter X-LINEBREAK=CRLF, which other programs ignore and which
// brings the CR back on import; a CR elsewhere is written as "\r".
class VCardRecordSink final : public RecordSink {
public:
    void Begin(std::string&) override {}
    void Append(std::string& out, const RecordView& record) override;
};

// Appends "name:value" and CR LF, folding the line after every 75 bytes (a
// continuation line starts with a blank) without splitting a UTF-8 character.
void AppendFoldedLine(std::string& out, std::string_view line);

} // namespace transfer
