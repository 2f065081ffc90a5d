// The settings page's maintenance: clearing every record and compacting the
// database file, on a logged-in run.
#include "LifecycleFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "security/CurrentPassword.h"
#include "store/DatabaseConstants.h"
#include "store/engine/SqliteHandles.h"
#include "ui/StatusBar.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using platform::MessageResult;

namespace {

class MaintenanceTest : public LifecycleFixture {
protected:
    void SetUp() override
    {
        DeliverDatabase(kPassword);
        for (int i = 1; i <= 20; ++i)
            ExecOnDatabase(QStringLiteral("insert into data (分类,姓名,备注) values ('QQ帐号','名%1','行一\n行二')").arg(i));
        ExecOnDatabase(QStringLiteral("delete from data where 编号 % 3 = 0"));  // leaves free pages behind
        StartLoggedIn();
        namesBefore = Names();
        passBefore = ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass"));
        ASSERT_EQ(namesBefore.size(), 14);
    }

    QStringList Names() { return ColumnOnDatabase(QStringLiteral("姓名"), QStringLiteral("data")); }
    QByteArray DatabaseBytes() const
    {
        QFile file(FileInFolder(QStringLiteral("_.udb")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList CompactionLeftovers(const QString& folder)
    {
        return QDir(folder).entryList({QStringLiteral("~ACP*")}, QDir::Files | QDir::Hidden);
    }
    int GridRows() const { return form1->DBGrid1->model()->rowCount(); }
    // The next login in this run still accepts the management password.
    void ExpectLoginStillWorks()
    {
        form1->Button_HIde->click();
        form1->Button_CheckLogin->click();
        ASSERT_TRUE(form2->isVisible());
        TypePassword(kPassword);
        EXPECT_TRUE(form1->isVisible());
        EXPECT_EQ(CurrentPassword, kPassword.toStdString());
    }

    QStringList namesBefore;
    QStringList passBefore;
};

} // namespace

TEST_F(MaintenanceTest, ClearAllConfirmedEmptiesTheRecordsOnlyAndTheLoginStillWorks)
{
    form1->Edit_XingMing->setText(QStringLiteral("typed"));
    messageBoxes.answer(MessageResult::Yes);
    form1->Button9->click();

    ASSERT_EQ(messageBoxes.shown().size(), 1u);
    EXPECT_EQ(messageBoxes.shown()[0].text, QStringLiteral("您真的要删除数据库中所有的记录吗?"));
    EXPECT_EQ(messageBoxes.shown()[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(messageBoxes.shown()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(GridRows(), 0);
    EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("共0条信息"));
    EXPECT_TRUE(form1->Edit_XingMing->text().isEmpty());
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass")), passBefore);
    EXPECT_TRUE(QFile::exists(FileInFolder(QStringLiteral("class.dat"))));
    ExpectLoginStillWorks();
}

TEST_F(MaintenanceTest, ClearAllAnsweredNoChangesNothing)
{
    form1->Edit_XingMing->setText(QStringLiteral("typed"));
    messageBoxes.answer(MessageResult::No);
    form1->Button9->click();
    EXPECT_EQ(Names(), namesBefore);
    EXPECT_EQ(GridRows(), 14);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("typed"));
}

TEST_F(MaintenanceTest, ClearAllRefusedByALockOfAnotherProgramSaysNothingAndKeepsShowingTheRecords)
{
    // Another program holds the file: one that is about to write lets the
    // list still be read, one that writes already lets nothing be read.
    for (const char* lock : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        SCOPED_TRACE(lock);
        form1->Button_Refresh->click();
        form1->Edit_XingMing->setText(QStringLiteral("typed"));
        {
            const store::SqliteDatabase other = store::OpenKeyedDatabase(
                FileInFolder(store::DatabaseFileName), store::DatabasePassword, store::OpenMode::ExistingFile);
            store::Execute(other.get(), lock);
            messageBoxes.clear();
            messageBoxes.answer(MessageResult::Yes);
            form1->Button9->click();
        }
        EXPECT_EQ(messageBoxes.texts(), QStringList{"您真的要删除数据库中所有的记录吗?"});
        EXPECT_EQ(Names(), namesBefore);
        EXPECT_EQ(GridRows(), 14);
        EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("共14条信息"));
        EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("typed"));
    }
    // Once the other program lets go, clearing works.
    messageBoxes.answer(MessageResult::Yes);
    form1->Button9->click();
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(GridRows(), 0);
}

TEST_F(MaintenanceTest, CompactionKeepsEveryRecordAndThePasswordAndLeavesNoTemporaryFile)
{
    const qint64 sizeBefore = DatabaseBytes().size();
    form1->Button11->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{"数据库压缩完成."});
    EXPECT_EQ(Names(), namesBefore);
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("备注"), QStringLiteral("data")).first(), QStringLiteral("行一\n行二"));
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("密码"), QStringLiteral("Pass")), passBefore);
    EXPECT_LE(DatabaseBytes().size(), sizeBefore);
    EXPECT_TRUE(CompactionLeftovers(ProgramFolder()).isEmpty());
    EXPECT_TRUE(CompactionLeftovers(QDir::tempPath()).isEmpty());
    // The grid shows the compacted file's rows, and the next statements work.
    EXPECT_EQ(GridRows(), 14);
    form1->searchkeyword->setText(QStringLiteral("名1"));
    form1->Button_Search->click();
    EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("关于名1的信息,共搜索到8条"));
    ExpectLoginStillWorks();
}

TEST_F(MaintenanceTest, AFailedCompactionLeavesTheDamagedFileAsItWas)
{
    // Damage everything after the first kilobyte: the key still checks out,
    // the records no longer read.
    QByteArray damaged = DatabaseBytes();
    ASSERT_GE(damaged.size(), 4096);
    for (qsizetype i = 1024; i < damaged.size(); ++i)
        damaged[i] = static_cast<char>(i * 7);
    {
        QFile file(FileInFolder(QStringLiteral("_.udb")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
    }
    form1->Button11->click();

    // Only the failure is told, and the list goes on showing the rows read before.
    EXPECT_EQ(messageBoxes.texts(), QStringList{"数据库压缩失败."});
    EXPECT_EQ(GridRows(), 14);
    EXPECT_EQ(DatabaseBytes(), damaged);
    EXPECT_TRUE(CompactionLeftovers(ProgramFolder()).isEmpty());
    EXPECT_FALSE(application->Terminated());
}

TEST_F(MaintenanceTest, CompactionWithoutTheFileSaysSoAndNothingElse)
{
    ASSERT_TRUE(QFile::remove(FileInFolder(QStringLiteral("_.udb"))));
    form1->Button11->click();
    EXPECT_EQ(messageBoxes.texts(), QStringList{"没有发现数据库\"_.udb\"文件."});
    EXPECT_FALSE(QFile::exists(FileInFolder(QStringLiteral("_.udb"))));
}
