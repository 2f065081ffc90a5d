// The category list: "class.dat" read at start, written by add and delete,
// and shown in the editor's category box and the filter box.
#include "MainWindowFixture.h"

#include "forms/Unit1.h"
#include "platform/system/CodePage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using platform::MessageResult;

namespace {

const QStringList kBuiltIn{"网站帐号", "论坛帐号", "邮箱帐号", "QQ帐号", "银行帐号", "游戏帐号"};

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QByteArray CrLfLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += QByteArray::fromStdString(platform::ToAnsi(line)) + "\r\n";
    return bytes;
}

class CategoriesTest : public MainWindowFixture {
protected:
    QString FilePath() const { return FileInFolder(QStringLiteral("class.dat")); }
    QByteArray FileBytes() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes)
    {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void StartWithFile(const QByteArray& bytes)
    {
        WriteFile(bytes);
        StartWith({});
    }
    // Picks the item from the box's drop-down list, as the user does with the mouse.
    void PickCategory(int index)
    {
        QComboBox* box = form1->Edit_FenLei;
        box->showPopup();
        QAbstractItemView* list = box->view();
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_EQ(box->currentText(), box->itemText(index));
    }
    void ExpectBoxesEqualTheFile(const QStringList& items)
    {
        EXPECT_EQ(FileBytes(), CrLfLines(items));
        EXPECT_EQ(Items(form1->Edit_FenLei), items);
        EXPECT_EQ(Items(form1->ComboBoxClass), items);
    }
};

} // namespace

TEST_F(CategoriesTest, AMissingFileIsWrittenWithTheSixBuiltInNames)
{
    StartWith({});
    ExpectBoxesEqualTheFile(kBuiltIn);
    EXPECT_TRUE(form1->Edit_FenLei->currentText().isEmpty());
}

TEST_F(CategoriesTest, AnEmptyFileGivesEmptyBoxes)
{
    StartWithFile({});
    EXPECT_EQ(form1->Edit_FenLei->count(), 0);
    EXPECT_EQ(form1->ComboBoxClass->count(), 0);
    EXPECT_TRUE(FileBytes().isEmpty());
}

TEST_F(CategoriesTest, AGbkFileIsReadByItsLineRulesAndWrittenBackByteForByte)
{
    // "亲友" and "同事" in GBK; CR, LF and CR LF all end lines, an empty line
    // between two breaks is an entry, and a zero byte ends the text.
    const QByteArray gbk = QByteArray("\xC7\xD7\xD3\xD1\r\n\xCD\xAC\xCA\xC2\r\rbank\nmail\r\n") + QByteArray("\0junk\r\n", 7);
    StartWithFile(gbk);
    const QStringList read{"亲友", "同事", "", "bank", "mail"};
    EXPECT_EQ(Items(form1->Edit_FenLei), read);
    EXPECT_EQ(Items(form1->ComboBoxClass), read);

    form1->Edit_FenLei->setEditText(QStringLiteral("朋友"));
    Press("Button_Edit_FenLei_add");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"新分类添加成功."});
    EXPECT_EQ(FileBytes(), QByteArray("\xC7\xD7\xD3\xD1\r\n\xCD\xAC\xCA\xC2\r\n\r\nbank\r\nmail\r\n\xC5\xF3\xD3\xD1\r\n"));
    ExpectBoxesEqualTheFile(read + QStringList{"朋友"});
    EXPECT_TRUE(form1->Edit_FenLei->currentText().isEmpty());
}

TEST_F(CategoriesTest, AddRefusesEmptyTextAndNamesListedInAnyCase)
{
    StartWith({});
    Press("Button_Edit_FenLei_add");
    form1->Edit_FenLei->setEditText(QStringLiteral("qq帐号"));
    Press("Button_Edit_FenLei_add");
    EXPECT_EQ(messageBoxes.texts(), (QStringList{"请填写分类.", "该分类已经存在."}));
    ExpectBoxesEqualTheFile(kBuiltIn);
}

TEST_F(CategoriesTest, AddAcceptsANameOfBlanksAndKeepsTheFilterText)
{
    StartWith({});
    form1->ComboBoxClass->setEditText(QStringLiteral("QQ"));
    form1->Edit_FenLei->setEditText(QStringLiteral("   "));
    Press("Button_Edit_FenLei_add");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"新分类添加成功."});
    ExpectBoxesEqualTheFile(kBuiltIn + QStringList{"   "});
    EXPECT_EQ(form1->ComboBoxClass->currentText(), QStringLiteral("QQ"));
}

