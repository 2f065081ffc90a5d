// The book is never lost: files reached through links stay linked, the
// book's own files are never written over by an export, backups never
// replace one another, one running program per book, and what keeps the
// book from being used where it lies is named.
#include "FilePermissions.h"
#include "LifecycleFixture.h"

#include "app/ProgramEntry.h"
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "security/CurrentPassword.h"
#include "store/BookFiles.h"
#include "store/DatabaseConstants.h"
#include "store/engine/EngineSetup.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(absent)");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

unsigned ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void SetMode(const QString& path, unsigned mode) { ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0); }

// Every file of a folder (hidden ones too) with its bytes.
QMap<QString, QByteArray> Files(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        files[name] = Bytes(dir.filePath(name));
    return files;
}

class BookSafetyTest : public LifecycleFixture {
public:
    // What the rows of the tables below reach.
    using ProgramFixture::FileInFolder;
    using ProgramFixture::ProgramFolder;
    using ProgramFixture::form1;

    QString Elsewhere(const QString& name) const { return QDir(elsewhere.path()).filePath(name); }

    // Moves a file of the program folder to the other folder and leaves a
    // link to it in its place, written as a relative or an absolute path.
    void ReplaceByLink(const QString& name, const QString& targetName, bool relative)
    {
        ASSERT_TRUE(QFile::rename(FileInFolder(name), Elsewhere(targetName)));
        const QString target = relative ? QDir(ProgramFolder()).relativeFilePath(Elsewhere(targetName))
                                        : Elsewhere(targetName);
        ASSERT_TRUE(QFile::link(target, FileInFolder(name)));
    }

    void ChangePassword(const QString& password)
    {
        form1->Edit_Pass_A->setText(password);
        form1->Edit_Pass_B->setText(password);
        form1->Button7->click();
    }

    QTemporaryDir elsewhere;
    ScriptedFileDialogs fileDialogs;
};

// --- links ------------------------------------------------------------------

struct LinkedWrite {
    const char* name;
    QString link;       // the linked file in the program folder
    bool relative;      // the link's text
    unsigned mode;      // the target's rights, which it keeps
    void (*act)(BookSafetyTest&);
    QString message;
};

void PrintTo(const LinkedWrite& value, std::ostream* out) { *out << value.name; }

class LinkedWriteTest : public BookSafetyTest, public ::testing::WithParamInterface<LinkedWrite> {};

TEST_P(LinkedWriteTest, WritesTheTargetAndKeepsTheLinkAndTheTargetsRights)
{
    const LinkedWrite& c = GetParam();
    DeliverDatabase(kPassword);
    ExecOnDatabase(QStringLiteral("insert into data (分类,姓名) values ('QQ帐号','张三')"));
    WriteBytes(FileInFolder(QStringLiteral("class.dat")), "QQ帐号\r\n");
    WriteBytes(FileInFolder(QStringLiteral("out.csv")), "an earlier export");
    ReplaceByLink(c.link, QStringLiteral("target"), c.relative);
    const QString linkText = QFileInfo(FileInFolder(c.link)).symLinkTarget();
    const QByteArray before = Bytes(Elsewhere(QStringLiteral("target")));
    SetMode(Elsewhere(QStringLiteral("target")), c.mode);
    StartLoggedIn();

    c.act(*this);

    EXPECT_EQ(messageBoxes.texts(), QStringList{c.message});
    EXPECT_TRUE(QFileInfo(FileInFolder(c.link)).isSymLink());
    EXPECT_EQ(QFileInfo(FileInFolder(c.link)).symLinkTarget(), linkText);
    EXPECT_NE(Bytes(Elsewhere(QStringLiteral("target"))), before);
    EXPECT_EQ(ModeOf(Elsewhere(QStringLiteral("target"))), c.mode);
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("target")});
    // The book still reads, through its link where it has one.
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("姓名"), QStringLiteral("data")), QStringList{QStringLiteral("张三")});
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkedWriteTest,
    ::testing::Values(
        LinkedWrite{"CompactionRelativeLink", store::DatabaseFileName, true, 0640,
                    [](BookSafetyTest& t) { t.form1->Button11->click(); }, QStringLiteral("数据库压缩完成.")},
        LinkedWrite{"CompactionAbsoluteLink", store::DatabaseFileName, false, 0600,
                    [](BookSafetyTest& t) { t.form1->Button11->click(); }, QStringLiteral("数据库压缩完成.")},
        LinkedWrite{"CategoryAdded", store::CategoryFileName, true, 0640,
                    [](BookSafetyTest& t) {
                        t.form1->Edit_FenLei->setEditText(QStringLiteral("新分类"));
                        t.form1->Button_Edit_FenLei_add->click();
                    },
                    QStringLiteral("新分类添加成功.")},
        LinkedWrite{"ExportOntoALink", QStringLiteral("out.csv"), false, 0600,
                    [](BookSafetyTest& t) {
                        t.fileDialogs.answer(t.FileInFolder(QStringLiteral("out.csv")));
                        t.form1->Button_ExportCsv->click();
                    },
                    QStringLiteral("已导出1条记录.")}),
    [](const auto& info) { return std::string(info.param.name); });

