// Writes that the file system refuses, a full disk or a program folder that
// has become read-only: each operation reports the failure (or, where the
// program never reports one, stays silent), claims no success, loses nothing,
// and the program goes on working once the fault is gone.
#include "ProgramRun.h"
#include "WriteFaults.h"

#include "forms/Unit1.h"
#include "platform/system/FileError.h"
#include "runtime/Application.h"
#include "security/PasswordBackup.h"
#include "store/ADOQuery.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kAdded = QStringLiteral("添加成功.");
const QString kPasswordSet = QStringLiteral("密码设置成功,请重新登录Tallykeep.");

// One box, with a text of its own rather than one of the program's success texts.
void ExpectOneErrorBox(const QStringList& boxes)
{
    ASSERT_EQ(boxes.size(), 1) << boxes.join(u'|').toStdString();
    EXPECT_FALSE(boxes[0].isEmpty());
    EXPECT_FALSE(boxes[0].contains(QStringLiteral("成功")) || boxes[0] == kCompacted) << boxes[0].toStdString();
}

QStringList Names(const DatabaseState& state)
{
    QStringList names;
    for (const auto& [id, values] : state.records)
        names << values[1];
    return names;
}

class FullDiskTest : public ProgramRun {};

TEST_F(FullDiskTest, AddThatNoLongerFitsReportsTheEngineErrorAndKeepsEveryRecord)
{
    QStringList added = Names(before);
    QStringList failure;
    QString failedName;
    {
        FullDisk disk(static_cast<rlim_t>(QFileInfo(DatabasePath()).size()));
        for (int i = 0; i < 500 && failure.isEmpty(); ++i) {
            const QStringList record = SampleRecord(1000 + i);
            FillEditor(record);
            const QStringList boxes = Run(&TForm1::Button1Click);
            if (boxes == QStringList{kAdded}) {
                added << record[1];
            } else {
                failure = boxes;
                failedName = record[1];
            }
        }
        ASSERT_FALSE(failure.isEmpty()) << "the file never reached the limit";
        ExpectOneErrorBox(failure);
        // The steps after the failing one did not run: the editor keeps the record.
        EXPECT_EQ(form1->Edit_XingMing->text(), failedName);
    }
    EXPECT_EQ(Names(ReadDatabaseState(ProgramFolder())), added);

    // With room again, the same add goes through.
    EXPECT_EQ(Run(&TForm1::Button1Click), QStringList{kAdded});
    EXPECT_EQ(Names(ReadDatabaseState(ProgramFolder())), added << failedName);
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), added.size());
}

TEST_F(FullDiskTest, CompactionFailsAndLeavesTheFileAsItWas)
{
    const QByteArray bytes = FileBytes(DatabasePath());
    const QStringList files = FolderFiles();
    {
        FullDisk disk(4096);
        EXPECT_EQ(Run(&TForm1::Button11Click), QStringList{kCompactionFailed});
    }
    EXPECT_EQ(FileBytes(DatabasePath()), bytes);
    EXPECT_EQ(FolderFiles(), files);  // no half-written copy left behind
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), kRecords);

    // With room again it compacts, keeping the records, the file's rights and no copy.
    const QFile::Permissions permissions = QFileInfo(DatabasePath()).permissions();
    EXPECT_EQ(Run(&TForm1::Button11Click), QStringList{kCompacted});
    EXPECT_EQ(ReadDatabaseState(ProgramFolder()), before);
    EXPECT_EQ(QFileInfo(DatabasePath()).permissions(), permissions);
    EXPECT_EQ(FolderFiles(), files);
}

TEST_F(FullDiskTest, PasswordChangeThatCannotBeWrittenKeepsTheOldPasswordAndTheProgram)
{
    form1->Edit_Pass_A->setText(QStringLiteral("new2010"));
    form1->Edit_Pass_B->setText(QStringLiteral("new2010"));
    const QStringList files = FolderFiles();
    {
        FullDisk disk(1024);
        ExpectOneErrorBox(Run(&TForm1::Button7Click));
    }
    EXPECT_FALSE(application->Terminated());
    EXPECT_EQ(ReadDatabaseState(ProgramFolder()), before);
    EXPECT_EQ(FolderFiles(), files);  // neither a backup nor a part of one
}

