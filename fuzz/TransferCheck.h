#pragma once

// What both file readers of the import promise for any bytes: they either
// refuse the file with a line number or give records of valid UTF-8 text that
// hold no zero byte and some text beyond 编号; and writing those records in the
// same format and reading them again gives the same records.

#include "FuzzCheck.h"

#include "transfer/FileFormatError.h"
#include "transfer/RecordFormats.h"
#include "transfer/TextLines.h"
#include "transfer/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fuzzing {

inline std::optional<std::vector<transfer::Record>> ReadAll(transfer::Format format, std::string bytes)
{
    const int lines = transfer::LineAt(bytes, bytes.size());
    try {
        const auto source = transfer::OpenRecordSource(format, std::move(bytes));
        std::vector<transfer::Record> records;
        transfer::Record record;
        double progress = 0;
        while (source->Next(record)) {
            FUZZ_CHECK(record[transfer::col::Number].empty() && !transfer::HasNoImportableText(record));
            for (const std::string& text : record)
                FUZZ_CHECK(transfer::ValidUtf8Prefix(text) == text.size() && text.find('\0') == std::string::npos);
            FUZZ_CHECK(source->Progress() >= progress && source->Progress() <= 1.0);
            progress = source->Progress();
            records.push_back(record);
        }
        return records;
    } catch (const transfer::FileFormatError& error) {
        FUZZ_CHECK(error.Line() >= 1 && error.Line() <= lines);
        return std::nullopt;
    }
}

inline void CheckFormat(transfer::Format format, const std::uint8_t* data, std::size_t size)
{
    const auto records = ReadAll(format, std::string(reinterpret_cast<const char*>(data), size));
    if (!records)
        return;
    std::string written;
    const auto sink = transfer::MakeRecordSink(format);
    sink->Begin(written);
    for (const transfer::Record& record : *records)
        sink->Append(written, transfer::ViewOf(record));
    const auto again = ReadAll(format, written);
    FUZZ_CHECK(again && *again == *records);
}

} // namespace fuzzing
