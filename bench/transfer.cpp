// Export and import of 100,000 records, CSV and vCard, as the settings page
// runs them (a connection of their own, the whole file, one transaction; an
// import first indexes the book for duplicates and reads the whole file for
// its preview, then writes), beside the sqlcipher shell inserting the same
// rows in one transaction into the same kind of empty database. The same
// rows also come as Google Contacts writes them, to time the recognised
// header's path. The ratios of the imports to the shell are printed at the
// end; the goal is at most 2.

#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "store/engine/SqliteHandles.h"
#include "transfer/BookDatabase.h"
#include "transfer/Csv.h"
#include "transfer/ImportPreview.h"
#include "transfer/TransferJobs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sys/resource.h>
#include <string>

namespace {

using transfer::Format;

constexpr int RecordCount = 100000;

// Records as people keep them: Chinese names, numbers, addresses, remarks
// with commas, quotes and CR LF breaks.
transfer::Record MakeRecord(std::mt19937& random)
{
    static const char* const categories[] = {"网站帐号", "论坛帐号", "邮箱帐号", "QQ帐号", "银行帐号", "游戏帐号"};
    static const char* const names[] = {"张伟", "王芳", "李娜", "刘强", "陈静", "杨磊", "黄秀英", "欧阳明"};
    static const char* const remarks[] = {"", "常用", "密保问题：母亲的名字\r\n答案见笔记本",
                                          "他说\"别外借\", 记住了", "注册于2009年\r\n绑定手机已更换\r\n请勿外借"};
    auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    const std::string qq = digits(5 + static_cast<int>(random() % 6));
    transfer::Record record;
    record[transfer::col::Category] = categories[random() % 6];
    record[transfer::col::Name] = std::string(names[random() % 8]) + digits(2);
    record[transfer::col::QQ] = qq;
    record[transfer::col::Mobile] = "13" + digits(9);
    record[transfer::col::Phone] = "010-" + digits(8);
    record[transfer::col::Fax] = random() % 3 ? std::string() : "010-" + digits(8);
    record[transfer::col::Email] = qq + "@qq.com";
    record[transfer::col::HomePage] = random() % 2 ? std::string() : "http://www.example" + digits(3) + ".com/" + qq;
    record[transfer::col::Remarks] = remarks[random() % 5];
    return record;
}

// The newer Google Contacts layout, with columns that land in the fields the
// record came from: its name whole in "First Name", its category as a label.
constexpr std::string_view GoogleHeader[] = {
    "First Name", "Last Name", "Organization Name", "Notes", "Labels", "E-mail 1 - Label", "E-mail 1 - Value",
    "Phone 1 - Label", "Phone 1 - Value", "Phone 2 - Label", "Phone 2 - Value", "Phone 3 - Label", "Phone 3 - Value",
    "Website 1 - Label", "Website 1 - Value", "Custom Field 1 - Label", "Custom Field 1 - Value"};

void AppendGoogleRow(std::string& out, const transfer::Record& r)
{
    using namespace transfer;
    const std::string labels = "* myContacts ::: " + r[col::Category];
    const std::string_view row[] = {r[col::Name], "", "", r[col::Remarks], labels, "* Home", r[col::Email], "Mobile", r[col::Mobile], "Work", r[col::Phone],
                                    "Work Fax", r[col::Fax], "", r[col::HomePage], "QQ", r[col::QQ]};
    AppendCsvRow(out, row);
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

// A book of RecordCount records, its exports, an empty database to copy, and
// the shell's script inserting the same rows.
class Shared {
public:
    Shared()
    {
        for (const char* name : {"empty", "book"}) {
            QDir().mkpath(Path(name));
            store::CreateDeliveredDatabase(Path(name));
        }
        std::ofstream script(Path("insert.sql").toStdString(), std::ios::binary);
        script << "PRAGMA key='" << store::DatabasePassword.toStdString() << "';\nPRAGMA cipher_compatibility = 3;\nBEGIN;\n";
        std::string google;
        transfer::AppendCsvRow(google, GoogleHeader);
        {
            const store::SqliteDatabase db = transfer::OpenBook(store::ProgramConnectionString(Path("book/")));
            transfer::RecordAppender appender(db.get());
            std::mt19937 random(2010);
            for (int i = 0; i < RecordCount; ++i) {
                const transfer::Record record = MakeRecord(random);
                appender.Append(record);
                AppendGoogleRow(google, record);
                script << "Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values (";
                for (int column = transfer::col::Category; column < transfer::col::Count; ++column)
                    script << (column == transfer::col::Category ? "" : ",") << Quoted(record[column]);
                script << ");\n";
            }
            appender.Commit();
        }
        script << "COMMIT;\n";
        for (const Format format : {Format::Csv, Format::VCard})
            Export(format, ExportPath(format));
        std::ofstream(Path("google.csv").toStdString(), std::ios::binary) << google;
    }

    QString Path(const char* name) const { return folder_.path() + QLatin1Char('/') + QString::fromLatin1(name); }
    QString ExportPath(Format format) const { return Path(format == Format::Csv ? "book.csv" : "book.vcf"); }
    QString BookConnection() const { return store::ProgramConnectionString(Path("book/")); }

    int Export(Format format, const QString& path) const
    {
        const store::SqliteDatabase db = transfer::OpenBook(BookConnection());
        transfer::ExportJob job(db.get(), format, path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        while (job.Step(100)) {
        }
        job.Finish();
        return job.Written();
    }

    // A fresh empty database in its own folder; answers the folder.
    QString FreshDatabase(int run) const
    {
        const QString folder = Path("run") + QString::number(run) + QLatin1Char('/');
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QFile::copy(Path("empty/") + store::DatabaseFileName, folder + store::DatabaseFileName);
        return folder;
    }

private:
    QTemporaryDir folder_;
};

Shared& Book()
{
    static Shared shared;
    return shared;
}

// Mean seconds per run of each benchmark, for the ratios: wall-clock time,
// and processor time (this process's and its children's, so the shell's
// too), which other work on a shared machine disturbs far less.
struct Mean {
    double wall = 0;
    double cpu = 0;
};

std::map<std::string, Mean>& Means()
{
    static std::map<std::string, Mean> means;
    return means;
}

double CpuSeconds()
{
    double seconds = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& spent : {usage.ru_utime, usage.ru_stime})
            seconds += static_cast<double>(spent.tv_sec) + static_cast<double>(spent.tv_usec) / 1e6;
    }
    return seconds;
}

template <class Work>
void Timed(benchmark::State& state, const char* name, Work work)
{
    Mean total;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        work();
        total.cpu += CpuSeconds() - cpuStart;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total.wall += seconds;
    }
    const auto runs = static_cast<double>(state.iterations());
    Means()[name] = {total.wall / runs, total.cpu / runs};
    state.counters["records"] = RecordCount;
    state.counters["cpu_ms"] = 1000 * total.cpu / runs;
}

