// The preview that every import shows before it writes: driven through its
// boxes, radio buttons and buttons as a user would, with the file dialogs
// and message boxes answered by doubles.
#include "PreviewDriver.h"
#include "TransferFixture.h"

#include "ui/ComboItems.h"

#include <QListWidget>
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
        EXPECT_EQ(PreviewDriver::Text(dialog, "Kind"), QStringLiteral("类型: Google 通讯录    分隔符: 逗号"));
        EXPECT_EQ(PreviewDriver::Encoding(dialog), QStringLiteral("UTF-8 (带BOM)"));
        EXPECT_EQ(PreviewDriver::Text(dialog, "EncodingNote"), QString()) << "a byte-order mark tells the encoding";
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("Unrecognised"))->isHidden());
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
        EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("Unrecognised"))->isHidden());
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
        EXPECT_EQ(PreviewDriver::Text(dialog, "Kind"), QStringLiteral("类型: 名片 (vCard 3.0, 苹果设备)"));
        EXPECT_EQ(PreviewDriver::Encoding(dialog), QStringLiteral("UTF-8"));
        EXPECT_EQ(PreviewDriver::Target(dialog, 0), nullptr) << "a card's properties have no choices";
        const auto* sources = dialog.findChild<QTableView*>(QStringLiteral("Sources"));
        QStringList rows;
        for (int row = 0; row < sources->model()->rowCount(); ++row)
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

TEST_F(ImportPreviewTest, RepairsAreListedWithTheirLinesAndTheRestImportsWithOneClick)
{
    fileDialogs.answer(Fixture("android_stray_byte.vcf"));
    preview.Then([](QDialog& dialog) {
        EXPECT_EQ(PreviewDriver::Text(dialog, "RepairsTitle"), QStringLiteral("读取时修复或跳过了1处 (其余的都已导入):"));
        const auto* repairs = dialog.findChild<QListWidget*>(QStringLiteral("Repairs"));
        ASSERT_EQ(repairs->count(), 1);
        EXPECT_EQ(repairs->item(0)->text(), QStringLiteral("第28行: 1个字节不是有效的UTF-8文字, 已换成\"\uFFFD\""));
        EXPECT_EQ(PreviewDriver::Text(dialog, "Summary"), QStringLiteral("文件中有6条记录. 将添加6条记录."));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportVCard->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入6条记录.")});
    EXPECT_EQ(Names().size(), 9);
}

TEST_F(ImportPreviewTest, AnUnsureGuessIsSaidAndAnotherEncodingReadsTheFileAgainAtOnce)
{
    // Too little text for the detector: GBK is guessed, but not surely.
    fileDialogs.answer(WriteFile(QStringLiteral("short.csv"), "\xD0\xD5\xC3\xFB\r\n\xD5\xC5\xC8\xFD\r\n"));
    preview.Then([](QDialog& dialog) {
        auto* encoding = dialog.findChild<QComboBox*>(QStringLiteral("Encoding"));
        EXPECT_EQ(encoding->currentText(), QStringLiteral("GBK (简体中文)"));
        EXPECT_FALSE(PreviewDriver::Text(dialog, "EncodingNote").isEmpty());
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 2), QStringLiteral("张三"));
        // In Big5 the header names nothing known: every column goes back to what its name says.
        encoding->setCurrentIndex(encoding->findText(QStringLiteral("Big5 (繁体中文)")));
        emit encoding->activated(encoding->currentIndex());
        EXPECT_TRUE(PreviewDriver::Text(dialog, "EncodingNote").isEmpty()) << "the user's choice is sure";
        EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("Unrecognised"))->isHidden());
        EXPECT_NE(PreviewDriver::Cell(dialog, "Sources", 0, 0), QStringLiteral("姓名"));
        EXPECT_FALSE(CanImport(dialog));
        encoding->setCurrentIndex(encoding->findText(QStringLiteral("GBK (简体中文)")));
        emit encoding->activated(encoding->currentIndex());
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 0, 0), QStringLiteral("姓名"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 2), QStringLiteral("张三"));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();

    EXPECT_EQ(messageBoxes.texts(), QStringList{QStringLiteral("已导入1条记录.")});
    EXPECT_EQ(Names().last(), QStringLiteral("张三"));
}

TEST_F(ImportPreviewTest, AHundredThousandColumnsAreMappedInOneBoxAtATime)
{
    QByteArray header = "姓名";
    QByteArray row = "赵六";
    for (int column = 1; column < 100000; ++column) {
        header += ",c" + QByteArray::number(column);
        row += column == 99999 ? ",13800000001" : ",";
    }
    fileDialogs.answer(WriteFile(QStringLiteral("wide.csv"), header + "\r\n" + row + "\r\n"));
    preview.Then([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QTableView*>(QStringLiteral("Sources"))->model()->rowCount(), 100000);
        EXPECT_EQ(dialog.findChildren<QComboBox*>().size(), 1) << "only the encoding's box before a column is clicked";
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 99999, 0), QStringLiteral("c99999"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "Sources", 99999, 1), QStringLiteral("13800000001"));
        Send(dialog, 99999, QStringLiteral("手机"));
        EXPECT_EQ(PreviewDriver::Cell(dialog, "FirstRecords", 0, 4), QStringLiteral("13800000001"));
        PreviewDriver::Press(dialog, "Import");
    });
    form1->Button_ImportCsv->click();

    ASSERT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_TRUE(messageBoxes.texts()[0].startsWith(QStringLiteral("已导入1条记录."))) << messageBoxes.texts()[0].toStdString();
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("手机"), QStringLiteral("data")).last(), QStringLiteral("13800000001"));
}