TEST_F(CategoriesTest, DeletingATypedNameRemovesNothingButRewritesAndEmptiesTheEditor)
{
    StartWith(SampleBook());
    ClickGridRow(0);  // fills the category box with "QQ帐号", typed into its text, not picked
    form1->ComboBoxClass->setEditText(QStringLiteral("QQ"));
    QFile::remove(FilePath());
    messageBoxes.answer(MessageResult::Yes);
    Press("Button_Edit_FenLei_Del");

    EXPECT_EQ(messageBoxes.texts(), QStringList{"您真的要删除该分类吗?"});
    ExpectBoxesEqualTheFile(kBuiltIn);  // written again, unchanged
    EXPECT_EQ(EditorTexts(), QStringList(10));
    EXPECT_TRUE(form1->ComboBoxClass->currentText().isEmpty());
}

TEST_F(CategoriesTest, DeletingAPickedNameRemovesItFromBothBoxesAndTheFileButNotFromRecords)
{
    StartWith(SampleBook());
    PickCategory(3);
    messageBoxes.answer(MessageResult::Yes);
    Press("Button_Edit_FenLei_Del");
    const QStringList remaining{"网站帐号", "论坛帐号", "邮箱帐号", "银行帐号", "游戏帐号"};
    ExpectBoxesEqualTheFile(remaining);

    // The records keep their category and the filter still finds them.
    messageBoxes.clear();
    TypeInto(form1->ComboBoxClass->lineEdit(), QStringLiteral("QQ帐号"));
    EXPECT_EQ(Panel(0), QStringLiteral("QQ帐号分类下共有2条"));
}

TEST_F(CategoriesTest, APickedNameWhoseTextWasChangedSinceIsNotRemoved)
{
    StartWith({});
    PickCategory(1);
    QTest::keyClick(form1->Edit_FenLei->lineEdit(), Qt::Key_Backspace);
    TypeInto(form1->Edit_FenLei->lineEdit(), QStringLiteral("号"));
    messageBoxes.answer(MessageResult::Yes);
    Press("Button_Edit_FenLei_Del");
    ExpectBoxesEqualTheFile(kBuiltIn);
}

TEST_F(CategoriesTest, TypedTextStaysAsTypedAndIsNeverPickedAlsoWhenTheFocusLeaves)
{
    StartWith({});
    QLineEdit* typed = form1->Edit_FenLei->lineEdit();
    // A name that begins like a listed one is added as typed, not completed to it.
    form1->Edit_FenLei->setFocus();
    TypeInto(typed, QStringLiteral("QQ"));
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("QQ"));
    Press("Button_Edit_FenLei_add");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"新分类添加成功."});
    ExpectBoxesEqualTheFile(kBuiltIn + QStringList{"QQ"});

    // A typed name equal to an item (in any letter case) keeps its letters and
    // is not picked when the focus moves on: "-" removes nothing.
    for (const QString& name : {QStringLiteral("qq帐号"), QStringLiteral("QQ帐号")}) {
        form1->Edit_FenLei->setFocus();
        TypeInto(typed, name);
        form1->Edit_XingMing->setFocus();
        EXPECT_EQ(form1->Edit_FenLei->currentText(), name);
        messageBoxes.answer(MessageResult::Yes);
        Press("Button_Edit_FenLei_Del");
    }
    ExpectBoxesEqualTheFile(kBuiltIn + QStringList{"QQ"});
}

TEST_F(CategoriesTest, DeleteAsksFirstAndNoKeepsEverything)
{
    StartWith({});
    Press("Button_Edit_FenLei_Del");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"请选择要删除的分类."});

    PickCategory(0);
    messageBoxes.clear();
    messageBoxes.answer(MessageResult::No);
    Press("Button_Edit_FenLei_Del");
    ASSERT_EQ(messageBoxes.shown().size(), 1u);
    EXPECT_EQ(messageBoxes.shown()[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(messageBoxes.shown()[0].buttons, platform::MessageButtons::YesNo);
    ExpectBoxesEqualTheFile(kBuiltIn);
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("网站帐号"));
}

TEST_F(CategoriesTest, AFileThatCannotBeWrittenIsReportedAndNoSuccessIsShown)
{
    StartWith({});
    // A folder in the file's place: the file can be neither replaced nor written.
    ASSERT_TRUE(QFile::remove(FilePath()));
    ASSERT_TRUE(QDir(ProgramFolder()).mkdir(QStringLiteral("class.dat")));
    form1->Edit_FenLei->setEditText(QStringLiteral("新的"));
    Press("Button_Edit_FenLei_add");

    ASSERT_EQ(messageBoxes.texts().size(), 1);
    EXPECT_NE(messageBoxes.texts()[0], QStringLiteral("新分类添加成功."));
    EXPECT_FALSE(messageBoxes.texts()[0].isEmpty());
    // The box keeps the new item until exit; the filter box was not reloaded.
    EXPECT_EQ(Items(form1->Edit_FenLei), kBuiltIn + QStringList{"新的"});
    EXPECT_EQ(Items(form1->ComboBoxClass), kBuiltIn);
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("新的"));
}
