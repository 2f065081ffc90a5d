#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

// What a contact server says in WebDAV's XML (RFC 4918, 6352, 6578), and
// the bodies of the requests that ask it. Only what a sync needs is read;
// everything else in an answer is skipped, whatever its namespace prefix.
// Answers come from a network: the reader is bounded and never throws.
namespace booksync {

// One <response> of a multistatus.
struct DavEntry {
    QString href;   // the resource's path, percent-decoded (see HrefPath)
    int status = 0; // the response's own status (a deletion in a sync report is 404), else 200
    // Properties found (in a propstat whose status is 2xx):
    QString etag;
    QByteArray addressData;
    bool hasAddressData = false;
    bool isCollection = false;
    bool isAddressBook = false;
    QString displayName;
    QString principal;        // current-user-principal, a path
    QStringList homeSet;      // addressbook-home-set, paths
    QString syncToken;        // the collection's sync-token property
};

struct Multistatus {
    bool valid = false; // a well-formed multistatus within the bounds
    std::vector<DavEntry> entries;
    QString syncToken;       // a sync report's new token
    bool truncated = false;  // a sync report said 507: more changes follow
};

// The precondition a server names in an <error> body ("valid-sync-token",
// "no-uid-conflict", ...), or empty text.
QString DavPrecondition(const QByteArray& body);

// No more entries than this are read from one answer.
inline constexpr int MaxEntries = 200000;

Multistatus ParseMultistatus(const QByteArray& body, const QUrl& base);

// An href as a path: percent-decoded, and without a scheme and host when it
// has them (some servers send them, percent-encoded as a whole). Empty for
// an href on another server, or one that names no path.
QString HrefPath(const QString& href, const QUrl& base);

// The address of a path on the server of base.
QUrl UrlOfPath(const QUrl& base, const QString& path);

namespace bodies {
// PROPFIND of what discovery asks of any address.
QByteArray DiscoveryPropfind();
// PROPFIND Depth 1 of a home: the collections' types and names.
QByteArray CollectionsPropfind();
// PROPFIND Depth 1 of a book's cards and their ETags: the listing of last resort.
QByteArray EtagPropfind();
QByteArray SyncCollection(const QString& token);
QByteArray Multiget(const QStringList& paths);
QByteArray MakeAddressBook(const QString& displayName);
} // namespace bodies

} // namespace booksync
