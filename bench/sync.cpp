// A first sync of a large address book, then one with nothing changed and one
// after a single edit: wall time, the program's processor time, requests, and
// the longest the event loop was held (a 5 ms heartbeat's longest gap), as a
// Markdown table. bench/sync.sh starts the server, fills the book and runs it
// beside another client.
//
//   bench_sync BOOK-URL USER PASSWORD
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "sync/SyncRun.h"
#include "sync/SyncStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// This thread's processor time, in milliseconds.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Measured {
    booksync::SyncReport report;
    double seconds = 0;
    double processor = 0;
    qint64 longestHoldMs = 0;        // wall: includes time the machine gave to others
    double longestWorkMs = 0;        // the thread's own processor time in one hold
};

Measured Sync(booksync::net::DavTransport& transport, const QString& connection, const QUrl& book)
{
    Measured measured;
    QElapsedTimer wall;
    QElapsedTimer beat;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    double workAtBeat = ThreadMilliseconds();
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        measured.longestHoldMs = std::max(measured.longestHoldMs, beat.restart());
        const double now = ThreadMilliseconds();
        measured.longestWorkMs = std::max(measured.longestWorkMs, now - workAtBeat);
        workAtBeat = now;
    });
    booksync::SyncRun run(transport, connection, book, {true});
    QEventLoop loop;
    const double processorBefore = ProcessorSeconds();
    wall.start();
    beat.start();
    heartbeat.start();
    run.Start([&](const booksync::SyncReport& report) {
        measured.report = report;
        loop.quit();
    });
    loop.exec();
    measured.seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    measured.processor = ProcessorSeconds() - processorBefore;
    return measured;
}

void Row(const char* what, const Measured& m)
{
    std::printf("| %s | %.2f s | %.2f s | %d | %.0f ms (%lld ms) | %s |\n", what, m.seconds, m.processor,
                m.report.requests, m.longestWorkMs, static_cast<long long>(m.longestHoldMs),
                m.report.message.toUtf8().constData());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_sync BOOK-URL USER PASSWORD\n");
        return 2;
    }
    const QUrl book(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir folder;
    store::CreateDeliveredDatabase(folder.path());
    const QString connection = store::ProgramConnectionString(folder.path() + QLatin1Char('/'));
    // The program's own connection holds the book's derived key all the while.
    const std::shared_ptr<const void> key = booksync::SyncStore::HoldKey(connection);
    booksync::net::DavTransport transport;
    transport.SetCredentials({book, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), {}});

    std::printf("| Quillory | wall | processor | requests | longest hold of the loop: processor (wall) | result |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    const Measured first = Sync(transport, connection, book);
    Row("first download", first);
    Row("nothing changed", Sync(transport, connection, book));
    {
        booksync::SyncStore store(connection);
        std::optional<transfer::Record> record = store.ReadRecord(1);
        if (record) {
            (*record)[transfer::col::Mobile] = "13999999999";
            store.UpdateRecord(1, *record);
        }
    }
    Row("one edit", Sync(transport, connection, book));
    return first.report.outcome == booksync::Outcome::Done ? 0 : 1;
}
