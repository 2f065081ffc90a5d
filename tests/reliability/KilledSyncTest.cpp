// Kills the program with SIGKILL at random moments of a sync with a real
// server (Radicale on 127.0.0.1), while records change on both sides between
// the trials. A kill may fall anywhere: in a request, between a request and
// the transaction that records its answer, in a transaction. After the last
// trial one more sync must leave the book and the server with the same
// records, every edit of either side kept, nothing twice and nothing left
// to send.
//
// QUILLORY_FAULT_TRIALS sets the number of trials (8 by default).
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "support/Await.h"
#include "support/CardDavServer.h"
#include "support/TemporaryBook.h"
#include "sync/CardMap.h"
#include "sync/CardPatch.h"
#include "sync/SyncRun.h"
#include "transfer/BookDatabase.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

namespace col = transfer::col;
using transfer::Record;

std::vector<Record> Sorted(std::vector<Record> records)
{
    for (Record& record : records)
        record[col::Number].clear();
    std::sort(records.begin(), records.end());
    return records;
}

std::vector<Record> LocalRecords(const QString& connection)
{
    const store::SqliteDatabase db = transfer::OpenBook(connection);
    transfer::RecordCursor cursor(db.get());
    std::vector<Record> records;
    transfer::RecordView view;
    while (cursor.Next(view)) {
        Record record;
        for (int column = 0; column < col::Count; ++column)
            record[column] = view[column];
        records.push_back(record);
    }
    return records;
}

TEST(KilledSyncTest, AKillAnywhereInASyncLosesNoEditAndMakesNoTwin)
{
    bool ok = false;
    const int trials = qEnvironmentVariableIntValue("QUILLORY_FAULT_TRIALS", &ok);
    CardDavServer server(CardDavServer::Kind::Radicale);
    const QUrl book = server.NewBook(QStringLiteral("killed"));
    QTemporaryDir folder;
    const QString programFolder = folder.path() + QLatin1Char('/');
    store::CreateDeliveredDatabase(programFolder);
    const QString connection = store::ProgramConnectionString(programFolder);
    {
        const store::SqliteDatabase db = transfer::OpenBook(connection);
        transfer::RecordAppender appender(db.get());
        for (int i = 0; i < 60; ++i)
            appender.Append(MakeRecord({"朋友", "人" + std::to_string(i), "", "1380000" + std::to_string(1000 + i)}));
        appender.Commit();
    }
    std::mt19937 rng(static_cast<unsigned>(qEnvironmentVariableIntValue("QUILLORY_FAULT_SEED")));
    int killed = 0;
    std::string lastServerEdit; // once the server holds enough cards to edit one
    for (int trial = 0; trial < (ok ? trials : 8); ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        // An edit here and one on the server, on records of their own: both must survive.
        {
            const store::SqliteDatabase db = transfer::OpenBook(connection);
            store::Execute(db.get(), QStringLiteral("update data set QQ = '%1' where 编号 = %2").arg(trial).arg(1 + trial % 30).toUtf8());
        }
        const QStringList hrefs = server.Hrefs(book);
        // The server may hold only part of the book while earlier trials were killed.
        if (hrefs.size() > 40) {
            QUrl url = book;
            url.setPath(hrefs[40 + trial % (hrefs.size() - 40)]);
            const std::string email = "t" + std::to_string(trial) + "@example.cn";
            if (server.ChangeCard(url, col::Email, email))
                lastServerEdit = email;
        }
        QProcess driver;
        driver.start(QStringLiteral(QUILLORY_FAULT_DRIVER),
                     {folder.path(), QStringLiteral("sync"), server.Root().toString(), server.User(), server.Password()});
        ASSERT_TRUE(driver.waitForReadyRead(60000));
        const int delayMs = std::uniform_int_distribution<int>(0, 1500)(rng);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        if (driver.state() == QProcess::Running) {
            driver.kill();
            ++killed;
        }
        driver.waitForFinished(60000);
    }
    // The last word: one sync in this process, then one more that finds nothing to do.
    booksync::net::DavTransport transport;
    transport.SetCredentials(server.Credentials());
    auto sync = [&] {
        booksync::SyncRun run(transport, connection, book, {true});
        return Await<booksync::SyncReport>([&](auto done) { run.Start(done); });
    };
    EXPECT_EQ(sync().outcome, booksync::Outcome::Done);
    const booksync::SyncReport last = sync();
    EXPECT_EQ(last.message, QStringLiteral("同步完成, 没有变化."));
    EXPECT_GT(killed, 0) << "no trial was killed: the delays are too long for this machine";

    const std::vector<Record> local = Sorted(LocalRecords(connection));
    std::vector<Record> remote;
    for (const QString& href : server.Hrefs(book)) {
        QUrl url = book;
        url.setPath(href);
        remote.push_back(booksync::RecordOfCard(server.Get(url).body.toStdString()).value_or(Record()));
    }
    EXPECT_EQ(local, Sorted(remote));
    ASSERT_EQ(local.size(), 60u) << "no record twice, none lost";
    int trial = (ok ? trials : 8) - 1;
    bool localEdit = false;
    bool serverEdit = lastServerEdit.empty();
    for (const Record& record : local) {
        localEdit = localEdit || record[col::QQ] == std::to_string(trial);
        serverEdit = serverEdit || record[col::Email] == lastServerEdit;
    }
    EXPECT_TRUE(localEdit) << "the last local edit is on both sides";
    EXPECT_TRUE(serverEdit) << "the last server edit is on both sides";
}

} // namespace
