// The group "导入导出" on the settings page, driven through its buttons with
// the file dialogs and message boxes answered by doubles.
#include "PreviewDriver.h"
#include "TransferFixture.h"
#include "ui/ComboItems.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>

#include <cerrno>
#include <cstring>

using SettingsPageTest = TransferFixture;

TEST_F(SettingsPageTest, GroupSitsBelowSpecialOperationsSkinnedLikeItsNeighbours)
{
    QGroupBox* group = form1->GroupBox7;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parentWidget(), form1->TabSheet2);
    EXPECT_EQ(group->title(), QStringLiteral("导入导出"));
    EXPECT_EQ(group->geometry(), QRect(0, 241, 708, 60));
    EXPECT_LE(group->geometry().bottom(), form1->TabSheet2->height());
    const std::pair<QPushButton*, const char*> buttons[] = {
        {form1->Button_ExportCsv, "导出表格"}, {form1->Button_ExportVCard, "导出名片"},
        {form1->Button_ImportCsv, "导入表格"}, {form1->Button_ImportVCard, "导入名片"}};
    QWidget* previous = form1->Button11;
    int left = 8;
    for (const auto& [button, caption] : buttons) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_EQ(button->geometry(), QRect(left, 21, 89, 25));
        EXPECT_EQ(previous->nextInFocusChain(), button);
        EXPECT_EQ(button->style(), form1->Button9->style());
        left += 96;
        previous = button;
    }
}

TEST_F(SettingsPageTest, ExportWritesEveryRecordWhateverTheGridShows)
{
    form1->searchkeyword->setText(QStringLiteral("张三"));
    form1->Button_Search->click();
    ASSERT_EQ(GridRows(), 1);

    const QString csv = FileInFolder(QStringLiteral("book.csv"));
    const QString vcf = FileInFolder(QStringLiteral("book.vcf"));
    fileDialogs.answer(csv);
    fileDialogs.answer(vcf);
    form1->Button_ExportCsv->click();
    form1->Button_ExportVCard->click();

    EXPECT_EQ(messageBoxes.texts(), (QStringList{"已导出3条记录.", "已导出3条记录."}));
    ASSERT_EQ(fileDialogs.shown().size(), 2u);
    EXPECT_TRUE(fileDialogs.shown()[0].saving);
    EXPECT_EQ(fileDialogs.shown()[0].request.suggestedName, QStringLiteral("通讯录.csv"));
    EXPECT_EQ(fileDialogs.shown()[1].request.suffix, QStringLiteral("vcf"));
    EXPECT_TRUE(FileBytes(csv).startsWith("\xEF\xBB\xBF编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注\r\n1,QQ帐号,张三,"));
    EXPECT_EQ(FileBytes(csv).count("\r\n"), 5); // header, three rows, the break inside 王五's remarks
    EXPECT_EQ(FileBytes(vcf).count("BEGIN:VCARD"), 3);
    EXPECT_EQ(GridRows(), 1) << "the grid was reloaded";
}

TEST_F(SettingsPageTest, ImportAppendsReloadsTheListAndAddsNewCategoriesToBothBoxes)
{
    const QStringList categoriesBefore = ItemsOf(form1->Edit_FenLei);
    fileDialogs.answer(WriteFile(QStringLiteral("in.csv"),
                                 "姓名,分类,籍贯\r\n赵六,新分类,甲\r\n钱七,qq帐号,乙\r\n孙八,\"两\r\n行\",\r\n"));
    PreviewDriver preview;
    preview.Accept();
    form1->Button_ImportCsv->click();

    EXPECT_EQ(preview.Shown(), 1);
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入3条记录.\n未导入的列: 籍贯")});
    EXPECT_FALSE(fileDialogs.shown()[0].saving);
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五", "赵六", "钱七", "孙八"}));
    EXPECT_EQ(GridRows(), 6);
    EXPECT_EQ(form1->StatusBar1->PanelText(0), QStringLiteral("共6条信息"));
    // Only names that fit on a line of "class.dat" join the list.
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), categoriesBefore + QStringList{"新分类"});
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), ItemsOf(form1->Edit_FenLei));
    EXPECT_TRUE(FileBytes(FileInFolder(QStringLiteral("class.dat"))).endsWith("\xD0\xC2\xB7\xD6\xC0\xE0\r\n"));
}

