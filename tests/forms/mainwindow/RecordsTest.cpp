// The record page's operations driven through its controls: reload, search,
// category filter, add, modify and delete on a real database.
#include "MainWindowFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "store/ADOQuery.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

using platform::MessageResult;

namespace {

class RecordsTest : public MainWindowFixture {
protected:
    void SetUp() override { StartWith(SampleBook()); }

    void Search(const QString& field, const QString& keyword)
    {
        form1->ComboBoxSeachClass->setEditText(field);
        form1->searchkeyword->setText(keyword);
        Press("Button_Search");
    }
    // Types into the filter box as a user does, one key at a time.
    void TypeIntoFilter(const QString& text)
    {
        TypeInto(form1->ComboBoxClass->lineEdit(), text);
    }
};

struct ColumnLook {
    int width;
    bool hidden;
};
const ColumnLook kLayout[10] = {{40, false}, {60, false}, {100, false}, {110, false}, {110, false},
                                {110, false}, {60, true},  {120, false}, {60, true},  {60, true}};
const QStringList kTitles{"编号", "分类", "姓名", "QQ", "手机", "电话", "传真", "邮箱", "主页", "备注"};

void ExpectColumnLayout(const QTableView* grid)
{
    ASSERT_EQ(grid->model()->columnCount(), 10);
    for (int column = 0; column < 10; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), kTitles[column]);
        EXPECT_EQ(grid->isColumnHidden(column), kLayout[column].hidden);
        // A hidden section reports no size; its width shows once it is shown again.
        if (!kLayout[column].hidden) {
            EXPECT_EQ(grid->columnWidth(column), kLayout[column].width);
        }
    }
}

} // namespace

TEST_F(RecordsTest, ReloadCountsTheRecordsLaysOutTheColumnsAndEmptiesTheEditor)
{
    FillEditor(SampleBook()[0]);
    form1->ComboBoxClass->setEditText(QStringLiteral("QQ"));
    // The user drags a border and the grid is reloaded: the layout comes back.
    form1->DBGrid1->horizontalHeader()->resizeSection(2, 300);
    form1->DBGrid1->setColumnHidden(6, false);
    Press("Button_Refresh");

    EXPECT_EQ(Panel(0), QStringLiteral("共3条信息"));
    EXPECT_EQ(GridColumn(2), (QStringList{"张三", "张四", "李五"}));
    EXPECT_EQ(CurrentRow(), 0);
    ExpectColumnLayout(form1->DBGrid1);
    EXPECT_EQ(EditorTexts(), QStringList(10));
    EXPECT_TRUE(form1->ComboBoxClass->currentText().isEmpty());
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(RecordsTest, SearchWithAnEmptyKeywordOnlyAsks)
{
    form1->searchkeyword->clear();
    Press("Button_Search");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"请输入搜索关键词！"});
    EXPECT_EQ(Panel(0), QStringLiteral("共3条信息"));
    EXPECT_EQ(GridRows(), 3);
}

TEST_F(RecordsTest, SearchShowsTheHitsKeepsTheEditorAndEmptiesTheKeywordBox)
{
    ClickGridRow(2);
    const QStringList shown = EditorTexts();
    Search(QStringLiteral("姓名"), QStringLiteral("张"));

    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    EXPECT_EQ(Panel(0), QStringLiteral("关于张的信息,共搜索到2条"));
    EXPECT_EQ(GridColumn(2), (QStringList{"张三", "张四"}));
    ExpectColumnLayout(form1->DBGrid1);
    EXPECT_TRUE(form1->searchkeyword->text().isEmpty());
    EXPECT_EQ(EditorTexts(), shown);
}

