// Syncs against real servers (Radicale and Xandikos on 127.0.0.1): first
// syncs, two clients, a card from a phone, the network's faults, a refused
// token and the mass-delete guard. After each story the book and the
// server hold the same records, with nothing left to send.
#include "SyncFixture.h"

#include "support/LoopbackProxy.h"
#include "sync/CardMap.h"
#include "sync/CardPatch.h"

#include <QFile>

#include <functional>

namespace {

namespace col = transfer::col;
using booksync::Outcome;
using booksync::SyncReport;
using transfer::Record;

Record Person(const char* name, const char* mobile = "", const char* email = "")
{
    return MakeRecord({"朋友", name, "", mobile, "", "", email, "", ""});
}

class SyncRunTest : public SyncFixture {
public: // the stories of the tables below use them too
    // A card as another client would put it on the server.
    void PutCard(const Record& record, const std::string& uid)
    {
        QUrl url = book;
        url.setPath(book.path() + QString::fromStdString(uid) + QStringLiteral(".vcf"));
        ASSERT_TRUE(server->Put(url, QByteArray::fromStdString(booksync::NewCard(record, uid))).Ok());
    }

    // Both sides say the same and nothing waits to be sent.
    void ExpectInStep(TemporaryBook& client)
    {
        EXPECT_EQ(LocalRecords(client), ServerRecords());
        EXPECT_EQ(Dirty(client), 0);
    }

