// The real window, timed from outside: starts the release program on the X
// display named by DISPLAY, logs in, and times from a click (or a keystroke)
// to the last repaint of the record grid for "刷", a search, a filter
// keystroke and "添加" + OK, at each record count, each beside a plain C loop
// over the same statement on the same file in the same run. bench/run.sh
// prepares the display and runs it.
//
//   bench_window --program build/bin/Kestrelle --mkudb build/bin/mkudb
//                [--records 0,10000,100000] [--repetitions 5] [--work DIR]

#include "Anchor.h"
#include "ProgramRun.h"
#include "XSession.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using bench::Clock;
using bench::Rect;

const std::string DatabaseKey = "Rz4nKq8wTe2m";
const std::string LoginPassword = "Quillory2010";
const std::string Columns = "编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注";
// The statements exactly as the program sends them (each line ends in CR LF).
const std::string ListStatement = "Select " + Columns + " from data\r\n";
const std::string SearchKeyword = "88";
const std::string SearchStatement =
    "Select " + Columns + "  from data where `QQ` like '%" + SearchKeyword + "%' \r\n";
const std::string FilterKey = "q";
const std::string FilterStatement = "Select  " + Columns + "  from data where 分类 like '%" + FilterKey + "%' \r\n";
const std::string InsertStatement = "Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values "
                                    "('Bench','Bench','','','','','','','')\r\n";

// No repaint of the grid for this long: the last one was the last. Closing a
// message box repaints the grid under it at once, well before a slow re-list.
constexpr auto Quiet = 1000ms;
constexpr auto Patience = 60'000ms;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The lowest and highest ratio of one repetition's two times: the medians
// alone hide how far single repetitions stray.
struct Range {
    double lowest, highest;
};
Range RatioRange(const std::vector<double>& times, const std::vector<double>& anchors)
{
    Range range{std::numeric_limits<double>::max(), 0};
    for (std::size_t i = 0; i < times.size() && i < anchors.size(); ++i) {
        range.lowest = std::min(range.lowest, times[i] / anchors[i]);
        range.highest = std::max(range.highest, times[i] / anchors[i]);
    }
    return range;
}

// The main window's controls, in its client area (716 x 565), which a skinned
// window frames with its caption above and equal borders on the other sides.
struct Point {
    int x, y;
};
constexpr Point SearchField{35, 108};
constexpr Point SearchKeywordBox{190, 110};
constexpr Point SearchButton{328, 109};
constexpr Point CategoryFilterBox{495, 110};
constexpr Point RefreshButton{688, 108};
constexpr Point EditorCategory{115, 319};
constexpr Point EditorName{125, 343};
constexpr Point AddButton{663, 333};
constexpr Rect GridInClient{4, 126, 704, 172};

class MainWindow {
public:
    MainWindow(bench::XSession& x, Window window) : x_(x), window_(window)
    {
        const Rect frame = x.ScreenRect(window);
        border_ = (frame.width - 716) / 2;
        caption_ = frame.height - 565 - border_;
        x_.WatchDamage(window);
    }

    Window Id() const { return window_; }
    Rect Grid() const { return {GridInClient.x + border_, GridInClient.y + caption_, GridInClient.width, GridInClient.height}; }
    void Click(Point at)
    {
        const Rect frame = x_.ScreenRect(window_);
        x_.Click(frame.x + border_ + at.x, frame.y + caption_ + at.y);
    }
    // A click that prepares the next measurement: the program is given time
    // to take the focus where it was clicked (also after a message box closed).
    void ClickAndWait(Point at)
    {
        std::this_thread::sleep_for(200ms);
        Click(at);
        std::this_thread::sleep_for(150ms);
    }
    // Clicks into a text box and empties it.
    void ClearBox(Point at)
    {
        ClickAndWait(at);
        x_.Key("a", true);
        x_.Key("BackSpace");
    }
    void Settle() { x_.WaitQuiet(Grid(), Quiet, Patience); }

private:
    bench::XSession& x_;
    Window window_;
    int border_ = 0;
    int caption_ = 0;
};

