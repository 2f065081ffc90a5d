// The preview that every import shows before it writes: driven through its
// boxes, radio buttons and buttons as a user would, with the file dialogs
// and message boxes answered by doubles.
#include "PreviewDriver.h"
#include "TransferFixture.h"

#include "ui/ComboItems.h"

#include <QRadioButton>

namespace {

class ImportPreviewTest : public TransferFixture {
protected:
    QString Fixture(const char* name) const
    {
        return QStringLiteral(QUILLORY_SOURCE_DIR "/tests/transfer/fixtures/") + QString::fromLatin1(name);
    }
    // Picks the entry of a column's box that reads text, as a user picks it from the list.
    static void Send(QDialog& dialog, int column, const QString& text)
    {
        QComboBox* target = PreviewDriver::Target(dialog, column);
        ASSERT_GE(target->findText(text), 0) << text.toStdString();
        target->setCurrentIndex(target->findText(text));
    }
    static bool CanImport(QDialog& dialog) { return dialog.findChild<QPushButton*>(QStringLiteral("Import"))->isEnabled(); }

    PreviewDriver preview;
};

} // namespace

TEST_F(ImportPreviewTest, RecognisedFileShowsWhatWillLandAndOneClickImportsIt)
{
    fileDialogs.answer(Fixture("google_new.csv"));
    preview.Then([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("导入预览"));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Kind"),
                  QStringLiteral("类型: Google 通讯录    编码: UTF-8 (带BOM)    分隔符: 逗号"));
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Unrecognised")), nullptr);
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 0, 0), QStringLiteral("First Name"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 0, 1), QStringLiteral("小红"));
        EXPECT_EQ(PreviewDriver::Target(dialog, 0)->currentText(), QStringLiteral("姓名 (名)"));
        EXPECT_EQ(PreviewDriver::Target(dialog, 16)->currentText(), QStringLiteral("分类 (多个时取第一个)"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 2), QStringLiteral("李小红"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 1, 2), QStringLiteral("星光贸易有限公司"));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Summary"), QStringLiteral("文件中有2条记录. 将添加2条记录."));
        EXPECT_FALSE(dialog.findChild<QRadioButton*>(QStringLiteral("SkipDuplicates"))->isEnabled());
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();

    EXPECT_EQ(preview.Shown(), 1);
    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入2条记录.")});
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五", "李小红", "星光贸易有限公司"}));
    EXPECT_TRUE(ItemsOf(form1->Edit_FenLei).contains(QStringLiteral("朋友")));
}

TEST_F(ImportPreviewTest, FileWithoutAKnownColumnWaitsForTheUsersChoices)
{
    fileDialogs.answer(WriteFile(QStringLiteral("plain.csv"), "甲,乙,丙\r\n赵六,13800000001,x\r\n钱七,13900000002,y\r\n"));
    preview.Then([](QDialog& dialog) {
        EXPECT_NE(dialog.findChild<QLabel*>(QStringLiteral("Unrecognised")), nullptr);
        EXPECT_FALSE(CanImport(dialog));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Summary"), QStringLiteral("还没有选择要导入的列."));
        EXPECT_EQ(PreviewDriver::Target(dialog, 1)->currentText(), QStringLiteral("不导入"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 1, 1), QStringLiteral("13800000001"));
        Send(dialog, 0, QStringLiteral("姓名"));
        Send(dialog, 1, QStringLiteral("手机"));
        EXPECT_TRUE(CanImport(dialog));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 2), QStringLiteral("赵六"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 4), QStringLiteral("13800000001"));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Summary"), QStringLiteral("文件中有2条记录. 将添加2条记录."));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入2条记录.\n未导入的列: 丙")});
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五", "赵六", "钱七"}));
}

TEST_F(ImportPreviewTest, ColumnSentToNotImportIsLeftOutAndNamed)
{
    fileDialogs.answer(WriteFile(QStringLiteral("sheet.csv"), "姓名,手机号码,QQ号,籍贯\r\n赵六,13800000001,10009,杭州\r\n"));
    preview.Then([](QDialog& dialog) {
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 3), QStringLiteral("10009"));
        Send(dialog, 2, QStringLiteral("不导入"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 3), QString());
        Send(dialog, 3, QStringLiteral("备注: 籍贯")); // a line labelled with the column's name
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 9), QStringLiteral("籍贯: 杭州"));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入1条记录.\n未导入的列: QQ号")});
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("QQ"), QStringLiteral("data")).last(), QString());
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("备注"), QStringLiteral("data")).last(), QStringLiteral("籍贯: 杭州"));
}

