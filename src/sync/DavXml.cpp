#include "sync/DavXml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace booksync {
namespace {

const QString Dav = QStringLiteral("DAV:");
const QString CardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");

// Elements nest no deeper than this in any answer a sync reads.
constexpr int MaxDepth = 64;

bool Is(const QXmlStreamReader& xml, const QString& ns, QLatin1StringView name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

// "HTTP/1.1 404 Not Found" is 404; anything else 0.
int StatusCode(const QString& line)
{
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// XML turns every CR LF into LF; a card's lines end with CR LF.
QByteArray WithCrLf(const QByteArray& text)
{
    QByteArray card;
    card.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            card += '\r';
        card += text[i];
    }
    return card;
}

// Reads the text of the current element, child elements skipped, bounded.
QString Text(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements);
}

// Skips the current element (and its children) without recursion.
void Skip(QXmlStreamReader& xml) { xml.skipCurrentElement(); }

// The hrefs inside the current element (current-user-principal, home-set).
QStringList Hrefs(QXmlStreamReader& xml, const QUrl& base)
{
    QStringList paths;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (Is(xml, Dav, QLatin1StringView("href"))) {
                paths << HrefPath(Text(xml).trimmed(), base);
                continue;
            }
            if (++depth > MaxDepth) {
                xml.raiseError(QStringLiteral("too deep"));
                return paths;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return paths;
}

// A <resourcetype>: whether it says collection and addressbook.
void ResourceType(QXmlStreamReader& xml, DavEntry& entry)
{
    while (xml.readNextStartElement()) {
        if (Is(xml, Dav, QLatin1StringView("collection")))
            entry.isCollection = true;
        else if (Is(xml, CardDav, QLatin1StringView("addressbook")))
            entry.isAddressBook = true;
        Skip(xml);
    }
}

// The properties of one <prop>, into a scratch entry.
void Properties(QXmlStreamReader& xml, DavEntry& found, const QUrl& base)
{
    while (xml.readNextStartElement()) {
        if (Is(xml, Dav, QLatin1StringView("getetag")))
            found.etag = Text(xml).trimmed();
        else if (Is(xml, CardDav, QLatin1StringView("address-data"))) {
            found.addressData = WithCrLf(Text(xml).toUtf8());
            found.hasAddressData = true;
        } else if (Is(xml, Dav, QLatin1StringView("resourcetype")))
            ResourceType(xml, found);
        else if (Is(xml, Dav, QLatin1StringView("displayname")))
            found.displayName = Text(xml).trimmed();
        else if (Is(xml, Dav, QLatin1StringView("current-user-principal"))) {
            const QStringList paths = Hrefs(xml, base);
            if (!paths.isEmpty())
                found.principal = paths.front();
        } else if (Is(xml, CardDav, QLatin1StringView("addressbook-home-set")))
            found.homeSet = Hrefs(xml, base);
        else if (Is(xml, Dav, QLatin1StringView("sync-token")))
            found.syncToken = Text(xml).trimmed();
        else
            Skip(xml);
    }
}

// A <propstat>: its properties count only when its status is 2xx.
void Propstat(QXmlStreamReader& xml, DavEntry& entry, const QUrl& base)
{
    DavEntry found;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (Is(xml, Dav, QLatin1StringView("prop")))
            Properties(xml, found, base);
        else if (Is(xml, Dav, QLatin1StringView("status")))
            status = StatusCode(Text(xml));
        else
            Skip(xml);
    }
    if (status < 200 || status >= 300)
        return;
    if (!found.etag.isEmpty())
        entry.etag = found.etag;
    if (found.hasAddressData) {
        entry.addressData = std::move(found.addressData);
        entry.hasAddressData = true;
    }
    entry.isCollection = entry.isCollection || found.isCollection;
    entry.isAddressBook = entry.isAddressBook || found.isAddressBook;
    if (!found.displayName.isEmpty())
        entry.displayName = found.displayName;
    if (!found.principal.isEmpty())
        entry.principal = found.principal;
    if (!found.homeSet.isEmpty())
        entry.homeSet = found.homeSet;
    if (!found.syncToken.isEmpty())
        entry.syncToken = found.syncToken;
}

DavEntry Response(QXmlStreamReader& xml, const QUrl& base)
{
    DavEntry entry;
    entry.status = 200;
    while (xml.readNextStartElement()) {
        if (Is(xml, Dav, QLatin1StringView("href")))
            entry.href = HrefPath(Text(xml).trimmed(), base);
        else if (Is(xml, Dav, QLatin1StringView("status")))
            entry.status = StatusCode(Text(xml));
        else if (Is(xml, Dav, QLatin1StringView("propstat")))
            Propstat(xml, entry, base);
        else
            Skip(xml);
    }
    return entry;
}

QByteArray Write(const std::function<void(QXmlStreamWriter&)>& body)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(Dav, QStringLiteral("D"));
    xml.writeNamespace(CardDav, QStringLiteral("C"));
    body(xml);
    xml.writeEndDocument();
    return out;
}