// Time from `start` to the grid's last repaint. A message box on the way is
// answered with OK at once; the time it stood on the screen is not counted.
// `repainted` runs at each repaint of the grid.
double TimeToLastRepaint(bench::XSession& x, MainWindow& main, Clock::time_point start, bool& boxShown,
                         const std::function<void()>& repainted)
{
    Clock::duration boxTime{};
    std::optional<Clock::time_point> last;
    const auto giveUp = start + Patience;
    for (;;) {
        Clock::time_point at;
        switch (x.Next(main.Grid(), last ? *last + Quiet : giveUp, at)) {
        case bench::XSession::Happening::Repaint:
            last = at;
            repainted();
            break;
        case bench::XSession::Happening::NewWindow:
            if (auto box = x.FindWindow("Quillory", main.Id())) {
                x.Key("Return");
                if (!x.WaitGone(*box, 10'000ms))
                    throw std::runtime_error("the message box did not close");
                boxTime += Clock::now() - at;
                boxShown = true;
            }
            break;
        case bench::XSession::Happening::Timeout:
            if (!last)
                throw std::runtime_error("the grid was not repainted");
            return Milliseconds(*last - start - boxTime);
        }
    }
}

struct Sample {
    std::vector<double> window, windowCpu, anchor, anchorCpu;
    long long rows = 0;
};

struct CountResult {
    int records = 0;
    long long textBytes = 0;
    long long residentBytes = 0;
    double loginCpu = 0; // the program's processor time from the password's Return to the settled window
    std::map<std::string, Sample> actions;
};

// One timed action: what readies it (untimed), what starts it, whether a
// message box must come on the way, and the engine's share of it as the C
// loop runs it.
struct Action {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> start;
    bool expectsBox;
    std::function<bench::LoopResult(bench::Anchor&)> anchor;
};

bench::LoopResult Plus(bench::LoopResult a, const bench::LoopResult& b)
{
    a.milliseconds += b.milliseconds;
    a.cpuMilliseconds += b.cpuMilliseconds;
    a.rows = b.rows;
    return a;
}

CountResult MeasureWith(bench::ProgramRun& run, int records, int repetitions);

CountResult MeasureAt(const std::string& program, const std::string& mkudb, const std::string& work, int records,
                      int repetitions)
{
    bench::ProgramRun run(program, mkudb, work + "/" + std::to_string(records), records, DatabaseKey);
    try {
        return MeasureWith(run, records, repetitions);
    } catch (const std::exception&) {
        // What the screen showed when it went wrong, for whoever reads the error.
        [[maybe_unused]] const int saved = std::system(("import -window root " + work + "/failure.png").c_str());
        throw;
    }
}

CountResult MeasureWith(bench::ProgramRun& run, int records, int repetitions)
{
    CountResult result;
    result.records = records;
    bench::XSession x;
    run.Start();

    const auto login = x.WaitWindow("管理登录", Patience);
    if (!login)
        throw std::runtime_error("no login window");
    std::this_thread::sleep_for(300ms);
    x.Type(LoginPassword);
    const double cpuBeforeLogin = run.CpuMilliseconds();
    x.Key("Return");
    const auto mainWindow = x.WaitWindow("Quillory", Patience);
    if (!mainWindow)
        throw std::runtime_error("the main window did not appear");
    // The window manager may still place the window: its place must hold.
    for (Rect before{}; before.x != x.ScreenRect(*mainWindow).x || before.y != x.ScreenRect(*mainWindow).y;) {
        before = x.ScreenRect(*mainWindow);
        std::this_thread::sleep_for(1000ms);
    }
    MainWindow main(x, *mainWindow);
    main.Settle();
    result.loginCpu = run.CpuMilliseconds() - cpuBeforeLogin;
    result.residentBytes = run.ResidentBytes();

    bench::Anchor anchor(run.DatabasePath(), DatabaseKey);
    result.textBytes = anchor.Loop(ListStatement).textBytes;
    // The C loop's inserts go into a copy of the file: a write by another
    // connection would make the program's engine drop its page cache, which
    // never happens while the program is the file's only user.
    const std::string scratchPath = run.DatabasePath() + ".anchor";
    std::filesystem::copy_file(run.DatabasePath(), scratchPath, std::filesystem::copy_options::overwrite_existing);
    bench::Anchor scratch(scratchPath, DatabaseKey);

    main.ClearBox(SearchField);
    x.Type("QQ");
    const auto loop = [](const std::string& statement) {
        return [statement](bench::Anchor& a) { return a.Loop(statement); };
    };
    const Action actions[] = {
        {"刷", [] {}, [&] { main.Click(RefreshButton); }, false, loop(ListStatement)},
        {"search",
         [&] {
             main.ClearBox(SearchKeywordBox);
             x.Type(SearchKeyword);
         },
         [&] { main.Click(SearchButton); }, false, loop(SearchStatement)},
        {"filter keystroke", [&] { main.ClearBox(CategoryFilterBox); }, [&] { x.Key(FilterKey.c_str()); }, false,
         loop(FilterStatement)},
        {"添加 + OK",
         [&] {
             main.ClickAndWait(EditorCategory);
             x.Type("Bench");
             main.ClickAndWait(EditorName);
             x.Type("Bench");
         },
         [&] { main.Click(AddButton); }, true,
         // The engine's part of an add: the insert and the re-list.
         [&](bench::Anchor& a) { return Plus(scratch.Execute(InsertStatement), a.Loop(ListStatement)); }},
    };
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        for (const Action& action : actions) {
            Sample& sample = result.actions[action.name];
            action.prepare();
            main.Settle();
            x.DiscardDamage();
            const double cpuBefore = run.CpuMilliseconds();
            double cpuAtRepaint = cpuBefore;
            const auto start = Clock::now();
            action.start();
            bool boxShown = false;
            sample.window.push_back(TimeToLastRepaint(x, main, start, boxShown,
                                                      [&] { cpuAtRepaint = run.CpuMilliseconds(); }));
            // The program's processor time up to its last repaint of the grid.
            sample.windowCpu.push_back(cpuAtRepaint - cpuBefore);
            if (action.expectsBox && !boxShown)
                throw std::runtime_error(std::string(action.name) + " showed no message box");
            const bench::LoopResult engine = action.anchor(anchor);
            sample.anchor.push_back(engine.milliseconds);
            sample.anchorCpu.push_back(engine.cpuMilliseconds);
            sample.rows = engine.rows;
        }
    }
    return result;
}

std::vector<int> ParseCounts(const std::string& text)
{
    std::vector<int> counts;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ','))
        counts.push_back(std::stoi(item));
    return counts;
}

