// The category list file reader over any bytes.
#include "FuzzCheck.h"

#include "store/CategoryFile.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const QStringList lines = ParseCategoryBytes(bytes);

    const QByteArrayView text = bytes.first(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0'));
    FUZZ_CHECK(lines.size() <= text.count('\r') + text.count('\n') + 1);
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n'))
                   && !line.contains(QChar(0)));

    // Writing the list back and reading it again loses and changes nothing.
    FUZZ_CHECK(ParseCategoryBytes(FormatCategoryBytes(lines)) == lines);
    return 0;
}