TEST_F(RecordsTest, SearchWithoutHitReportsZeroWhileTheGridShowsEverything)
{
    // The prompt text is searched for when the box was never clicked.
    Press("Button_Search");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"对不起没有找到相关信息！"});
    EXPECT_EQ(Panel(0), QStringLiteral("关于请输入搜索关键词的信息,共搜索到0条"));
    EXPECT_EQ(GridRows(), 3);
    ExpectColumnLayout(form1->DBGrid1);
    EXPECT_TRUE(form1->searchkeyword->text().isEmpty());
}

TEST_F(RecordsTest, EverySearchFieldOfTheListIsAColumn)
{
    const QComboBox* fields = form1->ComboBoxSeachClass;
    ASSERT_EQ(fields->count(), 7);
    for (int i = 0; i < fields->count(); ++i) {
        // Blanks typed around the name still name the column.
        for (const QString& field : {fields->itemText(i), QStringLiteral(" %1\t ").arg(fields->itemText(i))}) {
            SCOPED_TRACE(field.toStdString());
            Search(field, QStringLiteral("example"));
            EXPECT_TRUE(form1->ADOQuery1->Active());
            EXPECT_EQ(GridRows(), 3);
        }
    }
    // Only 邮箱 and 主页 hold "example": the others ended in the fallback.
    EXPECT_EQ(messageBoxes.texts(), QStringList(10, QStringLiteral("对不起没有找到相关信息！")));
}

