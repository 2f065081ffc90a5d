#include "sync/net/DavTransport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

#include <utility>

namespace booksync::net {

struct DavTransport::Pending {
    DavRequest request;
    std::function<void(const DavResponse&)> done;
    QNetworkReply* reply = nullptr;
    QByteArray body;
    int redirects = 0;
    Failure failure = Failure::None;
    QByteArray fingerprint;
};

namespace {

bool SameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
        && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
        && a.port(a.scheme() == QLatin1String("https") ? 443 : 80) == b.port(b.scheme() == QLatin1String("https") ? 443 : 80);
}

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

} // namespace

QString FingerprintText(const QByteArray& sha256)
{
    return QStringLiteral("SHA-256 ") + QString::fromLatin1(sha256.toHex(':').toUpper());
}

DavTransport::DavTransport(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this))
{
    // Redirects are followed here, so that the password goes to its own host only.
    network_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    // No cookies: each request carries its own authorization.
    network_->setCookieJar(nullptr);
}

DavTransport::~DavTransport()
{
    // Nobody is left to hear the answers.
    for (const std::shared_ptr<Pending>& pending : std::as_const(active_))
        pending->done = [](const DavResponse&) {};
    Cancel();
}

void DavTransport::SetCredentials(const DavCredentials& credentials) { credentials_ = credentials; }

void DavTransport::Send(const DavRequest& request, std::function<void(const DavResponse&)> done)
{
    auto pending = std::make_shared<Pending>();
    pending->request = request;
    pending->done = std::move(done);
    Start(pending);
}

void DavTransport::Start(std::shared_ptr<Pending> pending)
{
    const DavRequest& request = pending->request;
    QNetworkRequest http(request.url);
    http.setTransferTimeout(request.silenceLimitMs > 0 ? request.silenceLimitMs : SilenceLimitMs);
    http.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    http.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    http.setRawHeader("User-Agent", "Quillory");
    if (!request.contentType.isEmpty())
        http.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
    if (!request.depth.isEmpty())
        http.setRawHeader("Depth", request.depth);
    if (!request.ifMatch.isEmpty())
        http.setRawHeader("If-Match", request.ifMatch);
    if (request.ifNoneMatch)
        http.setRawHeader("If-None-Match", "*");
    // Sent at once rather than after a 401: a sync with nothing to do is one request.
    if (!credentials_.user.isEmpty() && SameOrigin(request.url, credentials_.server))
        http.setRawHeader("Authorization",
                          "Basic " + (credentials_.user + QLatin1Char(':') + credentials_.password).toUtf8().toBase64());

    ++sent_;
    QNetworkReply* reply = network_->sendCustomRequest(http, request.verb, request.body);
    pending->reply = reply;
    pending->body.clear();
    active_.insert(reply, pending);
    connect(reply, &QNetworkReply::readyRead, this, [pending, reply] {
        if (pending->body.size() + reply->bytesAvailable() > MaxAnswerBytes) {
            pending->failure = Failure::TooLarge;
            reply->abort();
            return;
        }
        pending->body += reply->readAll();
    });
    connect(reply, &QNetworkReply::sslErrors, this, [this, pending, reply](const QList<QSslError>& errors) {
        const QByteArray digest = reply->sslConfiguration().peerCertificate().digest(QCryptographicHash::Sha256);
        if (!credentials_.pinnedSha256.isEmpty() && digest == credentials_.pinnedSha256) {
            reply->ignoreSslErrors(errors);
            return;
        }
        pending->failure = Failure::Untrusted;
        pending->fingerprint = digest;
    });
    connect(reply, &QNetworkReply::finished, this, [this, pending, reply] { Finished(pending, reply); });
}

void DavTransport::Finished(const std::shared_ptr<Pending>& pending, QNetworkReply* reply)
{
    reply->deleteLater();
    active_.remove(reply);
    pending->reply = nullptr;
    if (pending->failure == Failure::None) {
        if (pending->body.size() + reply->bytesAvailable() > MaxAnswerBytes)
            pending->failure = Failure::TooLarge;
        else
            pending->body += reply->readAll();
    }
    DavResponse response;
    response.url = reply->url();
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.failure = pending->failure;
    response.fingerprint = pending->fingerprint;
    if (response.failure == Failure::None && reply->error() != QNetworkReply::NoError && response.status == 0) {
        // Only the transfer timeout cancels a request that Cancel did not.
        response.failure = reply->error() == QNetworkReply::OperationCanceledError
                || reply->error() == QNetworkReply::TimeoutError
            ? Failure::Timeout
            : Failure::Network;
        response.errorText = reply->errorString();
    }
    if (response.failure != Failure::None) {
        response.status = 0;
        if (response.errorText.isEmpty())
            response.errorText = reply->errorString();
        pending->done(response);
        return;
    }
    if (IsRedirect(response.status)) {
        const QUrl target = reply->url().resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        const bool downgrade = reply->url().scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https");
        if (++pending->redirects > MaxRedirects || !target.isValid() || downgrade
            || (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https"))) {
            response.failure = Failure::Redirects;
            response.status = 0;
            response.errorText = QStringLiteral("too many redirects, or one to an unsafe address");
            pending->done(response);
            return;
        }
        pending->request.url = target;
        if (response.status == 303) {
            pending->request.verb = "GET";
            pending->request.body.clear();
        }
        Start(pending);
        return;
    }
    response.body = std::move(pending->body);
    response.etag = reply->rawHeader("ETag");
    pending->done(response);
}

void DavTransport::Cancel()
{
    const auto active = active_; // each abort finishes its request, which leaves active_
    for (auto it = active.begin(); it != active.end(); ++it) {
        it.value()->failure = Failure::Cancelled;
        it.key()->abort();
    }
}

} // namespace booksync::net
