// Listing, searching and filtering 100,000 records: the engine's own floor
// (prepare, step, read every column as text through the C API) beside what
// the program does (open the statement into the static result, apply the grid's
// column layout, and have the grid's model give its first screen of cells), on
// one open connection to a keyed "_.udb".

#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DataSource.h"
#include "store/DeliveredDatabase.h"
#include "store/engine/FileFormat.h"
#include "store/engine/SqliteHandles.h"
#include "ui/GridLayout.h"
#include "ui/RecordGridModel.h"

#include "support/RecordMaker.h"

#include <QApplication>
#include <QTableView>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <sys/prctl.h>

namespace {

constexpr int RecordCount = 100000;

const QString ListStatement = QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data");
const QString SearchStatement =
    QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 姓名 like '%张%' ");
const QString FilterStatement =
    QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 分类 like '%QQ%' ");

// The database is made once per run in a temporary program folder.
class Fixture {
public:
    Fixture()
    {
        store::CreateDeliveredDatabase(folder_.path());
        const store::SqliteDatabase db = store::OpenKeyedDatabase(
            folder_.path() + "/" + store::DatabaseFileName, store::DatabasePassword, store::OpenMode::ExistingFile);
        store::Execute(db.get(), "BEGIN");
        const store::SqliteStatement insert = store::PrepareSingleStatement(
            db.get(), "Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values (?,?,?,?,?,?,?,?,?)");
        bench::RecordMaker maker;
        for (int record = 0; record < RecordCount; ++record) {
            const auto values = maker.Next();
            for (int column = 0; column < 9; ++column) {
                const std::string& value = values[static_cast<std::size_t>(column)];
                sqlite3_bind_text(insert.get(), column + 1, value.data(), static_cast<int>(value.size()),
                                  SQLITE_TRANSIENT);
            }
            store::RunToCompletion(db.get(), insert.get());
            sqlite3_reset(insert.get());
        }
        store::Execute(db.get(), "COMMIT");

        connection.ConnectionString = store::ProgramConnectionString(folder_.path() + "/");
        connection.Open();

        // The floor's own connection: default open flags and the engine's
        // default page cache, as a plain C program would have it.
        sqlite3* raw = nullptr;
        const QByteArray path = (folder_.path() + "/" + store::DatabaseFileName).toUtf8();
        sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        floorConnection.reset(raw);
        const QByteArray key = store::DatabasePassword.toUtf8();
        sqlite3_key(raw, key.constData(), static_cast<int>(key.size()));
        store::StateFileFormat(raw, "main");
    }

    TADOConnection connection;
    store::SqliteDatabase floorConnection;

private:
    QTemporaryDir folder_;
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

struct FloorResult {
    long long rows = 0;
    long long textBytes = 0;
};

FloorResult ReadThroughCApi(const QString& statement)
{
    sqlite3* db = Shared().floorConnection.get();
    const store::SqliteStatement prepared = store::PrepareSingleStatement(db, (statement + "\r\n").toUtf8());
    const int columns = sqlite3_column_count(prepared.get());
    FloorResult result;
    while (sqlite3_step(prepared.get()) == SQLITE_ROW) {
        for (int column = 0; column < columns; ++column) {
            const unsigned char* text = sqlite3_column_text(prepared.get(), column);
            benchmark::DoNotOptimize(text);
            result.textBytes += sqlite3_column_bytes(prepared.get(), column);
        }
        ++result.rows;
    }
    return result;
}

void Floor(benchmark::State& state, const QString& statement)
{
    FloorResult result;
    for (auto _ : state)
        result = ReadThroughCApi(statement);
    state.counters["rows"] = static_cast<double>(result.rows);
    state.counters["text_bytes"] = static_cast<double>(result.textBytes);
}

// The cells a 172-pixel grid shows at once, read through its model.
constexpr int FirstScreenRows = 10;

void QueryOpen(benchmark::State& state, const QString& statement)
{
    TADOQuery query;
    query.Connection = &Shared().connection;
    TDataSource source;
    source.SetDataSet(&query);
    RecordGridModel model(&source);
    QTableView grid;
    grid.setModel(&model);
    model.LinkGrid(&grid);
    for (auto _ : state) {
        query.Close();
        query.SQL.Clear();
        query.SQL.Add(statement);
        query.Open();
        ApplyGridColumnLayout(&grid);
        for (int row = 0; row < FirstScreenRows && row < model.rowCount(); ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column), Qt::DisplayRole));
    }
    state.counters["rows"] = query.RecordCount();
    state.counters["snapshot_bytes"] = static_cast<double>(query.MemoryUsed());
}

void BM_ListFloor(benchmark::State& state) { Floor(state, ListStatement); }
void BM_ListQuery(benchmark::State& state) { QueryOpen(state, ListStatement); }
void BM_SearchFloor(benchmark::State& state) { Floor(state, SearchStatement); }
void BM_SearchQuery(benchmark::State& state) { QueryOpen(state, SearchStatement); }
void BM_FilterFloor(benchmark::State& state) { Floor(state, FilterStatement); }
void BM_FilterQuery(benchmark::State& state) { QueryOpen(state, FilterStatement); }

// Resident memory in kB from /proc/self/status ("VmRSS:" or "VmHWM:").
long long StatusKilobytes(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Peak resident growth of one list open, against the list's text size.
void BM_ListPeakMemory(benchmark::State& state)
{
    const FloorResult floor = ReadThroughCApi(ListStatement);
    long long growthKb = 0;
    std::size_t snapshot = 0;
    for (auto _ : state) {
        TADOQuery query;
        query.Connection = &Shared().connection;
        {
            QFile reset("/proc/self/clear_refs"); // "5" resets the peak to the current size
            if (reset.open(QIODevice::WriteOnly))
                reset.write("5");
        }
        const long long before = StatusKilobytes("VmRSS:");
        query.SQL.Add(ListStatement);
        query.Open();
        growthKb = StatusKilobytes("VmHWM:") - before;
        snapshot = query.MemoryUsed();
    }
    state.counters["text_bytes"] = static_cast<double>(floor.textBytes);
    state.counters["snapshot_bytes"] = static_cast<double>(snapshot);
    state.counters["peak_rss_growth_bytes"] = static_cast<double>(growthKb * 1024);
    state.counters["growth_per_text"] = static_cast<double>(growthKb * 1024) / static_cast<double>(floor.textBytes);
}

} // namespace

BENCHMARK(BM_ListFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Shared();
    // Keying a file made the process undumpable, which hands its /proc files
    // to root; this benchmark holds nobody's secrets and must reset its own
    // peak-memory mark.
    prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
