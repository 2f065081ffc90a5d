#include "LoopbackProxy.h"

#include <QTcpSocket>

#include <memory>
#include <stdexcept>

namespace {

// One client connection and its own connection to the server.
struct Pair {
    QTcpSocket* client = nullptr;
    QTcpSocket* server = nullptr;
    QByteArray pending;      // client bytes not yet sent on
    bool dropAnswer = false; // the answer now under way is dropped
};

} // namespace

LoopbackProxy::LoopbackProxy(const QUrl& upstream) : upstream_(upstream)
{
    if (!server_.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("the proxy found no port");
    connect(&server_, &QTcpServer::newConnection, this, &LoopbackProxy::Accept);
}

QUrl LoopbackProxy::Address(const QUrl& upstreamUrl) const
{
    QUrl url = upstreamUrl;
    url.setPort(server_.serverPort());
    return url;
}

void LoopbackProxy::Accept()
{
    while (QTcpSocket* client = server_.nextPendingConnection()) {
        auto pair = std::make_shared<Pair>();
        pair->client = client;
        pair->server = new QTcpSocket(client);
        pair->server->connectToHost(upstream_.host(), static_cast<quint16>(upstream_.port()));
        auto forward = [this, pair] {
            if (pair->pending.isEmpty() || pair->server->state() != QAbstractSocket::ConnectedState)
                return;
            // A new request starts with its verb.
            const QByteArray verb = pair->pending.left(pair->pending.indexOf(' '));
            if (!beforeVerb_.isEmpty() && verb == beforeVerb_) {
                beforeVerb_.clear();
                auto action = std::move(before_);
                before_ = nullptr;
                action();
            }
            if (!dropVerb_.isEmpty() && verb == dropVerb_) {
                dropVerb_.clear();
                pair->dropAnswer = true;
            }
            pair->server->write(pair->pending);
            pair->pending.clear();
        };
        connect(client, &QTcpSocket::readyRead, this, [pair, forward] {
            pair->pending += pair->client->readAll();
            forward();
        });
        connect(pair->server, &QTcpSocket::connected, this, forward);
        connect(pair->server, &QTcpSocket::readyRead, this, [this, pair] {
            const QByteArray answer = pair->server->readAll();
            if (!pair->dropAnswer) {
                pair->client->write(answer);
                return;
            }
            // The server has done the work; the client hears nothing of it.
            ++dropped_;
            pair->dropAnswer = false;
            pair->client->abort();
        });
        connect(pair->server, &QTcpSocket::disconnected, client, [pair] { pair->client->disconnectFromHost(); });
        connect(pair->server, &QTcpSocket::errorOccurred, client, [pair] { pair->client->abort(); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }
}
