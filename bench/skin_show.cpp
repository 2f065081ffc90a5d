// Showing the main window with and without the skin: the time from show()
// until the window is on screen, active (skinned, with the skin on) and
// painted, on the offscreen platform or on a real display
// (QT_QPA_PLATFORM=xcb). Skinning a window must not add more than 30 ms to this.
#include "forms/Unit1.h"
#include "platform/MessageBoxService.h"
#include "runtime/Application.h"
#include "skin/SkinManager.h"
#include "skin/Skins.h"
#include "store/DeliveredDatabase.h"
#include "support/SilentShell.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The program in a temporary folder, with its desktop services quiet.
class SilentMessageBoxes final : public platform::MessageBoxService {
public:
    platform::MessageResult show(const platform::MessageBoxRequest&) override { return platform::MessageResult::Ok; }
};

struct Program {
    QTemporaryDir folder;
    SilentMessageBoxes boxes;
    bench::SilentShell shell{folder.path()};
    platform::Service<platform::MessageBoxService>::Override boxesOverride{boxes};
    platform::Service<platform::ShellService>::Override shellOverride{shell};
    std::unique_ptr<TApplication> application;
    std::unique_ptr<TForm1> form;

    Program()
    {
        store::CreateDeliveredDatabase(folder.path() + QLatin1Char('/'));
        application = std::make_unique<TApplication>(folder.path() + QStringLiteral("/Kestrelle"));
        form = std::make_unique<TForm1>();
        application->SetMainForm(form.get());
    }
    ~Program()
    {
        form.reset();
        application.reset();
        TSkinManager::DestroyInstance();
    }
};

// On the display, active, and skinned when the skin is to be on. A real
// display maps and activates a window some time after show(), through its
// own event queue.
bool OnScreen(QWidget& window, bool skinned)
{
    return window.windowHandle() && window.windowHandle()->isExposed() && window.isActiveWindow()
        && (!skinned || TSkinManager::Instance()->SkinnedWindow(&window));
}

// Shows the window (showing skins it), serves the event loop until the
// display has it on screen and active, and paints it. Answers whether it got
// there. A display gives the focus to a window on the user's input; with
// no input at all, as here, it may keep the focus where it is, so the window
// is made the active one once the display shows it.
bool ShowAndPaint(QWidget& window, bool skinned)
{
    window.show();
    window.activateWindow();
    const QDeadlineTimer deadline(5000);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !deadline.hasExpired())
        QApplication::processEvents();
    if (!window.isActiveWindow())
        QApplication::setActiveWindow(&window);
    while (!OnScreen(window, skinned) && !deadline.hasExpired())
        QApplication::processEvents();
    window.repaint();
    return OnScreen(window, skinned);
}

// Hides the window and waits until the display has taken it away, so that the
// next showing activates it afresh.
void HideAgain(QWidget& window)
{
    window.hide();
    const QDeadlineTimer deadline(1000);
    while ((window.isActiveWindow() || (window.windowHandle() && window.windowHandle()->isExposed()))
           && !deadline.hasExpired())
        QApplication::processEvents();
    QApplication::processEvents();
}

// Showings that did not reach the screen as wanted. The loop never stops
// early: every repetition must run the same number of iterations, or the
// statistics over the repetitions cannot be made.
void CountMisses(benchmark::State& state, int misses, const char* name)
{
    state.counters[name] = misses;
    if (misses > 0)
        state.SetLabel("some showings did not reach the screen as wanted; see the counter");
}

void BM_ShowMainWindowUnskinned(benchmark::State& state)
{
    Program program;
    TSkinManager::Instance()->SetActive(false);
    int misses = 0;
    for (auto _ : state) {
        misses += ShowAndPaint(*program.form, false) ? 0 : 1;
        state.PauseTiming();
        HideAgain(*program.form);
        state.ResumeTiming();
    }
    CountMisses(state, misses, "not_shown");
}
BENCHMARK(BM_ShowMainWindowUnskinned)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowMainWindowSkinned(benchmark::State& state)
{
    Program program;
    TSkinManager& manager = *TSkinManager::Instance();
    manager.SetActive(true);
    int misses = 0;
    for (auto _ : state) {
        misses += ShowAndPaint(*program.form, true) ? 0 : 1; // showing skins it
        state.PauseTiming();
        HideAgain(*program.form);
        manager.UnskinWindow(program.form.get());  // the next showing skins it afresh
        state.ResumeTiming();
    }
    CountMisses(state, misses, "not_skinned");
}
BENCHMARK(BM_ShowMainWindowSkinned)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