void Prop(QXmlStreamWriter& xml, std::initializer_list<std::pair<const QString*, const char*>> names)
{
    xml.writeStartElement(Dav, QStringLiteral("prop"));
    for (const auto& [ns, name] : names)
        xml.writeEmptyElement(*ns, QString::fromLatin1(name));
    xml.writeEndElement();
}

QByteArray Propfind(std::initializer_list<std::pair<const QString*, const char*>> names)
{
    return Write([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(Dav, QStringLiteral("propfind"));
        Prop(xml, names);
        xml.writeEndElement();
    });
}

} // namespace

QString HrefPath(const QString& href, const QUrl& base)
{
    // The common case, an absolute path, without the cost of an address's parse.
    if (href.startsWith(QLatin1Char('/')) && !href.startsWith(QLatin1String("//")) && !href.contains(QLatin1Char('?'))
        && !href.contains(QLatin1Char('#')) && !href.contains(QLatin1String("/."))) {
        return href.contains(QLatin1Char('%')) ? QUrl::fromPercentEncoding(href.toUtf8()) : href;
    }
    QString text = href;
    // A whole address percent-encoded ("http%3A//host%3A80/path").
    if (text.startsWith(QLatin1String("http%3A"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https%3A"), Qt::CaseInsensitive))
        text = QUrl::fromPercentEncoding(text.toUtf8());
    const QUrl url = base.resolved(QUrl(text, QUrl::TolerantMode));
    // An href elsewhere (another scheme or server) names nothing of this book.
    if (url.scheme() != base.scheme() || url.host() != base.host() || url.port() != base.port())
        return {};
    const QString path = url.path(QUrl::FullyDecoded);
    return path.startsWith(QLatin1Char('/')) ? path : QString();
}

QUrl UrlOfPath(const QUrl& base, const QString& path)
{
    QUrl url = base.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

QString DavPrecondition(const QByteArray& body)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !Is(xml, Dav, QLatin1StringView("error")))
        return {};
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        if (!name.isEmpty())
            return name;
    }
    return {};
}

Multistatus ParseMultistatus(const QByteArray& body, const QUrl& base)
{
    Multistatus result;
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !Is(xml, Dav, QLatin1StringView("multistatus")))
        return result;
    const QString requested = base.path(QUrl::FullyDecoded);
    while (xml.readNextStartElement()) {
        if (Is(xml, Dav, QLatin1StringView("response"))) {
            if (static_cast<int>(result.entries.size()) >= MaxEntries)
                return result;
            DavEntry entry = Response(xml, base);
            // RFC 6578: a 507 on the collection itself says the report was cut short.
            if (entry.status == 507 && (entry.href == requested || entry.href.isEmpty())) {
                result.truncated = true;
                continue;
            }
            if (!entry.href.isEmpty())
                result.entries.push_back(std::move(entry));
        } else if (Is(xml, Dav, QLatin1StringView("sync-token"))) {
            result.syncToken = Text(xml).trimmed();
        } else {
            Skip(xml);
        }
    }
    result.valid = !xml.hasError();
    return result;
}

namespace bodies {

QByteArray DiscoveryPropfind()
{
    return Propfind({{&Dav, "resourcetype"},
                     {&Dav, "displayname"},
                     {&Dav, "current-user-principal"},
                     {&CardDav, "addressbook-home-set"}});
}

QByteArray CollectionsPropfind() { return Propfind({{&Dav, "resourcetype"}, {&Dav, "displayname"}}); }

QByteArray EtagPropfind() { return Propfind({{&Dav, "resourcetype"}, {&Dav, "getetag"}}); }

QByteArray SyncCollection(const QString& token)
{
    return Write([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(Dav, QStringLiteral("sync-collection"));
        xml.writeTextElement(Dav, QStringLiteral("sync-token"), token);
        xml.writeTextElement(Dav, QStringLiteral("sync-level"), QStringLiteral("1"));
        Prop(xml, {{&Dav, "getetag"}});
        xml.writeEndElement();
    });
}

QByteArray Multiget(const QStringList& paths)
{
    return Write([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(CardDav, QStringLiteral("addressbook-multiget"));
        Prop(xml, {{&Dav, "getetag"}, {&CardDav, "address-data"}});
        for (const QString& path : paths)
            xml.writeTextElement(Dav, QStringLiteral("href"), QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
        xml.writeEndElement();
    });
}

QByteArray MakeAddressBook(const QString& displayName)
{
    return Write([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(Dav, QStringLiteral("mkcol"));
        xml.writeStartElement(Dav, QStringLiteral("set"));
        xml.writeStartElement(Dav, QStringLiteral("prop"));
        xml.writeStartElement(Dav, QStringLiteral("resourcetype"));
        xml.writeEmptyElement(Dav, QStringLiteral("collection"));
        xml.writeEmptyElement(CardDav, QStringLiteral("addressbook"));
        xml.writeEndElement();
        xml.writeTextElement(Dav, QStringLiteral("displayname"), displayName);
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

} // namespace bodies
} // namespace booksync
