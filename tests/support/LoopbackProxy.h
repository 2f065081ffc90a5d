#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

// A proxy on 127.0.0.1 in front of a test server, to play the network's
// faults: it passes requests and answers through, but can drop the answer to
// the next request of a verb (the server did the work; the client never hears
// of it), or run something first when such a request comes (another client's
// write, the server going away). Plain HTTP/1.1, one request at a time per
// connection, as the sync sends them.
class LoopbackProxy : public QObject {
    Q_OBJECT
public:
    explicit LoopbackProxy(const QUrl& upstream);

    // The upstream address with the proxy's port.
    QUrl Address(const QUrl& upstreamUrl) const;

    // The next request whose verb it is: answered by the server, and the
    // answer dropped (the connection closed).
    void DropNextAnswer(const QByteArray& verb) { dropVerb_ = verb; }
    // Before the next request whose verb it is goes on, this runs.
    void BeforeNext(const QByteArray& verb, std::function<void()> action)
    {
        beforeVerb_ = verb;
        before_ = std::move(action);
    }
    int Dropped() const { return dropped_; }

private:
    void Accept();

    QTcpServer server_;
    QUrl upstream_;
    QByteArray dropVerb_;
    QByteArray beforeVerb_;
    std::function<void()> before_;
    int dropped_ = 0;
};
