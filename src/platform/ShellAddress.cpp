#include "platform/ShellAddress.h"

#include <QRegularExpression>

namespace platform {
namespace {

// The part before the first "/", "?" or "#" is a host, with an optional port:
// "localhost", an IPv4 or bracketed IPv6 address, or a domain name of two or
// more labels in any script whose last label holds a letter. No blanks and
// no "@": a mail address is no home page.
const QRegularExpression kHostStart(
    QStringLiteral(R"(^(?:localhost|\[[0-9A-Fa-f:.]+\]|(?:\d{1,3}\.){3}\d{1,3}|)"
                   R"((?:[\p{L}\p{N}](?:[\p{L}\p{M}\p{N}-]*[\p{L}\p{M}\p{N}])?\.)+)"
                   R"((?=[\p{L}\p{M}\p{N}-]*\p{L})[\p{L}\p{N}](?:[\p{L}\p{M}\p{N}-]*[\p{L}\p{M}\p{N}])?))"
                   R"((?::\d{1,5})?(?:[/?#]|$))"),
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

} // namespace

QUrl DesktopUrl(const QString& address)
{
    const QString text = address.trimmed();
    // "localhost:8080" reads as a scheme too; a host with a port wins.
    if (kHostStart.match(text).hasMatch())
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    return QUrl(text, QUrl::TolerantMode);
}

} // namespace platform