TEST_F(RecordsTest, PercentAndUnderscoreActAsWildcards)
{
    ExecOnDatabase(QStringLiteral("insert into data (分类,姓名,备注) values ('QQ帐号','无备注',NULL)"));
    Search(QStringLiteral("备注"), QStringLiteral("%"));
    EXPECT_EQ(Panel(0), QStringLiteral("关于%的信息,共搜索到3条"));  // the null remark does not match

    // "_" stands for one character: "10001" to "10003" all match "100_".
    Search(QStringLiteral("QQ"), QStringLiteral("100_3"));
    EXPECT_EQ(GridColumn(2), QStringList{"李五"});
    Search(QStringLiteral("QQ"), QStringLiteral("1_0"));
    EXPECT_EQ(GridRows(), 3);
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(RecordsTest, QuotesInKeywordAndCategoryAreSearchedAsText)
{
    ExecOnDatabase(QStringLiteral("insert into data (分类,姓名) values ('it''s','O''Brien')"));
    Search(QStringLiteral("姓名"), QStringLiteral("O'B"));
    EXPECT_EQ(GridColumn(2), QStringList{"O'Brien"});
    // A quote that would close the pattern early finds nothing instead of everything.
    Search(QStringLiteral("姓名"), QStringLiteral("x' or '1'='1"));
    EXPECT_EQ(messageBoxes.texts(), QStringList{"对不起没有找到相关信息！"});

    messageBoxes.clear();
    TypeIntoFilter(QStringLiteral("it'"));
    EXPECT_EQ(Panel(0), QStringLiteral("it'分类下共有1条"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(RecordsTest, ASearchFieldThatIsNoColumnFailsWithTheDatabaseErrorAndAnEmptyGrid)
{
    for (const QString& field : {QStringLiteral("籍贯"), QStringLiteral("姓名 like '%' or 1=1 --"),
                                 QStringLiteral("姓名`")}) {
        SCOPED_TRACE(field.toStdString());
        Press("Button_Refresh");
        messageBoxes.clear();
        Search(field, QStringLiteral("张"));
        ASSERT_EQ(messageBoxes.texts().size(), 1);
        EXPECT_FALSE(messageBoxes.texts()[0].contains(QStringLiteral("对不起")));
        EXPECT_EQ(GridRows(), 0);
        EXPECT_FALSE(form1->ADOQuery1->Active());
        // Later steps did not run.
        EXPECT_EQ(Panel(0), QStringLiteral("共3条信息"));
        EXPECT_EQ(form1->searchkeyword->text(), QStringLiteral("张"));
    }
    // The next reload works as before.
    Press("Button_Refresh");
    EXPECT_EQ(GridRows(), 3);
}

TEST_F(RecordsTest, FilterRunsAtEveryTypedLetterAndComplainsAtTheFirstPrefixWithoutRecords)
{
    QStringList panels;
    for (const QChar letter : QStringLiteral("QQ帐x")) {
        TypeIntoFilter(QString(letter));
        panels << Panel(0);
        if (letter == QChar(u'帐')) {
            EXPECT_TRUE(messageBoxes.texts().isEmpty());
        }
    }
    EXPECT_EQ(panels, (QStringList{"Q分类下共有2条", "QQ分类下共有2条", "QQ帐分类下共有2条", "QQ帐x分类下共有0条"}));
    EXPECT_EQ(messageBoxes.texts(), QStringList{"对不起该分类下还没有信息"});
    // The fallback lists everything, laid out like every list.
    EXPECT_EQ(GridRows(), 3);
    ExpectColumnLayout(form1->DBGrid1);
}

TEST_F(RecordsTest, FilterKeepsTheEditorAndClearingItsTextKeepsTheList)
{
    ClickGridRow(0);
    const QStringList shown = EditorTexts();
    TypeIntoFilter(QStringLiteral("网站"));
    EXPECT_EQ(GridColumn(2), QStringList{"李五"});
    EXPECT_EQ(EditorTexts(), shown);
    EXPECT_EQ(form1->ComboBoxClass->currentText(), QStringLiteral("网站"));

    QLineEdit* filterText = form1->ComboBoxClass->lineEdit();
    filterText->selectAll();
    QTest::keyClick(filterText, Qt::Key_Backspace);
    EXPECT_TRUE(filterText->text().isEmpty());
    EXPECT_EQ(GridColumn(2), QStringList{"李五"});
    EXPECT_EQ(Panel(0), QStringLiteral("网站分类下共有1条"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(RecordsTest, PickingACategoryFromTheFilterListFilters)
{
    QComboBox* filter = form1->ComboBoxClass;
    filter->showPopup();
    QAbstractItemView* list = filter->view();
    const int webSite = filter->findText(QStringLiteral("网站帐号"));
    ASSERT_GE(webSite, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(webSite, 0)).center());
    EXPECT_EQ(Panel(0), QStringLiteral("网站帐号分类下共有1条"));
    EXPECT_EQ(GridColumn(2), QStringList{"李五"});
}

TEST_F(RecordsTest, TheFilterRunsOncePerPasteOrPickAndTheWheelNeedsTheFocus)
{
    // "银行帐号" is listed and has no records: every run of the filter says so,
    // and leaving the box afterwards runs nothing more.
    QComboBox* filter = form1->ComboBoxClass;
    QGuiApplication::clipboard()->setText(QStringLiteral("银行帐号"));  // the offscreen platform's own
    filter->setFocus();
    QTest::keyClick(filter->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    form1->Edit_XingMing->setFocus();
    filter->showPopup();
    QAbstractItemView* list = filter->view();
    const QModelIndex bank = list->model()->index(filter->findText(QStringLiteral("银行帐号")), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(bank).center());
    form1->Edit_XingMing->setFocus();
    EXPECT_EQ(messageBoxes.texts(), QStringList(2, QStringLiteral("对不起该分类下还没有信息")));

    // The wheel over a list changes it only once the list has the focus (and
    // does not give it the focus).
    messageBoxes.clear();
    auto turnWheelOver = [](QComboBox* box) {
        EXPECT_NE(box->focusPolicy(), Qt::WheelFocus);
        QWheelEvent wheel({}, {}, {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
        return box->currentText();
    };
    EXPECT_EQ(turnWheelOver(form1->ComboBoxSeachClass), QStringLiteral("姓名"));
    form1->ComboBoxSeachClass->setFocus();
    EXPECT_EQ(turnWheelOver(form1->ComboBoxSeachClass), QStringLiteral("QQ"));
    EXPECT_EQ(turnWheelOver(filter), QStringLiteral("银行帐号"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
    filter->setFocus();
    EXPECT_EQ(turnWheelOver(filter), QStringLiteral("游戏帐号"));  // the item after "银行帐号"
    EXPECT_EQ(Panel(0), QStringLiteral("游戏帐号分类下共有0条"));
    EXPECT_EQ(messageBoxes.texts().size(), 1);
}

TEST_F(RecordsTest, AddChecksCategoryThenNameAndTouchesNothingWhenRefused)
{
    Contact noName = SampleBook()[0];
    noName.category.clear();
    noName.name.clear();
    FillEditor(noName);
    Press("Button1");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"请选择分类."});

    messageBoxes.clear();
    form1->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
    Press("Button1");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"请填写姓名."});
    EXPECT_EQ(form1->Edit_QQ->text(), noName.qq);
    EXPECT_EQ(StoredNames().size(), 3);
}

TEST_F(RecordsTest, AddStoresEveryValueAsTypedThenEmptiesAndReloads)
{
    const Contact typed{QStringLiteral("it's"),      QStringLiteral("O'Brien "), QStringLiteral("10%_"),
                        QStringLiteral("138"),       QStringLiteral("010"),      QStringLiteral("传'真"),
                        QStringLiteral("a@b.example"), QStringLiteral("http://x.example/?a='1'"),
                        QStringLiteral("line one\nit's line two\n\nline four")};
    ClickGridRow(1);  // a shown record is not changed by an add
    FillEditor(typed);
    QStringList editorWhileTold;
    messageBoxes.whileOpen = [&](const platform::MessageBoxRequest&) { editorWhileTold = EditorTexts(); };
    Press("Button1");

    EXPECT_EQ(messageBoxes.texts(), QStringList{"添加成功."});
    EXPECT_EQ(editorWhileTold.mid(1), (QStringList{typed.category, typed.name, typed.qq, typed.mobile, typed.phone,
                                                   typed.fax, typed.email, typed.homePage, typed.remarks}));
    EXPECT_EQ(EditorTexts(), QStringList(10));
    EXPECT_EQ(Panel(0), QStringLiteral("共4条信息"));
    EXPECT_EQ(StoredNames(), (QStringList{"张三", "张四", "李五", "O'Brien "}));
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("备注"), QStringLiteral("data")).last(), typed.remarks);
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("主页"), QStringLiteral("data")).last(), typed.homePage);
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("编号"), QStringLiteral("data")).last(), QStringLiteral("4"));
}

TEST_F(RecordsTest, ValuesOfAnyLengthPassThroughTheEditorWhole)
{
    // Longer than a line edit holds by default (32,767 characters).
    const QString longName(40000, QChar(u'名'));
    const QString longCategory(40000, QChar(u'c'));
    ExecOnDatabase(QStringLiteral("update data set 姓名='%1', 分类='%2' where 编号=2").arg(longName, longCategory));
    Press("Button_Refresh");
    ClickGridRow(1);
    Press("Button2");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"修改成功."});
    EXPECT_EQ(StoredNames()[1], longName);
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("分类"), QStringLiteral("data"))[1], longCategory);
    for (const QLineEdit* box : form1->findChildren<QLineEdit*>() + form2->findChildren<QLineEdit*>())
        EXPECT_GE(box->maxLength(), 1 << 30) << box->objectName().toStdString();
}

