// Hostile files through the settings page's "导入表格"/"导入名片" as the program
// runs them, with its skin on: the time from the click until the preview is
// on the display (or the refusal is told), and the program's peak memory,
// beside the targets:
//   a table of 100,000 columns (1.6 MB)     preview in <= 2 s, <= 300 MB
//   a card whose one line is folded over
//   300,000 lines                            refused in <= 1 s
//   a table whose one cell holds 200 MB     preview without harm
// Each file runs in a process of its own, so that each peak is its own.
// Run it on an X display (QT_QPA_PLATFORM=xcb, as bench/run.sh does) or offscreen.
//
//   bench_import_hostile [--case wide|fold|cell]

#include "forms/Unit1.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "runtime/Application.h"
#include "skin/SkinManager.h"
#include "skin/Skins.h"
#include "store/DeliveredDatabase.h"
#include "support/SilentShell.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

struct Case {
    const char* name;
    const char* file;
    const char* what;
    const char* target;
    bool refused;
};

const Case kCases[] = {
    {"wide", "wide.csv", "a table of 100,000 columns", "preview in <= 2 s, <= 300 MB", false},
    {"fold", "folded.vcf", "a card whose one line is folded over 300,000 lines", "refused in <= 1 s", true},
    {"cell", "cell.csv", "a table whose one cell holds 200 MB", "preview without harm", false},
};

void Write(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

void MakeFile(const Case& c, const QString& path)
{
    std::string bytes;
    if (std::string(c.name) == "wide") {
        for (int column = 1; column <= 100000; ++column)
            bytes += (column == 1 ? "Custom Field " : ",Custom Field ") + std::to_string(column);
        bytes += "\r\n";
        for (int column = 1; column <= 100000; ++column)
            bytes += column == 1 ? "x" : ",x";
        bytes += "\r\n";
    } else if (std::string(c.name) == "fold") {
        bytes = "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE";
        for (int line = 0; line < 300000; ++line)
            bytes += "\r\n x";
        bytes += "\r\nEND:VCARD\r\n";
    } else {
        bytes = "姓名,备注\r\n张三,\"";
        const std::string line = std::string(97, 'a') + "\r\n";
        bytes.reserve(200'000'100);
        while (bytes.size() < 200'000'000)
            bytes += line;
        bytes += "\"\r\n";
    }
    Write(path, bytes);
}

double MegabytesOf(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

class OneFile final : public platform::FileDialogService {
public:
    explicit OneFile(QString path) : path_(std::move(path)) {}
    QString openFile(QWidget*, const platform::FileDialogRequest&) override { return path_; }
    QString saveFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }

private:
    QString path_;
};

class TimedBoxes final : public platform::MessageBoxService {
public:
    explicit TimedBoxes(QElapsedTimer& clock) : clock_(clock) {}
    platform::MessageResult show(const platform::MessageBoxRequest& request) override
    {
        if (toldAt < 0)
            toldAt = clock_.elapsed();
        text = request.text;
        return platform::MessageResult::Ok;
    }
    qint64 toldAt = -1;
    QString text;

private:
    QElapsedTimer& clock_;
};

// One file: prints "ms peak rise told" on one line.
int RunCase(const Case& c)
{
    QTemporaryDir folder;
    const QString path = folder.path() + QLatin1Char('/') + QString::fromLatin1(c.file);
    MakeFile(c, path);
    store::CreateDeliveredDatabase(folder.path() + QLatin1Char('/'));
    QElapsedTimer clock;
    OneFile files(path);
    TimedBoxes boxes(clock);
    bench::SilentShell shell(folder.path());
    const platform::Service<platform::FileDialogService>::Override filesOverride(files);
    const platform::Service<platform::MessageBoxService>::Override boxesOverride(boxes);
    const platform::Service<platform::ShellService>::Override shellOverride(shell);
    auto application = std::make_unique<TApplication>(folder.path() + QStringLiteral("/Kestrelle"));
    auto form = std::make_unique<TForm1>();
    application->SetMainForm(form.get());
    TSkinManager::Instance()->SetActive(true);
    form->show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000 && !(form->windowHandle() && form->windowHandle()->isExposed()))
        QApplication::processEvents();
    const double before = MegabytesOf("VmRSS:");
    qint64 shownAt = -1;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("ImportPreview") || !dialog->windowHandle() ||
            !dialog->windowHandle()->isExposed())
            return;
        dialog->repaint();
        shownAt = clock.elapsed();
        dialog->findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
    });
    watch.start();
    clock.start();
    (c.refused ? form->Button_ImportVCard : form->Button_ImportCsv)->click();
    const qint64 at = c.refused ? boxes.toldAt : shownAt;
    std::printf("%lld %.0f %.0f %d\n", static_cast<long long>(at), MegabytesOf("VmHWM:"),
                MegabytesOf("VmHWM:") - before, boxes.text.startsWith(QStringLiteral("导入失败")) ? 1 : 0);
    form.reset();
    application.reset();
    TSkinManager::DestroyInstance();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--case")); at >= 0 && at + 1 < arguments.size()) {
        for (const Case& c : kCases)
            if (arguments[at + 1] == QLatin1String(c.name))
                return RunCase(c);
        return 2;
    }
    std::printf("| hostile file | target | until the preview is shown / the refusal told | program's peak memory (rise) |\n");
    std::printf("|---|---|---:|---:|\n");
    for (const Case& c : kCases) {
        QProcess run;
        run.start(QApplication::applicationFilePath(), {QStringLiteral("--case"), QString::fromLatin1(c.name)});
        run.waitForFinished(-1);
        const QList<QByteArray> figures = run.readAllStandardOutput().trimmed().split(' ');
        if (run.exitCode() != 0 || figures.size() != 4) {
            std::printf("| %s | %s | failed (exit %d) | |\n", c.what, c.target, run.exitCode());
            continue;
        }
        const bool told = figures[3] == "1";
        std::printf("| %s | %s | %s ms%s | %s MB (+%s MB) |\n", c.what, c.target, figures[0].constData(),
                    c.refused && !told ? " (not refused!)" : !c.refused && told ? " (refused!)" : "",
                    figures[1].constData(), figures[2].constData());
    }
    return 0;
}
