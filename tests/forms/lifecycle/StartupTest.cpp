// Start-up: the missing database, a category file that cannot be read, the
// desktop launcher and the single-instance rule.
#include "LifecycleFixture.h"

#include "app/ProgramEntry.h"
#include "desktop/Unit_Function.h"
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/InstanceLock.h"
#include "runtime/Application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString kLauncherName = QStringLiteral("Tallykeep个人版.desktop");

class StartupTest : public LifecycleFixture {
protected:
    StartupTest() { shell.desktop = desktopFolder.path(); }

    QString LauncherPath() const { return desktopFolder.filePath(kLauncherName); }
    QString Launcher() const
    {
        QFile file(LauncherPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir desktopFolder;
};

// A launcher's value as a desktop reads it: the escapes of a text value first...
QString UnescapedValue(const QString& value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        text += next == QLatin1Char('n') ? QChar(u'\n')
              : next == QLatin1Char('r') ? QChar(u'\r')
              : next == QLatin1Char('t') ? QChar(u'\t')
              : next == QLatin1Char('s') ? QChar(u' ')
                                         : next;
    }
    return text;
}

// ...then, for Exec, the quoting of one argument ("%%" is a literal "%").
QString UnquotedArgument(const QString& quoted)
{
    EXPECT_TRUE(quoted.startsWith(QLatin1Char('"')) && quoted.endsWith(QLatin1Char('"'))) << quoted.toStdString();
    const QString inner = quoted.mid(1, quoted.size() - 2);
    QString text;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == QLatin1Char('\\') && i + 1 < inner.size())
            text += inner[++i];
        else if (inner[i] == QLatin1Char('%') && i + 1 < inner.size() && inner[i + 1] == QLatin1Char('%'))
            text += inner[i++];
        else
            text += inner[i];
    }
    return text;
}

} // namespace

TEST_F(StartupTest, WithoutTheDatabaseOnlyTheMessageIsShownAndTheProgramEndsByItself)
{
    StartProgram();
    form1->StartupCompleted();
    EXPECT_EQ(messageBoxes.texts(), QStringList{"没有发现数据库\"_.udb\"文件."});
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_TRUE(form1->Timer_CloseMe->isActive());
    EXPECT_FALSE(QFile::exists(LauncherPath()));
    EXPECT_FALSE(QFile::exists(FileInFolder(QStringLiteral("class.dat"))));
    EXPECT_FALSE(application->Terminated());

    Tick(form1->Timer_CloseMe);
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, 1);
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
}

TEST_F(StartupTest, AnUnreadableCategoryFileIsReportedAndTheLoginCheckStillComes)
{
    DeliverDatabase(kPassword);
    ASSERT_TRUE(QDir(ProgramFolder()).mkdir(QStringLiteral("class.dat")));
    StartProgram();

    ASSERT_EQ(messageBoxes.texts().size(), 1);
    const QString report = messageBoxes.texts()[0];
    EXPECT_TRUE(report.startsWith(QStringLiteral("程序发生未知错误,请联系客服 QQ"))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(QLatin1Char(' ')));
    // The close asked for by the trap ran its handler but ended nothing.
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(application->Terminated());
    EXPECT_EQ(clipboard.empties, 1);
    // The steps after the trap still ran.
    EXPECT_TRUE(QFile::exists(LauncherPath()));
    EXPECT_EQ(area.iconCount(), 1u);

    form1->StartupCompleted();
    Tick(form1->Timer_CheckLogin);
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_TRUE(form2->isVisible());
}

TEST_F(StartupTest, TheLoginCheckRunsOnceOneSecondAfterStartAndOnlyOnce)
{
    DeliverDatabase(kPassword);
    StartProgram();
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());  // not before every start-up window exists
    EXPECT_FALSE(form2->isVisible());
    form1->StartupCompleted();
    EXPECT_EQ(form1->Timer_CheckLogin->interval(), 1000);
    Tick(form1->Timer_CheckLogin);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(StartupTest, AFailingLoginCheckReportsOnceAndDoesNotRunAgain)
{
    DeliverDatabase(kPassword);
    StartProgram();
    form1->StartupCompleted();
    // The database becomes unreadable before the first tick.
    QFile database(FileInFolder(QStringLiteral("_.udb")));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.write(QByteArray(8192, 'x'));
    database.close();
    int ticksWhileOpen = 0;
    messageBoxes.whileOpen = [&](const platform::MessageBoxRequest&) {
        if (form1->Timer_CheckLogin->isActive())
            ++ticksWhileOpen;
    };
    Tick(form1->Timer_CheckLogin);
    EXPECT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_EQ(ticksWhileOpen, 0);
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_FALSE(form2->isVisible());
}

TEST_F(StartupTest, TheLauncherStartsTheExecutableInItsFolderAndIsRewrittenAtEveryStart)
{
    DeliverDatabase(kPassword);
    StartProgram();
    const QString launcher = Launcher();
    EXPECT_TRUE(launcher.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(launcher.contains(QStringLiteral("\nExec=\"") + FileInFolder(QStringLiteral("Kestrelle")) + "\"\n"))
        << launcher.toStdString();
    EXPECT_TRUE(launcher.contains(QStringLiteral("\nPath=") + ProgramFolder() + "\n")) << launcher.toStdString();
    EXPECT_TRUE(launcher.contains(QStringLiteral("\nName=Tallykeep个人版\n")));
    EXPECT_EQ(QDir(desktopFolder.path()).entryList(QDir::Files), QStringList{kLauncherName});

    // Deleted by the user: written again at the next start.
    ASSERT_TRUE(QFile::remove(LauncherPath()));
    RestartProgram();
    EXPECT_EQ(Launcher(), launcher);

    // Spoiled: rewritten whole.
    QFile spoiled(LauncherPath());
    ASSERT_TRUE(spoiled.open(QIODevice::WriteOnly | QIODevice::Truncate));
    spoiled.write("[Desktop Entry]\nExec=/elsewhere/old\n");
    spoiled.close();
    RestartProgram();
    EXPECT_EQ(Launcher(), launcher);
}

TEST_F(StartupTest, ASecondCopyEndsSilentlyWithoutAnyWindow)
{
    const auto firstCopy = platform::instanceLocks().acquire(QStringLiteral("通讯录"));
    ASSERT_TRUE(firstCopy);
    DeliverDatabase(kPassword);
    EXPECT_EQ(RunProgram(FileInFolder(QStringLiteral("Kestrelle"))), 0);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(Application, nullptr);
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_FALSE(QFile::exists(LauncherPath()));
}

TEST_F(StartupTest, ALauncherForAnOddlyNamedFolderHasItsSixLinesAndReadsBackAsWritten)
{
    const QString folder = QStringLiteral("/tmp/my \"tools\" 100%/back\\slash $HOME `x`\nExec=/bin/false/");
    const QString target = folder + QStringLiteral("Kestrelle");
    CreateDesktopShortcut(target, QStringLiteral("Tallykeep个人版"));

    const QStringList lines = Launcher().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << Launcher().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("[Desktop Entry]"));
    ASSERT_TRUE(lines[3].startsWith(QStringLiteral("Exec=")));
    ASSERT_TRUE(lines[4].startsWith(QStringLiteral("Path=")));
    EXPECT_EQ(UnquotedArgument(UnescapedValue(lines[3].mid(5))), target);
    EXPECT_EQ(UnescapedValue(lines[4].mid(5)), folder);
}