TEST_F(RecordsTest, ModifyWithoutAClickedRecordIsRefused)
{
    FillEditor(SampleBook()[0]);
    Press("Button2");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"不可编辑"});
    EXPECT_EQ(StoredNames(), (QStringList{"张三", "张四", "李五"}));
}

TEST_F(RecordsTest, ModifyChecksCategoryAndNameAfterTheSelection)
{
    ClickGridRow(0);
    form1->Edit_XingMing->clear();
    Press("Button2");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"请填写姓名."});
    form1->Edit_FenLei->setEditText(QString());
    Press("Button2");
    EXPECT_EQ(messageBoxes.texts(), (QStringList{"请填写姓名.", "请选择分类."}));
    EXPECT_EQ(StoredNames(), (QStringList{"张三", "张四", "李五"}));
}

TEST_F(RecordsTest, ModifyAfterNavigationChangesTheClickedRecordAndReturnsToTheRowInPanelOne)
{
    ClickGridRow(0);
    Press("Button_Next");
    Press("Button_Next");
    ASSERT_EQ(Panel(1), QStringLiteral("3"));
    form1->Edit_XingMing->setText(QStringLiteral("张'三"));
    form1->Memo_BeiZhu->setPlainText(QStringLiteral("甲\n乙'\n丙"));
    QStringList editorWhileTold;
    messageBoxes.whileOpen = [&](const platform::MessageBoxRequest&) { editorWhileTold = EditorTexts(); };
    Press("Button2");

    EXPECT_EQ(messageBoxes.texts(), QStringList{"修改成功."});
    EXPECT_EQ(editorWhileTold, QStringList(10));  // emptied before the message
    EXPECT_EQ(StoredNames(), (QStringList{"张'三", "张四", "李五"}));
    EXPECT_EQ(ColumnOnDatabase(QStringLiteral("备注"), QStringLiteral("data")).first(), QStringLiteral("甲\n乙'\n丙"));
    EXPECT_EQ(Panel(0), QStringLiteral("共3条信息"));
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(Panel(1), QStringLiteral("3"));
}

