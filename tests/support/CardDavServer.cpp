#include "CardDavServer.h"

#include "Await.h"
#include "sync/CardMap.h"
#include "sync/CardPatch.h"
#include "sync/DavXml.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using booksync::net::DavRequest;
using booksync::net::DavResponse;

constexpr int StartTimeoutMs = 60000;

int FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free port on 127.0.0.1");
    return probe.serverPort();
}

} // namespace

CardDavServer::CardDavServer(Kind kind, Options options)
    : kind_(kind), options_(options), folder_(QStringLiteral("/dev/shm/quillory-dav.XXXXXX"))
{
    if (!folder_.isValid())
        throw std::runtime_error("no folder in /dev/shm");
    if (kind_ == Kind::Radicale) {
        QFile users(folder_.filePath(QStringLiteral("users")));
        if (!users.open(QIODevice::WriteOnly) || users.write("alice:secret\n") < 0)
            throw std::runtime_error("cannot write the users file");
    }
    if (options_.tls) {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), folder_.filePath(QStringLiteral("key.pem")),
                       QStringLiteral("-out"), folder_.filePath(QStringLiteral("cert.pem"))});
        if (!openssl.waitForFinished(StartTimeoutMs) || openssl.exitCode() != 0)
            throw std::runtime_error("openssl could not make a certificate");
        const QList<QSslCertificate> certificates =
            QSslCertificate::fromPath(folder_.filePath(QStringLiteral("cert.pem")));
        if (certificates.isEmpty())
            throw std::runtime_error("no certificate");
        certificateSha256_ = certificates.front().digest(QCryptographicHash::Sha256);
    }
    port_ = FreePort();
    Start();
}

CardDavServer::~CardDavServer() { Kill(); }

void CardDavServer::WriteRadicaleConfig()
{
    QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n").arg(port_);
    if (options_.tls)
        config += QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n")
                      .arg(folder_.filePath(QStringLiteral("cert.pem")), folder_.filePath(QStringLiteral("key.pem")));
    config += QStringLiteral("[auth]\ntype = htpasswd\nhtpasswd_filename = %1\nhtpasswd_encryption = plain\ndelay = 0\n"
                             "[storage]\nfilesystem_folder = %2\n")
                  .arg(folder_.filePath(QStringLiteral("users")), folder_.filePath(QStringLiteral("storage")));
    if (options_.maxSyncTokenAge > 0)
        config += QStringLiteral("max_sync_token_age = %1\n").arg(options_.maxSyncTokenAge);
    config += QStringLiteral("[logging]\nlevel = warning\n");
    QFile file(folder_.filePath(QStringLiteral("config")));
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0)
        throw std::runtime_error("cannot write the server's configuration");
}

void CardDavServer::Start()
{
    process_ = std::make_unique<QProcess>();
    // Started inside its own package folder, Radicale's types.py would shadow Python's.
    process_->setWorkingDirectory(folder_.path());
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setStandardOutputFile(folder_.filePath(QStringLiteral("log")), QIODevice::Append);
    if (kind_ == Kind::Radicale) {
        WriteRadicaleConfig();
        process_->start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config"),
                         folder_.filePath(QStringLiteral("config"))});
    } else {
        process_->start(QStringLiteral("xandikos"),
                        {QStringLiteral("-d"),
                         folder_.filePath(QStringLiteral("x")), QStringLiteral("--defaults"), QStringLiteral("-l"),
                         QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_)});
    }
    if (!process_->waitForStarted(StartTimeoutMs))
        throw std::runtime_error("the server did not start");
    WaitUntilListening();
}

void CardDavServer::WaitUntilListening()
{
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (process_->state() != QProcess::Running) {
            QFile log(folder_.filePath(QStringLiteral("log")));
            log.open(QIODevice::ReadOnly);
            throw std::runtime_error("the server ended: " + log.readAll().toStdString());
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
        if (probe.waitForConnected(1000))
            return;
        QThread::msleep(100);
    }
    throw std::runtime_error("the server did not listen in time");
}

bool CardDavServer::Running() const { return process_ && process_->state() == QProcess::Running; }

void CardDavServer::Kill()
{
    if (!process_)
        return;
    process_->kill();
    process_->waitForFinished(StartTimeoutMs);
    process_.reset();
}

QUrl CardDavServer::Root() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(options_.tls ? QStringLiteral("https") : QStringLiteral("http")).arg(port_));
}

QString CardDavServer::User() const { return kind_ == Kind::Radicale ? QStringLiteral("alice") : QString(); }
QString CardDavServer::Password() const { return kind_ == Kind::Radicale ? QStringLiteral("secret") : QString(); }

booksync::net::DavCredentials CardDavServer::Credentials() const
{
    return {Root(), User(), Password(), certificateSha256_};
}

DavResponse CardDavServer::Call(const DavRequest& request)
{
    transport_.SetCredentials(Credentials());
    return Await<DavResponse>([&](auto done) { transport_.Send(request, done); });
}

QUrl CardDavServer::NewBook(const QString& name)
{
    const QString home = kind_ == Kind::Radicale ? QStringLiteral("/alice/") : QStringLiteral("/user/contacts/");
    QUrl book = Root();
    book.setPath(home + name + QLatin1Char('/'));
    const DavResponse made = Call({"MKCOL", book, booksync::bodies::MakeAddressBook(name), "application/xml", {}, {}, false});
    if (!made.Ok())
        throw std::runtime_error("MKCOL answered " + std::to_string(made.status) + ": " + made.body.toStdString());
    return book;
}

DavResponse CardDavServer::Put(const QUrl& url, const QByteArray& card, const QByteArray& ifMatch)
{
    return Call({"PUT", url, card, "text/vcard; charset=utf-8", {}, ifMatch, false});
}

DavResponse CardDavServer::Get(const QUrl& url) { return Call({"GET", url, {}, {}, {}, {}, false}); }

DavResponse CardDavServer::Delete(const QUrl& url) { return Call({"DELETE", url, {}, {}, {}, {}, false}); }

bool CardDavServer::ChangeCard(const QUrl& url, int column, const std::string& value)
{
    const std::string card = Get(url).body.toStdString();
    const std::optional<transfer::Record> base = booksync::RecordOfCard(card);
    if (!base)
        return false;
    transfer::Record changed = *base;
    changed[column] = value;
    return Put(url, QByteArray::fromStdString(booksync::PatchCard(card, *base, changed))).Ok();
}

QStringList CardDavServer::Hrefs(const QUrl& book)
{
    const DavResponse listing = Call({"PROPFIND", book, booksync::bodies::EtagPropfind(), "application/xml", "1", {}, false});
    QStringList hrefs;
    for (const booksync::DavEntry& entry : booksync::ParseMultistatus(listing.body, book).entries)
        if (!entry.isCollection)
            hrefs << entry.href;
    hrefs.sort();
    return hrefs;
}
