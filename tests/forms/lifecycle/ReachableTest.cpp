// The program is never left running unseen. Every path of the life cycle is
// walked on a desktop with a notification area and on one without: with one,
// a program without a window waits in the tray; without one, it either keeps
// a window on screen or ends as closing the login window ends it.
#include "FilePermissions.h"
#include "LifecycleFixture.h"

#include "app/ProgramEntry.h"
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/InstanceLock.h"
#include "runtime/Application.h"
#include "store/DatabaseConstants.h"
#include "store/engine/SqliteHandles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <functional>

#include <sqlite3.h>

using platform::MessageResult;

namespace {

enum class Outcome { Ended, InTray, LoginShown, MainShown };

class ReachableTest;

struct Walk {
    const char* name;
    std::function<void(ReachableTest&)> walk;
    Outcome withArea;
    Outcome withoutArea;
    const char* lastMessage;  // a part of the last message box's text; empty: no box at all
};

void PrintTo(const Walk& walk, std::ostream* out)
{
    *out << walk.name;
}

QByteArray RandomBytes(qsizetype size)
{
    QRandomGenerator generator(20);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

// The engine's own words for a file it cannot read: 3.x says "file is encrypted
// or is not a database", 4.x "file is not a database".
const QString kEngineRefusal = QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
// The part of those words that both versions share, for the walks' table.
constexpr char kNotADatabase[] = "is not a database";

class ReachableTest : public LifecycleFixture, public ::testing::WithParamInterface<std::tuple<Walk, bool>> {
public:
    static std::vector<Walk> Walks();

protected:
    const Walk& Path() const { return std::get<0>(GetParam()); }
    bool Area() const { return std::get<1>(GetParam()); }

    QString Database() const { return FileInFolder(store::DatabaseFileName); }
    void Replace(const QByteArray& bytes)
    {
        QFile file(Database());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray Delivered()
    {
        DeliverDatabase(kPassword);
        QFile file(Database());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The program's start up to the login check's tick, whatever the check finds.
    void Start()
    {
        StartProgram();
        form1->StartupCompleted();
        if (form1->Timer_CheckLogin->isActive())
            Tick(form1->Timer_CheckLogin);
    }
    // Start on the delivered database changed by one statement.
    void StartAfter(const QString& statement)
    {
        DeliverDatabase(kPassword);
        ExecOnDatabase(statement);
        Start();
    }
    // Another program holds the database open for writing.
    store::SqliteDatabase HoldDatabase()
    {
        store::SqliteDatabase other =
            store::OpenKeyedDatabase(Database(), store::DatabasePassword, store::OpenMode::ExistingFile);
        store::Execute(other.get(), "BEGIN EXCLUSIVE");
        return other;
    }

    void ExpectOutcome(Outcome outcome)
    {
        const bool ended = outcome == Outcome::Ended;
        EXPECT_EQ(application->Terminated(), ended);
        if (ended) {
            // Ended as every way out ends: the windows go with the process.
            EXPECT_FALSE(Connected());
            EXPECT_EQ(clipboard.empties, 1);
            return;
        }
        EXPECT_EQ(form1->isVisible(), outcome == Outcome::MainShown);
        EXPECT_EQ(form2->isVisible(), outcome == Outcome::LoginShown);
        if (outcome == Outcome::InTray) {
            // The tray is the way back and the way out.
            EXPECT_EQ(area.iconCount(), 1u);
            form1->CloseMe->trigger();
            EXPECT_TRUE(application->Terminated());
        }
    }
};

std::vector<Walk> ReachableTest::Walks()
{
    using T = ReachableTest;
    const Outcome ended = Outcome::Ended;
    const Outcome inTray = Outcome::InTray;
    const Outcome main = Outcome::MainShown;
    return {
        // --- the start ---------------------------------------------------------------
        {"MissingFile",
         [](T& t) {
             t.Start();
             Tick(t.form1->Timer_CloseMe);
         },
         ended, ended, "没有发现数据库\"_.udb\"文件."},
        {"RandomBytes",
         [](T& t) {
             t.Replace(RandomBytes(20 * 1024));
             t.Start();
         },
         inTray, ended, kNotADatabase},
        {"CutShort",
         [](T& t) {
             t.Replace(t.Delivered().left(600));
             t.Start();
         },
         inTray, ended, kNotADatabase},
        {"PlainSqliteFile",
         [](T& t) {
             const store::SqliteDatabase plain =
                 store::OpenKeyedDatabase(t.Database(), QString(), store::OpenMode::CreateIfMissing);
             store::Execute(plain.get(), "create table Pass (密码 text)");
             store::Execute(plain.get(), "insert into Pass values ('A0B1C2D3E4F50617')");
             t.Start();
         },
         inTray, ended, kNotADatabase},
        {"OtherCipherSettings",  // the database key, with the page size and key derivation of a later engine version
         [](T& t) {
             {
                 const store::SqliteDatabase other =
                     store::OpenKeyedDatabase(t.Database(), QString(), store::OpenMode::CreateIfMissing);
                 store::Execute(other.get(), "PRAGMA key = '" + store::DatabasePassword.toUtf8() + "'");
                 store::Execute(other.get(), "PRAGMA cipher_page_size = 4096");
                 store::Execute(other.get(), "PRAGMA kdf_iter = 256000");
                 store::Execute(other.get(), "create table Pass (密码 text)");
                 store::Execute(other.get(), "insert into Pass values ('A0B1C2D3E4F50617')");
             }
             QFile written(t.Database());
             ASSERT_TRUE(written.open(QIODevice::ReadOnly));
             const QByteArray bytes = written.readAll();
             ASSERT_TRUE(bytes.size() == 2 * 4096 && !bytes.startsWith("SQLite format 3")) << bytes.size();
             t.Start();
         },
         inTray, ended, kNotADatabase},
        {"UnreadableFile",
         [](T& t) {
             t.DeliverDatabase(kPassword);
             ASSERT_TRUE(QFile::setPermissions(t.Database(), {}));
             const FilePermissionsApply asAnyUser;
             t.Start();
         },
         inTray, ended, "unable to open database file"},
        {"FolderInItsPlace",
         [](T& t) {
             ASSERT_TRUE(QDir(t.ProgramFolder()).mkdir(store::DatabaseFileName));
             t.Start();
         },
         inTray, ended, "unable to open database file"},
        {"NoPasswordTable",
         [](T& t) { t.StartAfter(QStringLiteral("drop table Pass")); },
         inTray, ended, "no such table: Pass"},
        {"EmptyStoredPassword",
         [](T& t) { t.StartAfter(QStringLiteral("update Pass set 密码=''")); },
         ended, ended, ""},
        {"GarbledStoredPassword",
         [](T& t) { t.StartAfter(QStringLiteral("update Pass set 密码='QUILLORY'")); },
         ended, ended, ""},
        // --- the login window --------------------------------------------------------
        {"ThirdWrongPassword",
         [](T& t) {
             t.StartToLogin();
             for (int attempt = 0; attempt < 3; ++attempt)
                 t.TypePassword(QStringLiteral("wrong"));
         },
         ended, ended, "由于您多次输入了无效的密码程序将要退出..."},
        {"LoginWindowClosedByTheDesktop",
         [](T& t) {
             t.StartToLogin();
             t.form2->close();
         },
         inTray, ended, ""},
        // --- the main window ---------------------------------------------------------
        {"Hidden", [](T& t) { t.StartLoggedIn(); t.form1->Button_HIde->click(); }, inTray, Outcome::LoginShown, ""},
        {"FailedCompaction",
         [](T& t) {
             t.StartLoggedIn();
             t.Replace(RandomBytes(20 * 1024));
             t.form1->Button11->click();
         },
         main, main, "数据库压缩失败."},
        {"HiddenAfterAFailedCompaction",  // and then asked back: the check meets the file
         [](T& t) {
             t.StartLoggedIn();
             t.Replace(RandomBytes(20 * 1024));
             t.form1->Button11->click();
             t.form1->Button_HIde->click();
             if (t.Area())
                 t.area.click(Qt::LeftButton);
         },
         inTray, ended, kNotADatabase},
        {"RefusedClearAll",
         [](T& t) {
             t.StartLoggedIn();
             const store::SqliteDatabase other = t.HoldDatabase();
             t.messageBoxes.answer(MessageResult::Yes);
             t.form1->Button9->click();
         },
         main, main, "您真的要删除数据库中所有的记录吗?"},
        {"PasswordChanged",
         [](T& t) {
             t.StartLoggedIn();
             t.form1->Edit_Pass_A->setText(QStringLiteral("New2010"));
             t.form1->Edit_Pass_B->setText(QStringLiteral("New2010"));
             t.form1->Button7->click();
         },
         ended, ended, "密码设置成功,请重新登录Tallykeep."},
        {"RefusedPasswordChange",
         [](T& t) {
             t.StartLoggedIn();
             const store::SqliteDatabase other = t.HoldDatabase();
             t.form1->Edit_Pass_A->setText(QStringLiteral("New2010"));
             t.form1->Edit_Pass_B->setText(QStringLiteral("New2010"));
             t.form1->Button7->click();
         },
         main, main, "database is locked"},
    };
}

} // namespace

TEST_P(ReachableTest, EndsOrStaysReachable)
{
    area.available = Area();
    Path().walk(*this);
    if (HasFatalFailure())
        return;
    const QStringList texts = messageBoxes.texts();
    if (*Path().lastMessage == '\0')
        EXPECT_TRUE(texts.isEmpty()) << texts.join(QLatin1Char('|')).toStdString();
    else
        EXPECT_TRUE(!texts.isEmpty() && texts.last().contains(QString::fromUtf8(Path().lastMessage)))
            << texts.join(QLatin1Char('|')).toStdString();
    ExpectOutcome(Area() ? Path().withArea : Path().withoutArea);
}

INSTANTIATE_TEST_SUITE_P(LifeCycle, ReachableTest,
                         ::testing::Combine(::testing::ValuesIn(ReachableTest::Walks()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<Walk, bool>>& info) {
                             return std::string(std::get<0>(info.param).name)
                                  + (std::get<1>(info.param) ? "_WithArea" : "_WithoutArea");
                         });

// The notification area goes away while the program waits in it, and comes back.
class VanishingAreaTest : public LifecycleFixture {
protected:
    void StartInTray()
    {
        StartLoggedIn();
        form1->Button_HIde->click();
        Tick(form1->Timer1);
        ASSERT_FALSE(form2->isVisible());
    }
};

TEST_F(VanishingAreaTest, TheLoginWindowComesAtTheNextTickAndTheIconReturnsWithTheArea)
{
    StartInTray();
    area.shutDown();
    Tick(form1->Timer1);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(TaskbarButtonShown());
    EXPECT_TRUE(taskbar.HasEntry(*form2));

    area.restart();
    EXPECT_EQ(area.iconCount(), 1u);
    Tick(form1->Timer1);
    EXPECT_TRUE(form2->isVisible());
    TypePassword(kPassword);
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(VanishingAreaTest, WithTheDatabaseHeldMeanwhileTheCheckReportsAndTheProgramEnds)
{
    StartInTray();
    const store::SqliteDatabase other = store::OpenKeyedDatabase(
        FileInFolder(store::DatabaseFileName), store::DatabasePassword, store::OpenMode::ExistingFile);
    store::Execute(other.get(), "BEGIN EXCLUSIVE");
    area.shutDown();
    Tick(form1->Timer1);
    ASSERT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_TRUE(messageBoxes.texts()[0].contains(QStringLiteral("database is locked")));
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(clipboard.empties, 1);
}

TEST_F(VanishingAreaTest, TheLoginWindowShownFromTheTrayGetsATaskbarEntry)
{
    StartInTray();
    area.click(Qt::LeftButton);
    ASSERT_TRUE(form2->isVisible());
    EXPECT_FALSE(taskbar.HasEntry(*form2));
    area.shutDown();
    Tick(form1->Timer1);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_TRUE(taskbar.HasEntry(*form2));
    // And closing it now ends the program.
    form2->close();
    EXPECT_TRUE(application->Terminated());
}

class NoAreaTest : public LifecycleFixture {
protected:
    NoAreaTest() { area.available = false; }
};

// The end waits for a clipboard held by another program and is tried again
// after the next event.
TEST_F(NoAreaTest, TheEndIsTriedAgainWhileTheClipboardIsHeld)
{
    StartToLogin();
    clipboard.heldByOtherProgram = true;
    form2->close();
    EXPECT_FALSE(application->Terminated());
    EXPECT_EQ(messageBoxes.texts(), QStringList{"Cannot open clipboard"});
    Tick(form1->Timer1);
    EXPECT_FALSE(application->Terminated());
    clipboard.heldByOtherProgram = false;
    Tick(form1->Timer1);
    EXPECT_TRUE(application->Terminated());
    EXPECT_EQ(messageBoxes.texts().size(), 2);
}

// The whole run through the program entry and its message loop: the check's
// error is reported, the run ends and the one-copy lock is free again.
TEST_F(NoAreaTest, ADamagedFileEndsTheRunAndFreesTheLock)
{
    {
        QFile file(FileInFolder(store::DatabaseFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(20 * 1024, '\x5a'));
    }
    bool stuck = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        stuck = true;
        Application->Terminate();
    });
    guard.start(60000);
    EXPECT_EQ(RunProgram(FileInFolder(QStringLiteral("Kestrelle"))), 0);
    EXPECT_FALSE(stuck) << "the program ran on without any window";
    ASSERT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_TRUE(messageBoxes.texts()[0].startsWith(kEngineRefusal));
    EXPECT_TRUE(platform::instanceLocks().acquire(QStringLiteral("通讯录")));
}
