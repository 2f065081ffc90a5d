// Showing the main window with and without the skin: the time from show()
// until the window is on screen and painted. Skinning a window must not add
// more than 30 ms to this.
#include "app/Application.h"
#include "app/Unit1.h"
#include "platform/MessageBoxService.h"
#include "platform/ShellService.h"
#include "skin/SkinManager.h"
#include "skin/Skins.h"
#include "store/DeliveredDatabase.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The program in a temporary folder, with its desktop services quiet.
class SilentMessageBoxes final : public platform::MessageBoxService {
public:
    platform::MessageResult show(const platform::MessageBoxRequest&) override { return platform::MessageResult::Ok; }
};

class SilentShell final : public platform::ShellService {
public:
    explicit SilentShell(QString folder) : folder_(std::move(folder)) {}
    void open(const QString&) override {}
    QString desktopFolder() override { return folder_; }

private:
    QString folder_;
};

struct Program {
    QTemporaryDir folder;
    SilentMessageBoxes boxes;
    SilentShell shell{folder.path()};
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

void ShowAndPaint(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    // The offscreen platform does not always hand activation to a window that
    // asks; a desktop would, so it is given here.
    if (!window.isActiveWindow())
        QApplication::setActiveWindow(&window);
    window.repaint();
}

void HideAgain(QWidget& window)
{
    window.hide();
    QApplication::processEvents();
}

void BM_ShowMainWindowUnskinned(benchmark::State& state)
{
    Program program;
    TSkinManager::Instance()->SetActive(false);
    for (auto _ : state) {
        ShowAndPaint(*program.form);
        state.PauseTiming();
        HideAgain(*program.form);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowMainWindowUnskinned)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowMainWindowSkinned(benchmark::State& state)
{
    Program program;
    TSkinManager& manager = *TSkinManager::Instance();
    manager.SetActive(true);
    for (auto _ : state) {
        ShowAndPaint(*program.form);  // showing skins it
        state.PauseTiming();
        if (!manager.SkinnedWindow(program.form.get())) {
            state.SkipWithError("the main window was not skinned");
            break;
        }
        HideAgain(*program.form);
        manager.UnskinWindow(program.form.get());  // the next showing skins it afresh
        state.ResumeTiming();
    }
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
