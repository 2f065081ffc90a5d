// The reader of a contact server's WebDAV answers over any bytes: every
// entry it keeps names a path, and it never keeps more than its bound.
#include "FuzzCheck.h"

#include "sync/DavXml.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const QUrl base(QStringLiteral("http://127.0.0.1:5232/alice/book/"));
    const booksync::Multistatus answer = booksync::ParseMultistatus(body, base);
    FUZZ_CHECK(answer.entries.size() <= static_cast<std::size_t>(booksync::MaxEntries));
    for (const booksync::DavEntry& entry : answer.entries)
        FUZZ_CHECK(entry.href.startsWith(QLatin1Char('/')));
    booksync::DavPrecondition(body);
    return 0;
}
