#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// HTTP for a contact server, on Qt's network access: WebDAV's verbs, the
// user's name and password sent with every request to the server's own
// host, redirects followed by hand (only to the same host keep the
// password), a 30 s limit on silence, a bound on what an answer may weigh,
// and a certificate the system does not trust accepted only when it is the
// one the user pinned.
namespace booksync::net {

struct DavRequest {
    QByteArray verb; // PROPFIND, REPORT, GET, PUT, DELETE, MKCOL
    QUrl url;
    QByteArray body;
    QByteArray contentType;  // empty: none sent
    QByteArray depth;        // "0", "1"; empty: no Depth header
    QByteArray ifMatch;      // an ETag the server's copy must still have
    bool ifNoneMatch = false; // the resource must not exist yet
    // How long the server may stay silent; 0: SilenceLimitMs. A server's
    // first listing of a large book may first build its own index.
    int silenceLimitMs = 0;
};

enum class Failure {
    None,      // an HTTP answer arrived (whatever its status)
    Network,   // no connection, or it broke before the answer was whole
    Timeout,   // 30 s without a byte
    Untrusted, // the certificate is neither trusted by the system nor pinned
    TooLarge,  // the answer outgrew the bound
    Redirects, // more redirects than allowed, or to another scheme
    Cancelled,
};

struct DavResponse {
    Failure failure = Failure::None;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QUrl url;                // where the answer came from, after redirects
    QString errorText;       // the network layer's words, for a failure
    QByteArray fingerprint;  // Untrusted: SHA-256 of the server's certificate

    bool Ok() const { return failure == Failure::None && status >= 200 && status < 300; }
};

struct DavCredentials {
    QUrl server; // the name and password go only to this scheme, host and port
    QString user;
    QString password;
    QByteArray pinnedSha256; // raw digest of a certificate the user trusts; empty: none
};

class DavTransport : public QObject {
    Q_OBJECT
public:
    static constexpr int SilenceLimitMs = 30000;
    static constexpr int ListingSilenceLimitMs = 180000;
    static constexpr qint64 MaxAnswerBytes = 256 * 1024 * 1024;
    static constexpr int MaxRedirects = 5;

    explicit DavTransport(QObject* parent = nullptr);
    ~DavTransport() override;

    void SetCredentials(const DavCredentials& credentials);

    // Sends the request; done is called once, later, on this thread (also
    // for a failure, and with Failure::Cancelled when Cancel comes first).
    void Send(const DavRequest& request, std::function<void(const DavResponse&)> done);
    // Ends every request under way, each answering Cancelled.
    void Cancel();

    // Requests sent, redirects counted: what a benchmark counts.
    int RequestsSent() const { return sent_; }

private:
    struct Pending;
    void Start(std::shared_ptr<Pending> pending);
    void Finished(const std::shared_ptr<Pending>& pending, QNetworkReply* reply);

    QNetworkAccessManager* network_;
    DavCredentials credentials_;
    QHash<QNetworkReply*, std::shared_ptr<Pending>> active_;
    int sent_ = 0;
};

// "sha256 AB:CD:…", as the page shows a certificate's fingerprint.
QString FingerprintText(const QByteArray& sha256);

} // namespace booksync::net
