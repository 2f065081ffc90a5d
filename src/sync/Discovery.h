#pragma once

#include "sync/net/DavTransport.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

// Finds the user's address books from the address the user typed: the
// address itself when it is a book; else its current-user-principal and
// that principal's addressbook-home-set, or the same asked of
// /.well-known/carddav on its host; then the books in the home. A home
// without a book gets one (an extended MKCOL).
namespace booksync {

struct AddressBook {
    QUrl url;
    QString name; // the server's display name, else the last part of the path
};

enum class Outcome {
    Done,
    Unauthorized, // 401: the name or the password is wrong
    Untrusted,    // a certificate neither the system nor the user trusts
    Unreachable,  // no connection, a timeout, a broken answer
    Refused,      // the server answered, but not as a contact server does
};

struct DiscoveryResult {
    Outcome outcome = Outcome::Refused;
    std::vector<AddressBook> books;
    QString message;         // in Chinese, for the page's status line
    QByteArray fingerprint;  // Untrusted: the certificate's SHA-256
};

// The Chinese words for a transport failure or an unexpected status.
QString DescribeFailure(const net::DavResponse& response);
Outcome OutcomeOf(const net::DavResponse& response);

class Discovery : public QObject {
    Q_OBJECT
public:
    Discovery(net::DavTransport& transport, const QUrl& address, QObject* parent = nullptr);

    // Runs the steps; done is called once, on this thread.
    void Start(std::function<void(const DiscoveryResult&)> done);

private:
    void Probe(const QUrl& url);
    void AskPrincipal(const QUrl& principal);
    void ListHome(const QUrl& home);
    void MakeBook(const QUrl& home);
    void TryWellKnown(const net::DavResponse& why);
    void Fail(const net::DavResponse& response);
    void Finish(DiscoveryResult result);

    net::DavTransport& transport_;
    QUrl address_;
    bool triedWellKnown_ = false;
    std::function<void(const DiscoveryResult&)> done_;
};

} // namespace booksync