TEST_F(RecordsTest, DeleteWithoutAClickDeletesTheFirstRowAfterConfirmation)
{
    form1->Edit_XingMing->setText(QStringLiteral("typed"));
    messageBoxes.answer(MessageResult::Yes);
    Press("Button3");

    ASSERT_EQ(messageBoxes.shown().size(), 1u);
    const platform::MessageBoxRequest& asked = messageBoxes.shown()[0];
    EXPECT_EQ(asked.text, QStringLiteral("您真的要删除该记录吗?"));
    EXPECT_EQ(asked.caption, QStringLiteral("警告"));
    EXPECT_EQ(asked.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(asked.icon, platform::MessageIcon::Warning);
    EXPECT_TRUE(asked.stayOnTop);
    EXPECT_EQ(StoredNames(), (QStringList{"张四", "李五"}));
    EXPECT_EQ(GridColumn(2), (QStringList{"张四", "李五"}));
    EXPECT_EQ(Panel(0), QStringLiteral("共3条信息"));  // not reloaded
    EXPECT_TRUE(form1->Edit_XingMing->text().isEmpty());
}

TEST_F(RecordsTest, DeleteRemovesTheCurrentRowNotTheRecordInTheEditor)
{
    ClickGridRow(0);
    Press("Button_Next");
    messageBoxes.answer(MessageResult::Yes);
    Press("Button3");
    EXPECT_EQ(StoredNames(), (QStringList{"张三", "李五"}));
}

TEST_F(RecordsTest, DeleteAnsweredNoKeepsEverything)
{
    ClickGridRow(1);
    const QStringList shown = EditorTexts();
    messageBoxes.answer(MessageResult::No);
    Press("Button3");
    EXPECT_EQ(StoredNames(), (QStringList{"张三", "张四", "李五"}));
    EXPECT_EQ(GridRows(), 3);
    EXPECT_EQ(EditorTexts(), shown);
}

TEST_F(RecordsTest, DeleteOnAnEmptyListSaysNothingAndKeepsTheEditor)
{
    ExecOnDatabase(QStringLiteral("delete from data"));
    Press("Button_Refresh");
    form1->Edit_XingMing->setText(QStringLiteral("kept"));
    messageBoxes.answer(MessageResult::Yes);
    Press("Button3");
    EXPECT_EQ(messageBoxes.texts(), QStringList{"您真的要删除该记录吗?"});
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("kept"));
}