// --- protected targets --------------------------------------------------------

struct BookFileTarget {
    const char* name;
    QString (*path)(BookSafetyTest&); // made ready by the row when it must exist
};

void PrintTo(const BookFileTarget& value, std::ostream* out) { *out << value.name; }

class ProtectedTargetTest : public BookSafetyTest, public ::testing::WithParamInterface<BookFileTarget> {};

TEST_P(ProtectedTargetTest, AnExportThereIsRefusedAndWritesNothing)
{
    StartLoggedIn();
    WriteBytes(FileInFolder(QStringLiteral("bak_20261207_.udb")), "an earlier backup");
    const QString path = GetParam().path(*this);
    const auto programFiles = Files(ProgramFolder());
    const auto otherFiles = Files(elsewhere.path());
    fileDialogs.answer(path);

    form1->Button_ExportCsv->click();

    EXPECT_EQ(messageBoxes.texts(),
              QStringList{QStringLiteral("不能导出到\"%1\": 它是通讯录本身的文件(数据库、日志、分类或备份), 没有写入任何内容.")
                              .arg(path)});
    EXPECT_EQ(Files(ProgramFolder()), programFiles);
    EXPECT_EQ(Files(elsewhere.path()), otherFiles);
}

INSTANTIATE_TEST_SUITE_P(
    ProtectedTargets, ProtectedTargetTest,
    ::testing::Values(
        BookFileTarget{"TheDatabase", [](BookSafetyTest& t) { return t.FileInFolder(store::DatabaseFileName); }},
        BookFileTarget{"TheDatabaseSpelledOtherwise",
                       [](BookSafetyTest& t) {
                           QDir(t.ProgramFolder()).mkdir(QStringLiteral("sub"));
                           return t.ProgramFolder() + QStringLiteral("./sub/../") + store::DatabaseFileName;
                       }},
        BookFileTarget{"ALinkToTheDatabase",
                       [](BookSafetyTest& t) {
                           QFile::link(t.FileInFolder(store::DatabaseFileName), t.Elsewhere(QStringLiteral("a.csv")));
                           return t.Elsewhere(QStringLiteral("a.csv"));
                       }},
        BookFileTarget{"ASecondNameOfTheDatabase",
                       [](BookSafetyTest& t) {
                           ::link(QFile::encodeName(t.FileInFolder(store::DatabaseFileName)).constData(),
                                  QFile::encodeName(t.Elsewhere(QStringLiteral("b.csv"))).constData());
                           return t.Elsewhere(QStringLiteral("b.csv"));
                       }},
        BookFileTarget{"ItsJournalNotThereNow",
                       [](BookSafetyTest& t) { return t.FileInFolder(store::DatabaseFileName + "-journal"); }},
        BookFileTarget{"ItsLock", [](BookSafetyTest& t) { return t.FileInFolder(store::DatabaseFileName + "-lock"); }},
        BookFileTarget{"TheCategoryFile", [](BookSafetyTest& t) { return t.FileInFolder(store::CategoryFileName); }},
        BookFileTarget{"ABackup", [](BookSafetyTest& t) { return t.FileInFolder(QStringLiteral("bak_20261207_.udb")); }},
        BookFileTarget{"ABackupToBe", [](BookSafetyTest& t) { return t.FileInFolder(QStringLiteral("bak_1_.udb")); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- backup names (the names themselves: PasswordBackupTest; an earlier backup of the
// stamp kept: PasswordSettingsTest) ----------------------------------------------

TEST_F(BookSafetyTest, APasswordChangeWithoutItsBackupKeepsThePasswordAndSaysWhy)
{
    StartLoggedIn();
    const QStringList stored = ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass"));
    const QString folder = QDir(ProgramFolder()).absolutePath();
    form1->StatusBar1->SetPanelText(2, QStringLiteral("2026-12-07 09:15:30"));
    SetMode(folder, 0555);
    {
        const FilePermissionsApply asAnyUser;
        ChangePassword(QStringLiteral("new2010"));
    }
    SetMode(folder, 0755);

    EXPECT_EQ(messageBoxes.texts(),
              QStringList{QStringLiteral("密码没有修改: 无法备份数据库.\n文件夹\"%1\"不能写入, 无法建立\"%2\".")
                              .arg(folder, QStringLiteral("bak_20261207091530_.udb"))});
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass")), stored);
    EXPECT_FALSE(application->Terminated());
    EXPECT_TRUE(form1->isVisible());
}

// --- locks --------------------------------------------------------------------

struct HeldBook {
    const char* name;
    // Prepares the book and answers the database path by which another
    // running program holds it.
    QString (*arrange)(BookSafetyTest&);
    bool readOnlyFolder; // no lock file can be made beside the database
};

void PrintTo(const HeldBook& value, std::ostream* out) { *out << value.name; }

class HeldBookTest : public BookSafetyTest, public ::testing::WithParamInterface<HeldBook> {};

TEST_P(HeldBookTest, ASecondProgramOnTheBookSaysSoAndEndsWithoutAWindow)
{
    DeliverDatabase(kPassword);
    const QString heldBy = GetParam().arrange(*this);
    const QString folder = QDir(ProgramFolder()).absolutePath();
    const auto files = Files(ProgramFolder());
    if (GetParam().readOnlyFolder)
        SetMode(folder, 0555);
    {
        const FilePermissionsApply asAnyUser;
        const store::BookLock otherProgram = store::BookLock::Take(heldBy);
        ASSERT_FALSE(otherProgram.HeldElsewhere());
        // Started by another user or in another session: the per-user lock is free.
        EXPECT_EQ(RunProgram(FileInFolder(QStringLiteral("Kestrelle"))), 0);
    }
    SetMode(folder, 0755);

    EXPECT_EQ(messageBoxes.texts(),
              QStringList{QStringLiteral("另一个正在运行的Quillory已经打开了通讯录\"%1\", 本程序将退出.")
                              .arg(FileInFolder(store::DatabaseFileName))});
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(Application, nullptr);
    if (GetParam().readOnlyFolder) {
        EXPECT_EQ(Files(ProgramFolder()), files);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locks, HeldBookTest,
    ::testing::Values(
        HeldBook{"SameFolder", [](BookSafetyTest& t) { return t.FileInFolder(store::DatabaseFileName); }, false},
        HeldBook{"AnotherFolderLinkedToTheBook",
                 [](BookSafetyTest& t) {
                     t.ReplaceByLink(store::DatabaseFileName, QStringLiteral("book.udb"), true);
                     const QString other = t.Elsewhere(QStringLiteral("other/"));
                     QDir().mkpath(other);
                     QFile::link(t.Elsewhere(QStringLiteral("book.udb")), other + store::DatabaseFileName);
                     return other + store::DatabaseFileName;
                 },
                 false},
        HeldBook{"ReadOnlyFolder", [](BookSafetyTest& t) { return t.FileInFolder(store::DatabaseFileName); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- messages -------------------------------------------------------------------

// A relative folder, in parts of at most 200 bytes, that puts the program's
// database at exactly this many bytes.
QString FolderForDatabaseOf(const QString& base, int bytes)
{
    const auto encoded = [](const QString& path) { return static_cast<int>(QFile::encodeName(path).size()); };
    const int length = bytes - encoded(base + QLatin1Char('/') + store::DatabaseFileName);
    const int parts = (length + 201) / 201;
    const int letters = length - (parts - 1);
    QStringList folder;
    for (int i = 0; i < parts; ++i)
        folder << QString(letters / parts + (i < letters % parts ? 1 : 0), QLatin1Char('d'));
    return folder.join(QLatin1Char('/'));
}

TEST_F(BookSafetyTest, ADatabasePathLongerThanTheEngineTakesIsNamedAtTheStart)
{
    const int longest = store::LongestDatabasePath();
    UseProgramFolder(FolderForDatabaseOf(ProgramFolder(), longest + 1));
    const QString database = FileInFolder(store::DatabaseFileName);
    ASSERT_EQ(QFile::encodeName(database).size(), longest + 1);
    WriteBytes(database, "a book the engine cannot open");
    StartProgram();
    form1->StartupCompleted();

    EXPECT_EQ(messageBoxes.texts(),
              QStringList{QStringLiteral("数据库文件\"%1\"的路径有%2字节, 数据库引擎最多只能打开%3字节的路径.\n"
                                         "请把程序放到路径较短的文件夹中.")
                              .arg(database)
                              .arg(longest + 1)
                              .arg(longest)});
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_TRUE(form1->Timer_CloseMe->isActive());
}

TEST_F(BookSafetyTest, AtTheLongestPathTheBookWorksAndCompactionNamesItsLongerCopy)
{
    const int longest = store::LongestDatabasePath();
    DeliverDatabase(kPassword);
    const QString delivered = FileInFolder(store::DatabaseFileName);
    UseProgramFolder(FolderForDatabaseOf(ProgramFolder(), longest));
    ASSERT_TRUE(QFile::rename(delivered, FileInFolder(store::DatabaseFileName)));
    StartLoggedIn();
    ASSERT_TRUE(messageBoxes.texts().isEmpty());

    form1->Button11->click();
    const QString copy = FileInFolder(QStringLiteral("~ACPXXXXXX.tmp"));
    EXPECT_EQ(messageBoxes.texts(),
              QStringList{QStringLiteral("数据库压缩失败.\n压缩时在数据库旁边建立的临时文件\"%1\"的路径有%2字节, "
                                         "数据库引擎最多只能打开%3字节的路径.")
                              .arg(copy)
                              .arg(QFile::encodeName(copy).size())
                              .arg(longest)});
}

// A folder that takes no files, met at the start (without "class.dat") and at compaction.
TEST_F(BookSafetyTest, AFolderThatTakesNoFilesIsNamedAtTheStartAndAtCompaction)
{
    DeliverDatabase(kPassword);
    const QString folder = QDir(ProgramFolder()).absolutePath();
    SetMode(folder, 0555);
    {
        const FilePermissionsApply asAnyUser;
        StartProgram();
        form1->StartupCompleted();
        EXPECT_EQ(messageBoxes.texts(),
                  QStringList{QStringLiteral("文件夹\"%1\"不能写入, 无法建立\"class.dat\".").arg(folder)});
        // The start goes on as after any error it meets: the login comes.
        Tick(form1->Timer_CheckLogin);
        ASSERT_TRUE(form2->isVisible());
        TypePassword(kPassword);
        ASSERT_TRUE(form1->isVisible());

        messageBoxes.clear();
        form1->Button11->click();
        EXPECT_EQ(messageBoxes.texts(),
                  QStringList{QStringLiteral("数据库压缩失败.\n文件夹\"%1\"不能写入, 无法建立压缩用的临时文件.").arg(folder)});
    }
    SetMode(folder, 0755);
}

} // namespace