TEST_F(ImportPreviewTest, DuplicatesAreSkippedByDefaultOrAllImportedWhenChosen)
{
    const QString file = WriteFile(QStringLiteral("twice.csv"), "姓名,手机,邮箱\r\n张三,13800000001,\r\n"
                                                                "张三,138 0000 0001,\r\n赵六,,zl@example.com\r\n");
    fileDialogs.answer(file);
    fileDialogs.answer(file);
    preview.Then([](QDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("SkipDuplicates"))->isChecked());
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 0), QString());
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 1, 0), QStringLiteral("重复"));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Summary"),
                  QStringLiteral("文件中有3条记录, 其中1条与通讯录里已有的或文件中前面的记录重复 (姓名相同, 且有相同的电话或邮箱). "
                                 "将添加2条记录."));
        PreviewDriver::Press(dialog, "Import");
    });
    preview.Then([](QDialog& dialog) {
        EXPECT_TRUE(PreviewDriver::Text(dialog, "Summary").contains(QStringLiteral("其中3条")));
        dialog.findChild<QRadioButton*>(QStringLiteral("ImportAll"))->click();
        EXPECT_TRUE(PreviewDriver::Text(dialog, "Summary").endsWith(QStringLiteral("将添加3条记录.")));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();
    form1->Button_ImportCsv->click();

    EXPECT_EQ(messageBoxes.texts(),
              (QStringList{QStringLiteral("已导入2条记录.\n跳过了1条重复的记录."), QStringLiteral("已导入3条记录.")}));
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五", "张三", "赵六", "张三", "张三", "赵六"}));
}

TEST_F(ImportPreviewTest, CardsShowTheirPropertiesAndWhereEachGoes)
{
    fileDialogs.answer(Fixture("iphone.vcf"));
    preview.Then([](QDialog& dialog) {
        EXPECT_EQ(PreviewDriver::Text(dialog, "Kind"), QStringLiteral("类型: 名片 (vCard 3.0, 苹果设备)    编码: UTF-8"));
        EXPECT_EQ(PreviewDriver::Target(dialog, 0), nullptr) << "a card's properties have no choices";
        const auto* sources = dialog.findChild<QTableWidget*>(QStringLiteral("Sources"));
        QStringList rows;
        for (int row = 0; row < sources->rowCount(); ++row)
            rows << PreviewDriver::Cell(dialog, "Sources", row, 0) + QLatin1Char('|') +
                        PreviewDriver::Cell(dialog, "Sources", row, 1) + QLatin1Char('|') +
                        PreviewDriver::Cell(dialog, "Sources", row, 2);
        EXPECT_TRUE(rows.contains(QStringLiteral("TEL 电话号码|4|手机/电话/传真 (按类型); 标为QQ的进QQ"))) << rows.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(rows.contains(QStringLiteral("PHOTO 照片|1|不导入")));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportVCard->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入2条记录.\n未导入的属性: 照片")});
}

TEST_F(ImportPreviewTest, CancelWritesNothing)
{
    const QByteArray categories = FileBytes(FileInFolder(QStringLiteral("class.dat")));
    fileDialogs.answer(WriteFile(QStringLiteral("in.csv"), "姓名,分类\r\n赵六,新分类\r\n"));
    preview.Then([](QDialog& dialog) {
        Send(dialog, 0, QStringLiteral("备注: 姓名"));
        PreviewDriver::Press(dialog, "Cancel");
    });
    form1->Button_ImportCsv->click();

    EXPECT_EQ(preview.Shown(), 1);
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_EQ(Names(), (QStringList{"张三", "李四", "王五"}));
    EXPECT_EQ(FileBytes(FileInFolder(QStringLiteral("class.dat"))), categories);
    EXPECT_EQ(GridRows(), 3);
}
