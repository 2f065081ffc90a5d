// The editor below the grid: filling it from a clicked row, navigation, the
// mouse wheel over the grid and the self-emptying keyword box.
#include "MainWindowFixture.h"

#include "app/Unit1.h"
#include "store/ADOQuery.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

namespace {

class EditorTest : public MainWindowFixture {
protected:
    void SetUp() override { StartWith(SampleBook()); }

    // One wheel message over the grid's cells, turned by this distance.
    void TurnWheel(int distance)
    {
        QWidget* cells = form1->DBGrid1->viewport();
        const QPointF at(cells->rect().center());
        QWheelEvent wheel(at, cells->mapToGlobal(at), {}, {0, distance}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(cells, &wheel);
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