void Print(const std::vector<CountResult>& results)
{
    std::printf("| records | action | rows | window (ms) | C loop (ms) | window / C loop | lowest–highest "
                "| program CPU (ms) | C loop CPU (ms) | CPU ratio | lowest–highest |\n");
    std::printf("|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const CountResult& result : results) {
        for (const char* action : {"刷", "search", "filter keystroke", "添加 + OK"}) {
            const Sample& sample = result.actions.at(action);
            const double window = Median(sample.window), anchor = Median(sample.anchor);
            const double windowCpu = Median(sample.windowCpu), anchorCpu = Median(sample.anchorCpu);
            const Range real = RatioRange(sample.window, sample.anchor);
            const Range cpu = RatioRange(sample.windowCpu, sample.anchorCpu);
            std::printf("| %d | %s | %lld | %.1f | %.1f | %.2f | %.2f–%.2f | %.1f | %.1f | %.2f | %.2f–%.2f |\n",
                        result.records, action, sample.rows, window, anchor, window / anchor, real.lowest,
                        real.highest, windowCpu, anchorCpu, windowCpu / anchorCpu, cpu.lowest, cpu.highest);
        }
    }
    std::printf("\n| records | list text (MB) | resident after login (MB) | growth over 0 records (MB) | growth / text "
                "| login, program CPU (ms) |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    const CountResult* empty = nullptr;
    for (const CountResult& result : results)
        if (result.records == 0)
            empty = &result;
    for (const CountResult& result : results) {
        const double text = result.textBytes / 1e6, resident = result.residentBytes / 1e6;
        if (empty && result.records > 0) {
            const double growth = (result.residentBytes - empty->residentBytes) / 1e6;
            std::printf("| %d | %.1f | %.1f | %.1f | %.2f | %.1f |\n", result.records, text, resident, growth,
                        growth / text, result.loginCpu);
        } else {
            std::printf("| %d | %.1f | %.1f | | | %.1f |\n", result.records, text, resident, result.loginCpu);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string program, mkudb, work = "/tmp/quillory-bench-window", counts = "0,10000,100000";
    int repetitions = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i], value = argv[i + 1];
        if (option == "--program")
            program = value;
        else if (option == "--mkudb")
            mkudb = value;
        else if (option == "--records")
            counts = value;
        else if (option == "--repetitions")
            repetitions = std::stoi(value);
        else if (option == "--work")
            work = value;
    }
    if (program.empty() || mkudb.empty()) {
        std::fprintf(stderr, "usage: %s --program KESTRELLE --mkudb MKUDB [--records 0,10000,100000] "
                             "[--repetitions 5] [--work DIR]\n", argv[0]);
        return 2;
    }
    std::setlocale(LC_ALL, "C.UTF-8"); // window titles arrive as UTF-8
    try {
        std::vector<CountResult> results;
        for (int records : ParseCounts(counts)) {
            std::fprintf(stderr, "bench_window: %d records\n", records);
            results.push_back(MeasureAt(program, mkudb, work, records, repetitions));
        }
        Print(results);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_window: %s\n", error.what());
        return 1;
    }
    return 0;
}
