#include "MainWindowFixture.h"

#include "forms/Unit1.h"
#include "store/ADOQuery.h"
#include "ui/StatusBar.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

QString Quoted(const QString& value)
{
    QString doubled = value;
    return QLatin1Char('\'') + doubled.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

} // namespace

std::vector<Contact> SampleBook()
{
    return {
        {QStringLiteral("QQ帐号"), QStringLiteral("张三"), QStringLiteral("10001"), QStringLiteral("13800000001"),
         QStringLiteral("010-1"), QStringLiteral("fax1"), QStringLiteral("zs@mail.example"),
         QStringLiteral("www.zs.example"), QStringLiteral("第一行\n第二行")},
        {QStringLiteral("QQ帐号"), QStringLiteral("张四"), QStringLiteral("10002"), QStringLiteral("13800000002"),
         QStringLiteral("010-2"), QStringLiteral("fax2"), QStringLiteral("zsi@mail.example"),
         QStringLiteral("www.zsi.example"), QStringLiteral("备注二")},
        {QStringLiteral("网站帐号"), QStringLiteral("李五"), QStringLiteral("10003"), QStringLiteral("13800000003"),
         QStringLiteral("010-3"), QStringLiteral("fax3"), QStringLiteral("lw@mail.example"),
         QStringLiteral("www.lw.example"), QStringLiteral("备注三")},
    };
}

void TypeInto(QWidget* control, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(control, c.toLatin1());
            continue;
        }
        QTest::sendKeyEvent(QTest::Press, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void MainWindowFixture::StartWith(const std::vector<Contact>& records)
{
    DeliverDatabase(QStringLiteral("pw2010"));
    for (const Contact& c : records) {
        const QStringList values{c.category, c.name, c.qq, c.mobile, c.phone, c.fax, c.email, c.homePage, c.remarks};
        QStringList quoted;
        for (const QString& value : values)
            quoted << Quoted(value);
        ExecOnDatabase(QStringLiteral("insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values (%1)")
                           .arg(quoted.join(QLatin1Char(','))));
    }
    StartProgram();
    form1->show();
    form1->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form1.get()));
    Press("Button_Refresh");
}

void MainWindowFixture::Press(const char* buttonName)
{
    Control<QPushButton>(buttonName)->click();
}

QString MainWindowFixture::Panel(int index) const
{
    return form1->StatusBar1->PanelText(index);
}

QStringList MainWindowFixture::GridColumn(int column) const
{
    const QAbstractItemModel* model = form1->DBGrid1->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

int MainWindowFixture::GridRows() const
{
    return form1->DBGrid1->model()->rowCount();
}

int MainWindowFixture::CurrentRow() const
{
    return form1->ADOQuery1->CurrentRow();
}

void MainWindowFixture::ClickGridRow(int row, int column)
{
    QTableView* grid = form1->DBGrid1;
    const QModelIndex cell = grid->model()->index(row, column);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

QStringList MainWindowFixture::EditorTexts() const
{
    return {form1->Edit_BianHao->text(),   form1->Edit_FenLei->currentText(), form1->Edit_XingMing->text(),
            form1->Edit_QQ->text(),        form1->Edit_ShouJi->text(),        form1->Edit_DianHua->text(),
            form1->Edit_ChuanZhen->text(), form1->Edit_YouXiang->text(),      form1->Edit_WangZhi->text(),
            form1->Memo_BeiZhu->toPlainText()};
}

void MainWindowFixture::FillEditor(const Contact& c)
{
    form1->Edit_FenLei->setEditText(c.category);
    form1->Edit_XingMing->setText(c.name);
    form1->Edit_QQ->setText(c.qq);
    form1->Edit_ShouJi->setText(c.mobile);
    form1->Edit_DianHua->setText(c.phone);
    form1->Edit_ChuanZhen->setText(c.fax);
    form1->Edit_YouXiang->setText(c.email);
    form1->Edit_WangZhi->setText(c.homePage);
    form1->Memo_BeiZhu->setPlainText(c.remarks);
}
