// Discovery from whatever address the user types, on both servers, and
// what a wrong password and an untrusted certificate answer.
#include "SyncFixture.h"

#include "support/Await.h"

namespace {

using booksync::DiscoveryResult;
using booksync::Outcome;

DiscoveryResult Discover(const booksync::net::DavCredentials& credentials, const QUrl& address)
{
    booksync::net::DavTransport transport;
    transport.SetCredentials(credentials);
    booksync::Discovery discovery(transport, address);
    return Await<DiscoveryResult>([&](auto done) { discovery.Start(done); });
}

class DiscoveryTest : public SyncFixture {};

TEST_P(DiscoveryTest, FindsTheBookFromAnyAddressTheUserMayType)
{
    const QString home = book.path().section(QLatin1Char('/'), 0, -3) + QLatin1Char('/'); // the book's parent
    for (const QString& path : {QStringLiteral("/"), home, book.path(), QStringLiteral("/.well-known/carddav")}) {
        SCOPED_TRACE(path.toStdString());
        QUrl address = server->Root();
        address.setPath(path);
        const DiscoveryResult found = Discover(server->Credentials(), address);
        ASSERT_EQ(found.outcome, Outcome::Done) << found.message.toStdString();
        bool listed = false;
        for (const booksync::AddressBook& candidate : found.books)
            listed = listed || candidate.url == book;
        EXPECT_TRUE(listed);
    }
}

TEST_P(DiscoveryTest, AnAddressWithoutAServerOrAContactServiceIsTold)
{
    QUrl closed = server->Root();
    server->Kill();
    EXPECT_EQ(Discover(server->Credentials(), closed).outcome, Outcome::Unreachable);
    EXPECT_EQ(Discover(server->Credentials(), QUrl(QStringLiteral("ftp://127.0.0.1/"))).outcome, Outcome::Refused);
}

INSTANTIATE_TEST_SUITE_P(Servers, DiscoveryTest,
                         ::testing::Values(CardDavServer::Kind::Radicale, CardDavServer::Kind::Xandikos), KindName);

TEST(DiscoveryAuthTest, AWrongPasswordAndAnUntrustedCertificateStopDiscoveryAndSync)
{
    CardDavServer server(CardDavServer::Kind::Radicale, {0, true});
    booksync::net::DavCredentials wrong = server.Credentials();
    wrong.password = QStringLiteral("wrong");
    const DiscoveryResult refused = Discover(wrong, server.Root());
    EXPECT_EQ(refused.outcome, Outcome::Unauthorized);
    EXPECT_EQ(refused.message, QStringLiteral("用户名或密码不对(服务器答401)."));

    booksync::net::DavCredentials unpinned = server.Credentials();
    unpinned.pinnedSha256.clear();
    const DiscoveryResult untrusted = Discover(unpinned, server.Root());
    EXPECT_EQ(untrusted.outcome, Outcome::Untrusted);
    EXPECT_EQ(untrusted.fingerprint, server.CertificateSha256()) << "the page shows it for the user to trust";
    EXPECT_TRUE(untrusted.message.contains(booksync::net::FingerprintText(server.CertificateSha256())));

    booksync::net::DavCredentials otherPin = server.Credentials();
    otherPin.pinnedSha256 = QByteArray(32, 'x');
    EXPECT_EQ(Discover(otherPin, server.Root()).outcome, Outcome::Untrusted);

    const DiscoveryResult pinned = Discover(server.Credentials(), server.Root());
    EXPECT_EQ(pinned.outcome, Outcome::Done) << pinned.message.toStdString();
}

} // namespace
