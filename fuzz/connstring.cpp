// The connection-string parser over any text (the input read as UTF-8).
#include "FuzzCheck.h"

#include "store/ConnectionString.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

QString Quoted(const QString& value)
{
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TConnectionString parsed = TConnectionString::Parse(text);

    QString rebuilt;
    for (const auto& [key, value] : parsed.Items()) {
        FUZZ_CHECK(!key.isEmpty() && key == key.trimmed());
        FUZZ_CHECK(!key.contains(QLatin1Char('=')) && !key.contains(QLatin1Char(';')));
        const std::optional<QString> found = parsed.Value(key);
        FUZZ_CHECK(found.has_value());
        // Letter case does not matter in the ASCII keys connection strings use.
        // (Beyond ASCII, upper case is not always a case-insensitive match.)
        if (std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 0x80; }))
            FUZZ_CHECK(parsed.Value(key.toUpper()) == found && parsed.Value(key.toLower()) == found);
        rebuilt += key + QLatin1Char('=') + Quoted(value) + QLatin1Char(';');
    }

    // Every item written back with its value quoted reads back unchanged.
    FUZZ_CHECK(TConnectionString::Parse(rebuilt).Items() == parsed.Items());
    return 0;
}