void BM_Export(benchmark::State& state, Format format)
{
    const QString path = Book().Path("out");
    Timed(state, format == Format::Csv ? "export csv" : "export vcard", [&] { Book().Export(format, path); });
    state.counters["file_bytes"] = static_cast<double>(QFile(path).size());
}

// An import as the settings page runs it, the preview accepted as shown.
void BM_Import(benchmark::State& state, Format format, const char* file, const char* name)
{
    int run = 0;
    Timed(state, name, [&] {
        const QString folder = Book().FreshDatabase(run++);
        QFile bytes(Book().Path(file));
        bytes.open(QIODevice::ReadOnly);
        const store::SqliteDatabase db = transfer::OpenBook(store::ProgramConnectionString(folder));
        transfer::ImportPreview preview(format, bytes.readAll().toStdString(), transfer::IndexBook(db.get()));
        const auto survey = preview.StartSurvey();
        while (survey->Step(100)) {
        }
        preview.Adopt(*survey);
        transfer::ImportJob job(db.get(), preview.ImportSource(), preview.LeaveOut());
        while (job.Step(100)) {
        }
        job.Finish();
        if (job.Imported() != RecordCount)
            std::abort();
    });
}

void BM_ShellInsert(benchmark::State& state)
{
    int run = 0;
    Timed(state, "sqlcipher shell", [&] {
        const QString folder = Book().FreshDatabase(run++);
        const std::string command = "sqlcipher '" + (folder + store::DatabaseFileName).toStdString() + "' < '"
            + Book().Path("insert.sql").toStdString() + "' > /dev/null";
        if (std::system(command.c_str()) != 0)
            std::abort();
    });
}

} // namespace

BENCHMARK_CAPTURE(BM_Export, csv, Format::Csv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, vcard, Format::VCard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Import, csv, Format::Csv, "book.csv", "import csv")
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Import, vcard, Format::VCard, "book.vcf", "import vcard")
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Import, google_csv, Format::Csv, "google.csv", "import google csv")
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShellInsert)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    const auto& means = Means();
    if (const auto shell = means.find("sqlcipher shell"); shell != means.end()) {
        for (const char* import : {"import csv", "import vcard", "import google csv"}) {
            if (const auto found = means.find(import); found != means.end())
                std::printf("%s / sqlcipher shell insert: %.2f wall-clock, %.2f processor time (goal <= 2)\n",
                            import, found->second.wall / shell->second.wall, found->second.cpu / shell->second.cpu);
        }
    }
    benchmark::Shutdown();
    return 0;
}
