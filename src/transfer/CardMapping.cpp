#include "transfer/CardMapping.h"

#include "transfer/FileFormatError.h"
#include "transfer/VCardRecords.h"

#include <memory>

namespace transfer {

MappedCard MapCard(std::string_view cardText)
{
    MappedCard card;
    VCardRecordSource source(std::make_shared<const std::string>(cardText), Utf8Encoding());
    try {
        source.Next(card.record);
    } catch (const FileFormatError& error) {
        card.repairs.Add(error.Line(), error.what());
    }
    if (card.repairs.Empty())
        card.repairs = source.Repairs();
    card.notKept = source.IgnoredNames();
    return card;
}

} // namespace transfer
