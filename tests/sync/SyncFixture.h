#pragma once

#include "support/Await.h"
#include "support/CardDavServer.h"
#include "support/TemporaryBook.h"
#include "sync/CardMap.h"
#include "sync/Discovery.h"
#include "sync/SyncRun.h"
#include "sync/SyncStore.h"

#include <QEventLoop>

#include <gtest/gtest.h>

#include <memory>

// One real server for the test (Radicale or Xandikos, by the test's
// parameter) and books that sync with an address book of their own on it.
class SyncFixture : public ::testing::TestWithParam<CardDavServer::Kind> {
public:
    void SetUp() override
    {
        server = std::make_unique<CardDavServer>(GetParam(), ServerOptions());
        book = server->NewBook(QStringLiteral("book"));
    }
    virtual CardDavServer::Options ServerOptions() const { return {}; }

    // Runs one sync of the client's book with address (the book unless given).
    booksync::SyncReport Sync(TemporaryBook& client, booksync::SyncOptions options = {}, QUrl address = {})
    {
        booksync::net::DavTransport transport;
        booksync::net::DavCredentials credentials = server->Credentials();
        if (!address.isEmpty())
            credentials.server = address;
        transport.SetCredentials(credentials);
        booksync::SyncRun run(transport, client.ConnectionString(), address.isEmpty() ? book : address, options);
        return Await<booksync::SyncReport>([&](auto done) { run.Start(done); });
    }

    // The server's cards as the import reads them, sorted by name and values.
    std::vector<transfer::Record> ServerRecords()
    {
        std::vector<transfer::Record> records;
        for (const QString& href : server->Hrefs(book)) {
            QUrl url = book;
            url.setPath(href);
            const auto read = booksync::RecordOfCard(server->Get(url).body.toStdString());
            EXPECT_TRUE(read.has_value()) << href.toStdString();
            if (read)
                records.push_back(*read);
        }
        return Sorted(std::move(records));
    }

    static std::vector<transfer::Record> Sorted(std::vector<transfer::Record> records)
    {
        for (transfer::Record& record : records)
            record[transfer::col::Number].clear();
        std::sort(records.begin(), records.end());
        return records;
    }
    static std::vector<transfer::Record> LocalRecords(const TemporaryBook& client) { return Sorted(client.Book()); }

    // The number of records still to send.
    static int Dirty(const TemporaryBook& client)
    {
        booksync::SyncStore store(client.ConnectionString());
        return static_cast<int>(store.DirtyItems().size());
    }

    std::unique_ptr<CardDavServer> server;
    QUrl book;
};

inline std::string KindName(const ::testing::TestParamInfo<CardDavServer::Kind>& info)
{
    return info.param == CardDavServer::Kind::Radicale ? "Radicale" : "Xandikos";
}
