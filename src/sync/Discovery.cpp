#include "sync/Discovery.h"

#include "sync/DavXml.h"

namespace booksync {
namespace {

using net::DavRequest;
using net::DavResponse;
using net::Failure;

DavRequest Propfind(const QUrl& url, const QByteArray& depth, const QByteArray& body)
{
    return {"PROPFIND", url, body, "application/xml; charset=utf-8", depth, {}, false};
}

// The path as a collection: with its closing slash.
QUrl AsCollection(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

QString LastPart(const QUrl& url)
{
    const QStringList parts = url.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.toString() : parts.back();
}

} // namespace

Outcome OutcomeOf(const DavResponse& response)
{
    switch (response.failure) {
    case Failure::None: break;
    case Failure::Untrusted: return Outcome::Untrusted;
    case Failure::Network:
    case Failure::Timeout:
    case Failure::TooLarge:
    case Failure::Redirects:
    case Failure::Cancelled: return Outcome::Unreachable;
    }
    if (response.status == 401)
        return Outcome::Unauthorized;
    return Outcome::Refused;
}

QString DescribeFailure(const DavResponse& response)
{
    switch (response.failure) {
    case Failure::None: break;
    case Failure::Untrusted:
        return QStringLiteral("服务器的证书不受系统信任. 证书指纹: %1").arg(net::FingerprintText(response.fingerprint));
    case Failure::Network: return QStringLiteral("连接不上服务器: %1").arg(response.errorText);
    case Failure::Timeout: return QStringLiteral("服务器长时间没有回答.");
    case Failure::TooLarge: return QStringLiteral("服务器的回答太大, 已放弃.");
    case Failure::Redirects: return QStringLiteral("服务器转向太多次, 或转向了不安全的地址.");
    case Failure::Cancelled: return QStringLiteral("同步已取消.");
    }
    if (response.status == 401)
        return QStringLiteral("用户名或密码不对(服务器答401).");
    if (response.status == 403)
        return QStringLiteral("服务器拒绝了这个操作(403).");
    if (response.status >= 500)
        return QStringLiteral("服务器出错(%1).").arg(response.status);
    return QStringLiteral("服务器的回答不对(%1).").arg(response.status);
}

Discovery::Discovery(net::DavTransport& transport, const QUrl& address, QObject* parent)
    : QObject(parent), transport_(transport), address_(address)
{
}

void Discovery::Start(std::function<void(const DiscoveryResult&)> done)
{
    done_ = std::move(done);
    if (!address_.isValid() || (address_.scheme() != QLatin1String("http") && address_.scheme() != QLatin1String("https"))
        || address_.host().isEmpty()) {
        DiscoveryResult result;
        result.message = QStringLiteral("服务器地址不对: 应以 https:// 或 http:// 开头.");
        Finish(result);
        return;
    }
    Probe(address_);
}

void Discovery::Probe(const QUrl& url)
{
    transport_.Send(Propfind(url, "0", bodies::DiscoveryPropfind()), [this, url](const DavResponse& response) {
        if (response.status != 207) {
            TryWellKnown(response);
            return;
        }
        const Multistatus answer = ParseMultistatus(response.body, response.url);
        if (!answer.valid || answer.entries.empty()) {
            TryWellKnown(response);
            return;
        }
        const DavEntry& entry = answer.entries.front();
        if (entry.isAddressBook) {
            DiscoveryResult result;
            result.outcome = Outcome::Done;
            const QUrl book = AsCollection(response.url);
            result.books.push_back({book, entry.displayName.isEmpty() ? LastPart(book) : entry.displayName});
            Finish(result);
        } else if (!entry.homeSet.isEmpty()) {
            ListHome(UrlOfPath(response.url, entry.homeSet.front()));
        } else if (!entry.principal.isEmpty()) {
            AskPrincipal(UrlOfPath(response.url, entry.principal));
        } else {
            TryWellKnown(response);
        }
    });
}

void Discovery::TryWellKnown(const DavResponse& why)
{
    if (why.status == 401 || why.failure != Failure::None || triedWellKnown_) {
        Fail(why);
        return;
    }
    triedWellKnown_ = true;
    Probe(UrlOfPath(address_, QStringLiteral("/.well-known/carddav")));
}

void Discovery::AskPrincipal(const QUrl& principal)
{
    transport_.Send(Propfind(principal, "0", bodies::DiscoveryPropfind()), [this](const DavResponse& response) {
        const Multistatus answer = ParseMultistatus(response.body, response.url);
        if (response.status != 207 || !answer.valid || answer.entries.empty()
            || answer.entries.front().homeSet.isEmpty()) {
            Fail(response);
            return;
        }
        ListHome(UrlOfPath(response.url, answer.entries.front().homeSet.front()));
    });
}

void Discovery::ListHome(const QUrl& home)
{
    const QUrl collection = AsCollection(home);
    transport_.Send(Propfind(collection, "1", bodies::CollectionsPropfind()), [this, collection](const DavResponse& response) {
        const Multistatus answer = ParseMultistatus(response.body, response.url);
        if (response.status != 207 || !answer.valid) {
            Fail(response);
            return;
        }
        DiscoveryResult result;
        result.outcome = Outcome::Done;
        for (const DavEntry& entry : answer.entries) {
            if (!entry.isAddressBook)
                continue;
            const QUrl book = AsCollection(UrlOfPath(response.url, entry.href));
            result.books.push_back({book, entry.displayName.isEmpty() ? LastPart(book) : entry.displayName});
        }
        if (result.books.empty())
            MakeBook(collection);
        else
            Finish(result);
    });
}

void Discovery::MakeBook(const QUrl& home)
{
    const QUrl book = UrlOfPath(home, home.path(QUrl::FullyDecoded) + QStringLiteral("quillory/"));
    transport_.Send({"MKCOL", book, bodies::MakeAddressBook(QStringLiteral("Quillory")), "application/xml; charset=utf-8",
                     {}, {}, false},
                    [this, book](const DavResponse& response) {
                        if (!response.Ok()) {
                            Fail(response);
                            return;
                        }
                        DiscoveryResult result;
                        result.outcome = Outcome::Done;
                        result.books.push_back({book, QStringLiteral("Quillory")});
                        Finish(result);
                    });
}

void Discovery::Fail(const DavResponse& response)
{
    DiscoveryResult result;
    result.outcome = OutcomeOf(response);
    result.fingerprint = response.fingerprint;
    result.message = result.outcome == Outcome::Refused && response.status >= 200 && response.status < 300
        ? QStringLiteral("这个地址上没有找到通讯录服务(CardDAV).")
        : DescribeFailure(response);
    if (result.outcome == Outcome::Refused && response.status == 404)
        result.message = QStringLiteral("这个地址上没有找到通讯录服务(CardDAV).");
    Finish(result);
}

void Discovery::Finish(DiscoveryResult result)
{
    auto done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(result);
}

} // namespace booksync