TEST_F(FullDiskTest, BackupThatCannotBeWrittenLeavesNoPartOfOne)
{
    const QStringList files = FolderFiles();
    {
        FullDisk disk(1024);
        EXPECT_THROW(MakeBackup(DatabasePath(), QStringLiteral("20100425")), platform::FileError);
    }
    EXPECT_EQ(FolderFiles(), files);
}

TEST_F(FullDiskTest, CategoryThatCannotBeWrittenLeavesTheFileWhole)
{
    const QString classFile = FileInFolder(QStringLiteral("class.dat"));
    const QByteArray bytes = FileBytes(classFile);
    const QStringList files = FolderFiles();
    const int filterItems = form1->ComboBoxClass->count();
    form1->Edit_FenLei->setCurrentText(QStringLiteral("新分类"));
    {
        FullDisk disk(8);
        ExpectOneErrorBox(Run(&TForm1::Button_Edit_FenLei_addClick));
    }
    EXPECT_EQ(FileBytes(classFile), bytes);
    EXPECT_EQ(FolderFiles(), files);
    EXPECT_EQ(form1->ComboBoxClass->count(), filterItems);
}

class ReadOnlyFolderTest : public ProgramRun {};

TEST_F(ReadOnlyFolderTest, EveryChangeFailsWithoutLosingAnythingAndWorksAgainAfterwards)
{
    const QByteArray bytes = FileBytes(DatabasePath());
    const QStringList files = FolderFiles();
    {
        ReadOnlyFolder readOnly(ProgramFolder());

        FillEditor(SampleRecord(500));
        ExpectOneErrorBox(Run(&TForm1::Button1Click));

        EXPECT_TRUE(Run(&TForm1::Button_RefreshClick).isEmpty());
        ClickRow(3);
        FillEditor(SampleRecord(501));
        ExpectOneErrorBox(Run(&TForm1::Button2Click));

        // Delete and clear all never report a failure; the records stay.
        EXPECT_TRUE(Run(&TForm1::Button_RefreshClick).isEmpty());
        ClickRow(1);
        EXPECT_EQ(Run(&TForm1::Button3Click), QStringList{QStringLiteral("您真的要删除该记录吗?")});
        EXPECT_EQ(Run(&TForm1::Button9Click), QStringList{QStringLiteral("您真的要删除数据库中所有的记录吗?")});
        EXPECT_EQ(form1->ADOQuery1->RecordCount(), kRecords);

        form1->Edit_Pass_A->setText(QStringLiteral("new2010"));
        form1->Edit_Pass_B->setText(QStringLiteral("new2010"));
        ExpectOneErrorBox(Run(&TForm1::Button7Click));
        EXPECT_FALSE(application->Terminated());

        // The cause is named: no copy can be made beside the database.
        EXPECT_EQ(Run(&TForm1::Button11Click),
                  QStringList{kCompactionFailed
                              + QStringLiteral("\n文件夹\"%1\"不能写入, 无法建立压缩用的临时文件.").arg(ProgramFolder().chopped(1))});

        form1->Edit_FenLei->setCurrentText(QStringLiteral("新分类"));
        ExpectOneErrorBox(Run(&TForm1::Button_Edit_FenLei_addClick));

        // Reading goes on as before.
        EXPECT_TRUE(Run(&TForm1::Button_RefreshClick).isEmpty());
        EXPECT_EQ(form1->ADOQuery1->RecordCount(), kRecords);
    }
    EXPECT_EQ(FileBytes(DatabasePath()), bytes);
    EXPECT_EQ(FolderFiles(), files);

    // Writable again: the program writes again without a restart.
    FillEditor(SampleRecord(502));
    EXPECT_EQ(Run(&TForm1::Button1Click), QStringList{kAdded});
    EXPECT_EQ(ReadDatabaseState(ProgramFolder()).records.size(), before.records.size() + 1);
}

} // namespace
