// The import's preview over any table, with its columns sent wherever their
// boxes offer (the first byte of the input picks, the rest is the file). The
// preview's reading, the records it hands to the import and a new reading of
// the file must agree: the same records and names left out, the first of
// them as shown, no more duplicates than records, and every record of valid
// UTF-8 text with something in it.
#include "FuzzCheck.h"

#include "transfer/FileFormatError.h"
#include "transfer/ImportPreview.h"
#include "transfer/TextLines.h"
#include "transfer/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void CheckPreview(std::uint8_t pick, std::string bytes)
{
    const int lines = transfer::LineAt(bytes, bytes.size());
    try {
        transfer::ImportPreview preview(transfer::Format::Csv, std::move(bytes), transfer::DuplicateIndex());
        const auto& sources = preview.Sources();
        for (std::size_t column = 0; column < sources.size(); ++column) {
            const std::size_t choices = preview.Choices(static_cast<int>(column)).size();
            FUZZ_CHECK(choices >= 2);
            preview.Choose(static_cast<int>(column), static_cast<int>((pick + column * 7) % choices));
        }
        const auto survey = preview.StartSurvey();
        while (survey->Step(64)) {
        }
        preview.Adopt(*survey);
        FUZZ_CHECK(preview.Duplicates() >= 0 && preview.Duplicates() <= preview.Records());
        FUZZ_CHECK(preview.FirstRecords().size() == preview.FirstAreDuplicates().size());

        const auto again = preview.OpenSource();
        const auto handed = preview.ImportSource();
        transfer::Record record, kept;
        int count = 0;
        while (again->Next(record)) {
            FUZZ_CHECK(!transfer::HasNoImportableText(record));
            for (const std::string& text : record)
                FUZZ_CHECK(transfer::ValidUtf8Prefix(text) == text.size() && text.find('\0') == std::string::npos);
            if (static_cast<std::size_t>(count) < preview.FirstRecords().size()) {
                const transfer::Record& shown = preview.FirstRecords()[static_cast<std::size_t>(count)];
                for (int column = 0; column < transfer::col::Count; ++column)
                    FUZZ_CHECK(shown[column] == transfer::Shortened(record[column], transfer::ShownValueBytes));
            }
            FUZZ_CHECK(handed->Next(kept) && kept == record);
            ++count;
        }
        FUZZ_CHECK(!handed->Next(kept) && handed->IgnoredNames() == again->IgnoredNames());
        FUZZ_CHECK(count == preview.Records());
    } catch (const transfer::FileFormatError& error) {
        FUZZ_CHECK(error.Line() >= 1 && error.Line() <= lines);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    CheckPreview(data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    return 0;
}
