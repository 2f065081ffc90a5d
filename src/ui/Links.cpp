#include "ui/Links.h"

namespace links {

QString MakerPage(const QString& endpoint, const QString& version)
{
    return endpoint + QStringLiteral("/?qq=") + kProjectWord + version;
}

QString ChatAddress(const QString& qq)
{
    return kChatEndpoint + QStringLiteral("/msgrd?V=1&Uin=") + qq + QStringLiteral("&Site=") + kChatSite
        + QStringLiteral("&Menu=yes");
}

QString MailAddress(const QString& email)
{
    return QStringLiteral("mailto:") + email;
}

} // namespace links
