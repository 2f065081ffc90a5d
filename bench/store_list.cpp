// Listing, searching and filtering 100,000 records: the engine's own floor
// (prepare, step, read every column as text through the C API) beside what
// the program does (open the statement into the static result, apply the grid's
// column layout, and have the grid's model give its first screen of cells), on
// one open connection to a keyed "_.udb".

#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "store/DataSource.h"
#include "store/SqliteHandles.h"
#include "ui/GridLayout.h"
#include "ui/RecordGridModel.h"

#include <QApplication>
#include <QTableView>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int RecordCount = 100000;

const QString ListStatement = QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data");
const QString SearchStatement =
    QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 姓名 like '%张%' ");
const QString FilterStatement =
    QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 分类 like '%QQ%' ");

// Plausible records: Chinese names, numbers, addresses and multi-line remarks.
class RecordMaker {
public:
    std::array<std::string, 9> Next()
    {
        static const char* const categories[] = {"网站帐号", "论坛帐号", "邮箱帐号", "QQ帐号", "银行帐号", "游戏帐号"};
        static const char* const surnames[] = {"张", "王", "李", "赵", "陈", "刘", "杨", "黄", "周", "吴", "欧阳"};
        static const char* const givenParts[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军",
                                                 "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀兰", "霞"};
        static const char* const remarks[] = {
            "密保问题：母亲的名字\r\n答案见笔记本",
            "注册于2009年\r\n绑定手机已更换\r\n请勿外借",
            "常用",
            "",
            "工作邮箱，每周五清理一次\r\n备用邮箱见下一条",
        };
        std::string name = Pick(surnames);
        name += Pick(givenParts);
        if (Coin())
            name += Pick(givenParts);
        const std::string qq = Digits(5 + static_cast<int>(random_() % 6));
        std::string homePage;
        if (Coin())
            homePage.append("http://www.example").append(Digits(3)).append(".com/user/").append(qq);
        return {
            Pick(categories), name, qq, Prefixed("13", 9), Telephone(), Coin() ? Telephone() : std::string(),
            qq + "@qq.com", homePage, Pick(remarks),
        };
    }

private:
    template <std::size_t N>
    const char* Pick(const char* const (&items)[N])
    {
        return items[random_() % N];
    }
    bool Coin() { return random_() % 2 == 0; }
    std::string Prefixed(const char* prefix, int digits)
    {
        std::string text = prefix;
        return text.append(Digits(digits));
    }
    std::string Telephone() { return Prefixed("0", 2).append("-").append(Digits(8)); }
    std::string Digits(int count)
    {
        std::string digits;
        for (int i = 0; i < count; ++i)
            digits += static_cast<char>('0' + random_() % 10);
        return digits;
    }

    std::mt19937 random_{2010};
};

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
        RecordMaker maker;
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
    }

    TADOConnection connection;

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
    sqlite3* db = Shared().connection.Handle();
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