    static void Edit(TemporaryBook& client, const std::function<void(booksync::SyncStore&, long long first)>& change)
    {
        booksync::SyncStore store(client.ConnectionString());
        const std::vector<Record> records = client.Book();
        change(store, records.empty() ? 0 : std::stoll(records.front()[col::Number]));
    }
    static void SetField(TemporaryBook& client, int column, const char* value)
    {
        Edit(client, [&](booksync::SyncStore& store, long long first) {
            Record record = *store.ReadRecord(first);
            record[column] = value;
            store.UpdateRecord(first, record);
        });
    }
};

TEST_P(SyncRunTest, FirstSyncJoinsBothSidesWithoutDuplicates)
{
    struct Row {
        const char* what;
        std::vector<Record> here;
        std::vector<Record> there;
        std::size_t expected;
    };
    const Row rows[] = {
        {"only here", {Person("张三", "13800000001"), Person("李四")}, {}, 2},
        {"only there", {}, {Person("王五", "13900000002"), Person("赵六")}, 2},
        {"both, partly the same people",
         {Person("张三", "13800000001"), Person("李四", "13800000002"), Person("孙七")},
         {Person("张三", "13800000001"), Person("李四", "13800000002", "li@example.cn"), Person("周八")}, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        book = server->NewBook(QString::fromUtf8(row.what).replace(QLatin1Char(' '), QLatin1Char('-')).replace(QLatin1Char(','), QLatin1Char('-')));
        TemporaryBook client;
        client.AddRecords(row.here);
        int uid = 0;
        for (const Record& record : row.there)
            PutCard(record, "there-" + std::to_string(++uid));
        const SyncReport first = Sync(client);
        EXPECT_EQ(first.outcome, Outcome::Done) << first.message.toStdString();
        EXPECT_EQ(client.Book().size(), row.expected);
        ExpectInStep(client);
        const SyncReport again = Sync(client);
        EXPECT_EQ(again.requests, 1) << "nothing changed: one request";
        EXPECT_EQ(again.message, QStringLiteral("同步完成, 没有变化."));
    }
}

TEST_P(SyncRunTest, TwoClientsMergeFieldsKeepConflictsAndEditsBeatDeletes)
{
    struct Row {
        const char* what;
        std::function<void(TemporaryBook& x, TemporaryBook& y)> story;
        std::function<void(SyncRunTest& test, TemporaryBook& x, TemporaryBook& y)> check;
    };
    const Row rows[] = {
        {"different fields merge",
         [](TemporaryBook& x, TemporaryBook& y) {
             SetField(x, col::Mobile, "13911112222");
             SetField(y, col::Email, "zhang@example.cn");
         },
         [](SyncRunTest&, TemporaryBook& x, TemporaryBook& y) {
             EXPECT_EQ(x.Book().front()[col::Mobile], "13911112222");
             EXPECT_EQ(x.Book().front()[col::Email], "zhang@example.cn");
             EXPECT_EQ(Sorted(x.Book()), Sorted(y.Book()));
         }},
        {"the same field: a conflict, the local value kept until the user picks",
         [](TemporaryBook& x, TemporaryBook& y) {
             SetField(x, col::Mobile, "13911112222");
             SetField(y, col::Mobile, "13933334444");
         },
         [](SyncRunTest& test, TemporaryBook& x, TemporaryBook& y) {
             booksync::SyncStore store(y.ConnectionString());
             const std::vector<booksync::Conflict> conflicts = store.Conflicts();
             ASSERT_EQ(conflicts.size(), 1u);
             EXPECT_EQ(conflicts.front().column, col::Mobile);
             EXPECT_EQ(conflicts.front().local, "13933334444");
             EXPECT_EQ(conflicts.front().server, "13911112222");
             EXPECT_EQ(y.Book().front()[col::Mobile], "13933334444");
             EXPECT_EQ(test.ServerRecords().front()[col::Mobile], "13911112222") << "the card waits too";
             store.ResolveConflict(conflicts.front().number, col::Mobile, false); // 本机
             const SyncReport resolved = test.Sync(y);
             EXPECT_EQ(resolved.outcome, Outcome::Done) << resolved.message.toStdString();
             EXPECT_EQ(test.Sync(x).outcome, Outcome::Done);
             EXPECT_EQ(x.Book().front()[col::Mobile], "13933334444");
             test.ExpectInStep(y);
         }},
        {"deleted here, edited there: it comes back edited",
         [](TemporaryBook& x, TemporaryBook& y) {
             Edit(x, [](booksync::SyncStore& store, long long first) { store.DeleteRecord(first); });
             SetField(y, col::Mobile, "13955556666");
         },
         [](SyncRunTest&, TemporaryBook& x, TemporaryBook&) {
             ASSERT_EQ(x.Book().size(), 1u);
             EXPECT_EQ(x.Book().front()[col::Mobile], "13955556666");
         }},
        {"edited here, deleted there: it goes up again",
         [](TemporaryBook& x, TemporaryBook& y) {
             SetField(x, col::Mobile, "13977778888");
             Edit(y, [](booksync::SyncStore& store, long long first) { store.DeleteRecord(first); });
         },
         [](SyncRunTest&, TemporaryBook& x, TemporaryBook& y) {
             ASSERT_EQ(y.Book().size(), 1u);
             EXPECT_EQ(y.Book().front()[col::Mobile], "13977778888");
             EXPECT_EQ(Sorted(x.Book()), Sorted(y.Book()));
         }},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        book = server->NewBook(QStringLiteral("two-") + QString::number(++n));
        TemporaryBook x;
        TemporaryBook y;
        x.AddRecords({Person("张三", "13800000001")});
        ASSERT_EQ(Sync(x).outcome, Outcome::Done);
        ASSERT_EQ(Sync(y).outcome, Outcome::Done);
        ASSERT_EQ(y.Book().size(), 1u);
        row.story(x, y);
        // y reaches the server first in the delete stories, x in the others.
        const bool yFirst = std::string(row.what).starts_with("deleted here");
        for (TemporaryBook* client : yFirst ? std::array{&y, &x, &y} : std::array{&x, &y, &x}) {
            const SyncReport report = Sync(*client);
            EXPECT_EQ(report.outcome, Outcome::Done) << report.message.toStdString();
        }
        row.check(*this, x, y);
    }
}

TEST_P(SyncRunTest, APhoneCardEditedInOneFieldChangesOnlyThatPropertyOnTheServer)
{
    QFile file(QStringLiteral(QUILLORY_SOURCE_DIR "/tests/sync/fixtures/iphone.vcf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QUrl url = book;
    url.setPath(book.path() + QStringLiteral("phone-made.vcf"));
    ASSERT_TRUE(server->Put(url, file.readAll()).Ok());
    TemporaryBook client;
    ASSERT_EQ(Sync(client).outcome, Outcome::Done);
    const QList<QByteArray> before = server->Get(url).body.split('\n');

    SetField(client, col::Mobile, "+86 138 0013 9999");
    const SyncReport edit = Sync(client);
    EXPECT_EQ(edit.outcome, Outcome::Done);
    EXPECT_LE(edit.requests, 4) << "one edit: at most four requests";
    const QList<QByteArray> after = server->Get(url).body.split('\n');
    std::vector<std::string> gone;
    std::vector<std::string> came;
    for (const QByteArray& line : before)
        if (!after.contains(line))
            gone.push_back(line.trimmed().toUpper().toStdString());
    for (const QByteArray& line : after)
        if (!before.contains(line))
            came.push_back(line.trimmed().toUpper().toStdString());
    // (Radicale writes parameter names in its own letter case.)
    EXPECT_EQ(gone, std::vector<std::string>{"ITEM1.TEL;TYPE=PREF:+86 138 0013 8000"});
    EXPECT_EQ(came, std::vector<std::string>{"ITEM1.TEL;TYPE=PREF:+86 138 0013 9999"});
    ExpectInStep(client);
}

TEST_P(SyncRunTest, LostAnswersDroppedConnectionsAndRacesEndInStep)
{
    struct Row {
        const char* what;
        QByteArray verb;
        bool drop;          // else: something happens before the request goes on
        std::function<void(SyncRunTest&, TemporaryBook&)> prepare; // after the first sync
        std::function<void(SyncRunTest&)> meanwhile;
        std::size_t records;
    };
    auto other = [](SyncRunTest& test) { // another client changes the card meanwhile
        const QString href = test.server->Hrefs(test.book).front();
        QUrl url = test.book;
        url.setPath(href);
        ASSERT_TRUE(test.server->ChangeCard(url, col::Email, "other@example.cn"));
    };
    const Row rows[] = {
        {"the answer to a new card lost", "PUT", true,
         [](SyncRunTest&, TemporaryBook& c) { c.AddRecords({Person("新人", "13700000000")}); }, nullptr, 2},
        {"the answer to an edit lost", "PUT", true, [](SyncRunTest&, TemporaryBook& c) { SetField(c, col::Mobile, "1"); },
         nullptr, 1},
        {"the answer to a delete lost", "DELETE", true,
         [](SyncRunTest&, TemporaryBook& c) { Edit(c, [](booksync::SyncStore& s, long long n) { s.DeleteRecord(n); }); },
         nullptr, 0},
        {"the answer to a listing lost", "REPORT", true, [](SyncRunTest&, TemporaryBook& c) { SetField(c, col::QQ, "10001"); },
         nullptr, 1},
        {"a 412 race: the card changed between the listing and the push", "PUT", false,
         [](SyncRunTest&, TemporaryBook& c) { SetField(c, col::Mobile, "13012345678"); }, other, 1},
        {"the server stopped in the middle", "PUT", false,
         [](SyncRunTest&, TemporaryBook& c) { c.AddRecords({Person("新人")}); },
         [](SyncRunTest& test) { test.server->Kill(); }, 2},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!server->Running())
            server->Start();
        book = server->NewBook(QStringLiteral("fault-") + QString::number(++n));
        TemporaryBook client;
        client.AddRecords({Person("张三", "13800000001")});
        ASSERT_EQ(Sync(client).outcome, Outcome::Done);
        row.prepare(*this, client);

        LoopbackProxy proxy(server->Root());
        if (row.drop)
            proxy.DropNextAnswer(row.verb);
        else
            proxy.BeforeNext(row.verb, [this, &row] { row.meanwhile(*this); });
        Sync(client, {}, proxy.Address(book));
        if (!server->Running())
            server->Start();
        const SyncReport after = Sync(client);
        EXPECT_EQ(after.outcome, Outcome::Done) << after.message.toStdString();
        EXPECT_EQ(client.Book().size(), row.records);
        ExpectInStep(client);
        if (std::string(row.what).starts_with("a 412")) {
            EXPECT_EQ(client.Book().front()[col::Email], "other@example.cn");
            EXPECT_EQ(client.Book().front()[col::Mobile], "13012345678");
        }
    }
}

TEST_P(SyncRunTest, ARefusedTokenFallsBackToTheWholeListing)
{
    TemporaryBook client;
    client.AddRecords({Person("张三"), Person("李四")});
    ASSERT_EQ(Sync(client).outcome, Outcome::Done);
    // Meanwhile a card goes on the server, another goes, and the token is one it never gave.
    PutCard(Person("王五"), "w5");
    const QString gone = server->Hrefs(book).front();
    QUrl url = book;
    url.setPath(gone);
    ASSERT_TRUE(server->Delete(url).Ok());
    booksync::SyncStore(client.ConnectionString()).WriteToken(QStringLiteral("http://radicale.org/ns/sync/0123456789abcdef"));

    const SyncReport report = Sync(client);
    EXPECT_EQ(report.outcome, Outcome::Done) << report.message.toStdString();
    EXPECT_EQ(client.Book().size(), 2u);
    ExpectInStep(client);
}

TEST_P(SyncRunTest, MassDeletionsWaitForTheUsersYes)
{
    struct Row {
        const char* what;
        std::function<void(SyncRunTest&, TemporaryBook&)> deleting;
        std::size_t left;
    };
    const Row rows[] = {
        {"清空数据 here", [](SyncRunTest&, TemporaryBook& c) { Edit(c, [](booksync::SyncStore& s, long long) { store::Execute(s.Db(), "delete from data"); }); }, 0},
        {"30 of 40 deleted there",
         [](SyncRunTest& test, TemporaryBook&) {
             const QStringList hrefs = test.server->Hrefs(test.book);
             for (int i = 0; i < 30; ++i) {
                 QUrl url = test.book;
                 url.setPath(hrefs[i]);
                 ASSERT_TRUE(test.server->Delete(url).Ok());
             }
         },
         10},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        book = server->NewBook(QStringLiteral("mass-") + QString::number(++n));
        TemporaryBook client;
        std::vector<Record> forty;
        for (int i = 0; i < 40; ++i)
            forty.push_back(Person(("人" + std::to_string(i)).c_str()));
        client.AddRecords(forty);
        ASSERT_EQ(Sync(client).outcome, Outcome::Done);
        row.deleting(*this, client);
        const std::size_t localBefore = client.Book().size();
        const std::size_t serverBefore = ServerRecords().size();

        const SyncReport asked = Sync(client);
        EXPECT_TRUE(asked.needsConfirmation);
        EXPECT_EQ(asked.pendingDeletions, 40 - static_cast<int>(row.left) - (row.left ? 0 : 0));
        EXPECT_EQ(client.Book().size(), localBefore) << "nothing deleted before the yes";
        EXPECT_EQ(ServerRecords().size(), serverBefore);

        const SyncReport agreed = Sync(client, {true});
        EXPECT_EQ(agreed.outcome, Outcome::Done) << agreed.message.toStdString();
        EXPECT_EQ(client.Book().size(), row.left);
        ExpectInStep(client);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncRunTest,
                         ::testing::Values(CardDavServer::Kind::Radicale, CardDavServer::Kind::Xandikos), KindName);

} // namespace