TEST_F(SettingsPageTest, FileWithoutAContactOrNoFileAtAllIsRefusedWithWhyAndChangesNothing)
{
    const QByteArray categories = FileBytes(FileInFolder(QStringLiteral("class.dat")));
    const QString zero = FileInFolder(QStringLiteral("unpacked.vcf"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    fileDialogs.answer(WriteFile(QStringLiteral("in.vcf"), "FN:赵六\r\nCATEGORIES:新分类\r\n"));
    fileDialogs.answer(zero);
    form1->Button_ImportVCard->click();
    form1->Button_ImportVCard->click();

    EXPECT_EQ(messageBoxes.texts(),
              (QStringList{QStringLiteral("导入失败, 没有写入任何记录.\n第1行: 名片(BEGIN:VCARD与END:VCARD之间)以外的内容, "
                                          "已跳过. 文件中没有一张可以导入的名片."),
                           QStringLiteral("导入失败, 没有写入任何记录.\n无法读取文件\"%1\": 这不是普通文件(而是设备、管道或套接字), "
                                          "不能导入.").arg(zero)}));
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五"}));
    EXPECT_EQ(FileBytes(FileInFolder(QStringLiteral("class.dat"))), categories);
}

TEST_F(SettingsPageTest, CancelledDialogOrProgressChangesNothing)
{
    form1->Button_ExportCsv->click(); // the double cancels unscripted dialogs
    form1->Button_ImportCsv->click();
    EXPECT_TRUE(messageBoxes.texts().isEmpty());

    // Enough rows that even a release build needs more than one slice.
    QByteArray many = "姓名,分类\r\n";
    for (int i = 0; i < 200000; ++i)
        many += "名" + QByteArray::number(i) + ",新分类\r\n";
    fileDialogs.answer(WriteFile(QStringLiteral("many.csv"), many));
    PreviewDriver preview;
    preview.Accept();
    bool cancelledMidway = false;
    QTimer canceller;
    canceller.setInterval(0);
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        auto* progress = form1->findChild<QDialog*>(QStringLiteral("TransferProgress"));
        // The import (not the preview's reading) cancelled after its first slice of work,
        // whether or not the dialog has shown yet.
        if (preview.Shown() == 1 && progress && progress->findChild<QProgressBar*>()->value() > 0 && !cancelledMidway) {
            cancelledMidway = true;
            progress->findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
        }
    });
    canceller.start();
    const QStringList folderBefore = QDir(ProgramFolder()).entryList(QDir::Files | QDir::Hidden);
    form1->Button_ImportCsv->click();
    canceller.stop();

    EXPECT_TRUE(cancelledMidway);
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五"}));
    EXPECT_FALSE(ItemsOf(form1->Edit_FenLei).contains(QStringLiteral("新分类")));
    EXPECT_EQ(QDir(ProgramFolder()).entryList(QDir::Files | QDir::Hidden), folderBefore);
}

TEST_F(SettingsPageTest, ExportThatCannotWriteGivesTheSystemsReason)
{
    fileDialogs.answer(FileInFolder(QStringLiteral("no such folder/book.csv")));
    form1->Button_ExportCsv->click();
    ASSERT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_TRUE(messageBoxes.texts()[0].startsWith(QStringLiteral("无法写入文件\""))) << messageBoxes.texts()[0].toStdString();
    EXPECT_TRUE(messageBoxes.texts()[0].endsWith(QString::fromLocal8Bit(std::strerror(ENOENT))));
}
