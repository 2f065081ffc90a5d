#pragma once

#include "sync/net/DavTransport.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <string>

// A real contact server on 127.0.0.1 for one test program: Radicale (with
// a user "alice", password "secret") or Xandikos (no authentication), its
// storage a throw-away folder in /dev/shm, its port free and chosen at run
// time. Stopped (by its process) when the object goes, and on demand, to
// play a server that goes away in the middle of a sync.
class CardDavServer {
public:
    enum class Kind { Radicale, Xandikos };
    struct Options {
        int maxSyncTokenAge = 0; // Radicale: seconds a sync token stays valid; 0: its default
        bool tls = false;        // Radicale: HTTPS with a self-signed certificate made here
    };

    explicit CardDavServer(Kind kind, Options options);
    explicit CardDavServer(Kind kind) : CardDavServer(kind, Options()) {}
    ~CardDavServer();
    CardDavServer(const CardDavServer&) = delete;
    CardDavServer& operator=(const CardDavServer&) = delete;

    Kind kind() const { return kind_; }
    bool Running() const;
    QUrl Root() const;
    QString User() const;
    QString Password() const;
    // The SHA-256 of the TLS certificate.
    QByteArray CertificateSha256() const { return certificateSha256_; }
    booksync::net::DavCredentials Credentials() const;

    // A new, empty address book of that name; its address.
    QUrl NewBook(const QString& name);

    // Kills the server at once; Start brings it back on the same port and storage.
    void Kill();
    void Start();

    // One request, answered before it returns (the event loop turns meanwhile).
    booksync::net::DavResponse Call(const booksync::net::DavRequest& request);
    booksync::net::DavResponse Put(const QUrl& url, const QByteArray& card, const QByteArray& ifMatch = {});
    booksync::net::DavResponse Get(const QUrl& url);
    booksync::net::DavResponse Delete(const QUrl& url);
    // Changes one field of a card as a phone does: the card patched, put back.
    bool ChangeCard(const QUrl& url, int column, const std::string& value);
    // The hrefs and ETags of the book's cards, through the server's own listing.
    QStringList Hrefs(const QUrl& book);

private:
    void WriteRadicaleConfig();
    void WaitUntilListening();

    Kind kind_;
    Options options_;
    QTemporaryDir folder_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    QByteArray certificateSha256_;
    booksync::net::DavTransport transport_;
};
