#include "transfer/RecordFormats.h"

#include "transfer/CsvRecords.h"
#include "transfer/VCardRecords.h"
#include "transfer/VCardWriter.h"

namespace transfer {

std::unique_ptr<RecordSource> OpenRecordSource(Format format, std::string bytes)
{
    if (format == Format::Csv)
        return std::make_unique<CsvRecordSource>(std::move(bytes));
    return std::make_unique<VCardRecordSource>(std::move(bytes));
}

std::unique_ptr<RecordSink> MakeRecordSink(Format format)
{
    if (format == Format::Csv)
        return std::make_unique<CsvRecordSink>();
    return std::make_unique<VCardRecordSink>();
}

} // namespace transfer
