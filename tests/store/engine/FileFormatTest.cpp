// "_.udb" has one format on every engine version. The system's `sqlcipher`
// shell, keyed with the passphrase and left at 3.x's defaults (the format),
// reads what this build's engine wrote, and this build reads and writes what
// the shell wrote. With a 3.4 shell and this build on SQLCipher 4
// (scripts/sqlcipher4.sh), these are the checks across versions both ways.
#include "store/StoreFixture.h"

#include "store/DeliveredDatabase.h"
#include "store/SyncSchema.h"
#include "store/Unit_DB.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

class FileFormatTest : public StoreFixture {
protected:
    // The shell's output for the statements, run on the keyed file. A 4.x
    // shell is told to take 3.x's defaults (a 3.x shell ignores the pragma);
    // the "ok" a 4.x shell answers to the key is not shown.
    static QString Shell(const QString& path, const QString& statements)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), path});
        const QString key = QStringLiteral(".output /dev/null\nPRAGMA key = '%1';\n"
                                           "PRAGMA cipher_compatibility = 3;\n.output stdout\n")
                                .arg(store::DatabasePassword);
        shell.write((key + statements).toUtf8());
        shell.closeWriteChannel();
        EXPECT_TRUE(shell.waitForFinished(120000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }

    static qint64 FileSize(const QString& path) { return QFileInfo(path).size(); }
};

constexpr char FiveHundredRecords[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                        "INSERT INTO data (分类, 姓名, 备注) SELECT '网站帐号', '张' || i, printf('%.200c', 'b') FROM n";
const QString Summary = QStringLiteral("PRAGMA integrity_check;\n"
                                       "SELECT count(*), sum(length(备注)), max(姓名) FROM data;\n"
                                       "SELECT 密码 FROM Pass;\n");

} // namespace

TEST_F(FileFormatTest, TheShellReadsWhatThisEngineWroteAndCompacted)
{
    // The delivered file as mkudb writes it, records added and changed.
    Exec(QString::fromUtf8(FiveHundredRecords));
    Exec(QStringLiteral("update data set 备注 = '改' where 编号 % 2 = 0"));
    connection.Close();
    const QString expected = QStringLiteral("ok\n500|50250|张99\n%1").arg(QString::fromLatin1(StoredCipher));
    EXPECT_EQ(Shell(DatabasePath(), Summary), expected);
    EXPECT_EQ(FileSize(DatabasePath()) % 1024, 0);

    ASSERT_TRUE(CompactDatabaseFile(DatabasePath(), store::DatabasePassword));
    EXPECT_EQ(Shell(DatabasePath(), Summary), expected);
    EXPECT_EQ(FileSize(DatabasePath()) % 1024, 0);
}

TEST_F(FileFormatTest, ThisEngineReadsWritesAndCompactsWhatTheShellWrote)
{
    connection.Close();
    ASSERT_TRUE(QFile::remove(DatabasePath()));
    Shell(DatabasePath(), QStringLiteral("CREATE TABLE data (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT,"
                                         " 姓名 TEXT, QQ TEXT, 手机 TEXT, 电话 TEXT, 传真 TEXT, 邮箱 TEXT, 主页 TEXT,"
                                         " 备注 TEXT);\nCREATE TABLE Pass (密码 TEXT);\n"
                                         "INSERT INTO Pass VALUES ('%1');\n%2;\n")
                              .arg(QString::fromLatin1(StoredCipher), QString::fromUtf8(FiveHundredRecords)));

    OpenWith(QStringLiteral("Select count(*), max(姓名) from data"));
    EXPECT_EQ(query.FieldAsString(0), QStringLiteral("500"));
    EXPECT_EQ(query.FieldAsString(1), QStringLiteral("张99"));
    Exec(QStringLiteral("insert into data (分类, 姓名, 备注) values ('网站帐号', '张伟', '')"));
    connection.Close();
    const QString expected = QStringLiteral("ok\n501|100000|张伟\n%1").arg(QString::fromLatin1(StoredCipher));
    EXPECT_EQ(Shell(DatabasePath(), Summary), expected);

    ASSERT_TRUE(CompactDatabaseFile(DatabasePath(), store::DatabasePassword));
    EXPECT_EQ(Shell(DatabasePath(), Summary), expected);
}

TEST_F(FileFormatTest, SyncStateSurvivesCompactionAndTheShellRunsItsTriggers)
{
    store::EnsureSyncSchema(connection.WritableHandle());
    Exec(QStringLiteral("insert into data (姓名) values ('甲')"));
    Exec(QStringLiteral("update sync_item set href = '/b/1.vcf', card = x'42', dirty = 0"));
    Exec(QStringLiteral("update sync_account set token = 't1'"));
    connection.Close();
    ASSERT_TRUE(CompactDatabaseFile(DatabasePath(), store::DatabasePassword));

    // The other engine version parses the triggers, fires them, and keeps the numbers counting on.
    const QString state = QStringLiteral("SELECT token FROM sync_account;\n"
                                         "SELECT group_concat(编号 || ':' || dirty || ':' || deleted || ':' || "
                                         "ifnull(href, '-'), ' ') FROM sync_item;\n");
    EXPECT_EQ(Shell(DatabasePath(), QStringLiteral("INSERT INTO data (姓名) VALUES ('乙');\n"
                                                   "UPDATE data SET 手机 = '1' WHERE 编号 = 1;\n") + state),
              QStringLiteral("t1\n1:1:0:/b/1.vcf 2:1:0:-"));
    EXPECT_EQ(Shell(DatabasePath(), QStringLiteral("DELETE FROM data;\n") + state), QStringLiteral("t1\n1:2:1:/b/1.vcf"));
    OpenWith(QStringLiteral("select count(*) from sqlite_master where type = 'trigger'"));
    EXPECT_EQ(query.FieldAsString(0), QStringLiteral("3"));
    Exec(QStringLiteral("insert into data (姓名) values ('丙')"));
    OpenWith(QStringLiteral("select max(编号) from sync_item"));
    EXPECT_EQ(query.FieldAsString(0), QStringLiteral("3")) << "numbers are never given twice";
}
