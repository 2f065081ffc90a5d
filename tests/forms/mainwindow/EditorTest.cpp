// The editor below the grid: filling it from a clicked row, navigation, the
// mouse wheel over the grid and the self-emptying keyword box.
#include "MainWindowFixture.h"

#include "forms/Unit1.h"
#include "store/ADOQuery.h"

#include <QApplication>
#include <QHeaderView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

namespace {

class EditorTest : public MainWindowFixture {
protected:
    void SetUp() override { StartWith(SampleBook()); }

    // One wheel message over a part of the grid (its cells unless told),
    // turned by this distance.
    void TurnWheel(int distance, QWidget* part = nullptr)
    {
        QWidget* over = part ? part : form1->DBGrid1->viewport();
        const QPointF at(over->rect().center());
        QWheelEvent wheel(at, over->mapToGlobal(at), {}, {0, distance}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
    }
};

} // namespace

TEST_F(EditorTest, AClickOnAnyCellFillsAllTenControlsAndPanelOne)
{
    ExecOnDatabase(QStringLiteral("update data set 分类='旧分类' where 编号=2"));
    Press("Button_Refresh");
    ClickGridRow(1, 5);
    const Contact second = SampleBook()[1];
    // Hidden columns (传真, 主页, 备注) are read like the shown ones; a category
    // that is not in the list is shown all the same.
    EXPECT_EQ(EditorTexts(), (QStringList{"2", "旧分类", second.name, second.qq, second.mobile, second.phone,
                                          second.fax, second.email, second.homePage, second.remarks}));
    EXPECT_EQ(Panel(1), QStringLiteral("2"));

    ClickGridRow(0, 0);
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QStringLiteral("第一行\n第二行"));
    EXPECT_EQ(Panel(1), QStringLiteral("1"));
}

TEST_F(EditorTest, NavigationMovesTheRowAndPanelOneButNotTheEditor)
{
    ClickGridRow(0);
    const QStringList clicked = EditorTexts();

    Press("Button_Next");
    EXPECT_EQ(Panel(1), QStringLiteral("2"));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(EditorTexts(), clicked);

    Press("Button_Last");
    EXPECT_EQ(Panel(1), QStringLiteral("3"));
    Press("Button_Next");  // at the last row it stays
    EXPECT_EQ(Panel(1), QStringLiteral("3"));
    EXPECT_EQ(CurrentRow(), 2);

    Press("Button_First");
    EXPECT_EQ(Panel(1), QStringLiteral("1"));
    Press("Button_Prior");  // at the first row it stays
    EXPECT_EQ(Panel(1), QStringLiteral("1"));
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(EditorTexts(), clicked);
    // The grid marks the list's current row.
    EXPECT_EQ(form1->DBGrid1->currentIndex().row(), 0);
}

TEST_F(EditorTest, MovingWithTheKeyboardInsideTheGridDoesNotFillTheEditor)
{
    ClickGridRow(0);
    const QStringList clicked = EditorTexts();
    form1->DBGrid1->setFocus();
    QTest::keyClick(form1->DBGrid1, Qt::Key_Down);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(EditorTexts(), clicked);
    EXPECT_EQ(Panel(1), QStringLiteral("1"));
}

TEST_F(EditorTest, PanelOneOutlivesAReloadUntilTheNextMove)
{
    ClickGridRow(2);
    Press("Button_Refresh");
    EXPECT_EQ(Panel(1), QStringLiteral("3"));
    EXPECT_EQ(CurrentRow(), 0);
}

TEST_F(EditorTest, NavigationOnAnEmptyListWritesMinusOne)
{
    ExecOnDatabase(QStringLiteral("delete from data"));
    Press("Button_Refresh");
    form1->Edit_XingMing->setText(QStringLiteral("kept"));
    for (const char* button : {"Button_First", "Button_Prior", "Button_Next", "Button_Last"}) {
        Press(button);
        EXPECT_EQ(Panel(1), QStringLiteral("-1")) << button;
    }
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("kept"));
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(EditorTest, EachWheelMessageMovesExactlyOneRowAndNothingElse)
{
    ClickGridRow(0);
    const QStringList clicked = EditorTexts();

    TurnWheel(-480);  // a large turn towards the user is still one row
    EXPECT_EQ(CurrentRow(), 1);
    TurnWheel(-1);
    EXPECT_EQ(CurrentRow(), 2);
    TurnWheel(-120);  // stops at the end
    EXPECT_EQ(CurrentRow(), 2);
    TurnWheel(360);
    EXPECT_EQ(CurrentRow(), 1);
    TurnWheel(120);
    TurnWheel(120);
    EXPECT_EQ(CurrentRow(), 0);

    EXPECT_EQ(Panel(1), QStringLiteral("1"));
    EXPECT_EQ(EditorTexts(), clicked);

    // Over an empty list the wheel has nothing to move.
    ExecOnDatabase(QStringLiteral("delete from data"));
    Press("Button_Refresh");
    TurnWheel(-120);
    TurnWheel(120);
    EXPECT_EQ(CurrentRow(), -1);
}

TEST_F(EditorTest, TheWheelAnywhereInTheGridMovesOneRecordAndScrollsNothingItself)
{
    for (int i = 0; i < 40; ++i)
        ExecOnDatabase(QStringLiteral("insert into data (分类,姓名) values ('QQ帐号','n%1')").arg(i));
    Press("Button_Refresh");
    QTableView* grid = form1->DBGrid1;
    const QScrollBar* scroll = grid->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    // Cells, both scroll bars, column titles, row indicator: one row each, no scrolling.
    int row = 0;
    for (QWidget* part : {grid->viewport(), static_cast<QWidget*>(grid->verticalScrollBar()),
                          static_cast<QWidget*>(grid->horizontalScrollBar()), grid->horizontalHeader()->viewport(),
                          grid->verticalHeader()->viewport()}) {
        TurnWheel(-120, part);
        EXPECT_EQ(CurrentRow(), ++row);
        EXPECT_EQ(scroll->value() + grid->horizontalScrollBar()->value(), 0);
    }
    TurnWheel(120, grid->verticalScrollBar());
    EXPECT_EQ(CurrentRow(), row - 1);
}

TEST_F(EditorTest, AClickOrDoubleClickEmptiesTheKeywordBox)
{
    QLineEdit* keyword = form1->searchkeyword;
    EXPECT_EQ(keyword->text(), QStringLiteral("请输入搜索关键词"));
    QTest::mouseClick(keyword, Qt::LeftButton);
    EXPECT_TRUE(keyword->text().isEmpty());

    TypeInto(keyword, QStringLiteral("张"));
    QTest::mouseDClick(keyword, Qt::LeftButton);
    EXPECT_TRUE(keyword->text().isEmpty());
}
