#include "sync/CardMap.h"

#include "transfer/FileFormatError.h"
#include "transfer/RecordBuilder.h"
#include "transfer/RepairLog.h"
#include "transfer/VCardLexer.h"
#include "transfer/VCardRecords.h"
#include "transfer/VCardWriter.h"

#include <QString>

#include <algorithm>

namespace booksync {

namespace {

// Whether the bytes hold exactly one BEGIN (a second card, even an empty
// one, would take what a patch adds before its END).
bool OneCard(std::string_view card)
{
    transfer::VCardLexer lexer(card);
    transfer::ContentLine property;
    transfer::RepairLog repairs;
    int begins = 0;
    while (lexer.Next(property, repairs))
        begins += property.name == "BEGIN" ? 1 : 0;
    return begins == 1;
}

} // namespace

std::optional<Record> RecordOfCard(std::string_view card)
{
    try {
        if (!OneCard(card))
            return std::nullopt;
        transfer::VCardRecordSource source{std::string(card)};
        Record record;
        if (!source.Next(record)) // a card with nothing the book keeps
            record = Record();
        Record second;
        if (source.Next(second))
            return std::nullopt;
        return record;
    } catch (const transfer::FileFormatError&) {
        return std::nullopt;
    }
}

std::string UidOfCard(std::string_view card)
{
    try {
        transfer::VCardLexer lexer(card);
        transfer::ContentLine property;
        transfer::RepairLog repairs;
        while (lexer.Next(property, repairs))
            if (property.name == "UID" && property.group.empty()) {
                std::string uid;
                for (std::size_t i = 0; i < property.value.size(); ++i) {
                    if (property.value[i] == '\\' && i + 1 < property.value.size())
                        ++i;
                    uid += property.value[i];
                }
                return std::string(transfer::Trimmed(uid));
            }
    } catch (const transfer::FileFormatError&) {
    }
    return {};
}

Record WithValidText(const Record& record)
{
    Record valid;
    for (int column = 0; column < transfer::col::Count; ++column) {
        valid[column] = QString::fromUtf8(record[column].data(), static_cast<qsizetype>(record[column].size())).toStdString();
        std::erase(valid[column], '\0');
    }
    return valid;
}

std::string NewCard(const Record& record, std::string_view uid)
{
    std::string card;
    transfer::VCardRecordSink().Append(card, transfer::ViewOf(WithValidText(record)));
    // After "BEGIN:VCARD\r\nVERSION:3.0\r\n".
    const std::size_t afterVersion = card.find("\r\n", card.find("VERSION:")) + 2;
    std::string line;
    transfer::AppendFoldedLine(line, "UID:" + std::string(uid));
    card.insert(afterVersion, line);
    return card;
}

bool IsListField(int column)
{
    return column == transfer::col::QQ || column == transfer::col::Mobile || column == transfer::col::Phone
        || column == transfer::col::Fax || column == transfer::col::Email || column == transfer::col::HomePage;
}

std::vector<std::string_view> EntriesOf(std::string_view field)
{
    return transfer::SplitTrimmed(field, "; ");
}

bool SameValue(int column, std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    if (!IsListField(column))
        return false;
    std::vector<std::string_view> left = EntriesOf(a);
    std::vector<std::string_view> right = EntriesOf(b);
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    return left == right;
}

bool SameRecord(const Record& a, const Record& b)
{
    for (int column = transfer::col::Category; column < transfer::col::Count; ++column)
        if (!SameValue(column, a[column], b[column]))
            return false;
    return true;
}

} // namespace booksync
