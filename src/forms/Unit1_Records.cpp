// The record page's operations on table data: reload, search, category filter,
// add, modify and delete.
#include "forms/Unit1.h"

#include "runtime/Dialogs.h"
#include "store/ADOQuery.h"
#include "store/RecordStatements.h"
#include "ui/GridLayout.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Clears the statement (which closes the result) and sets a new one-line statement.
void ReplaceStatement(TADOQuery* query, const QString& statement)
{
    query->SQL.Clear();
    query->SQL.Add(statement);
}

void ReopenWith(TADOQuery* query, const QString& statement)
{
    query->Close();
    ReplaceStatement(query, statement);
    query->Open();
}

} // namespace

statements::RecordValues TForm1::EditorValues() const
{
    return {Edit_BianHao->text(), Edit_FenLei->currentText(), Edit_XingMing->text(), Edit_QQ->text(),
            Edit_ShouJi->text(),  Edit_DianHua->text(),       Edit_ChuanZhen->text(), Edit_YouXiang->text(),
            Edit_WangZhi->text(), Memo_BeiZhu->toPlainText()};
}

bool TForm1::EditorHasCategoryAndName()
{
    if (Edit_FenLei->currentText().isEmpty()) {
        ShowMessage(QStringLiteral("请选择分类."));
        return false;
    }
    if (Edit_XingMing->text().isEmpty()) {
        ShowMessage(QStringLiteral("请填写姓名."));
        return false;
    }
    return true;
}

void TForm1::Button_RefreshClick(QObject* /*Sender*/)
{
    ReopenWith(ADOQuery1, statements::List());
    ApplyGridColumnLayout(DBGrid1);
    StatusBar1->SetPanelText(0, QStringLiteral("共%1条信息").arg(ADOQuery1->RecordCount()));
    Button_ClearAllEditClick(Button_ClearAllEdit);
}

void TForm1::Button_SearchClick(QObject* /*Sender*/)
{
    const QString keyword = searchkeyword->text();
    if (keyword.isEmpty()) {
        ShowMessage(QStringLiteral("请输入搜索关键词！"));
        return;
    }
    ReopenWith(ADOQuery1, statements::Search(ComboBoxSeachClass->currentText(), keyword));
    StatusBar1->SetPanelText(0, QStringLiteral("关于") + keyword
                                    + QStringLiteral("的信息,共搜索到%1条").arg(ADOQuery1->RecordCount()));
    if (ADOQuery1->Eof()) {
        ShowMessage(QStringLiteral("对不起没有找到相关信息！"));
        ReopenWith(ADOQuery1, statements::List());
    }
    ApplyGridColumnLayout(DBGrid1);
    searchkeyword->clear();
}

void TForm1::ComboBoxClassChange(QObject* /*Sender*/)
{
    const QString category = ComboBoxClass->currentText();
    if (category.isEmpty())
        return;
    ReopenWith(ADOQuery1, statements::CategoryFilter(category));
    StatusBar1->SetPanelText(0, category + QStringLiteral("分类下共有%1条").arg(ADOQuery1->RecordCount()));
    if (ADOQuery1->Eof()) {
        ShowMessage(QStringLiteral("对不起该分类下还没有信息"));
        ReopenWith(ADOQuery1, statements::CategoryFallback());
    }
    ApplyGridColumnLayout(DBGrid1);
}

void TForm1::Button1Click(QObject* /*Sender*/)
{
    if (!EditorHasCategoryAndName())
        return;
    ReplaceStatement(ADOQuery1, statements::Insert(EditorValues()));
    ADOQuery1->ExecSQL();
    ShowMessage(QStringLiteral("添加成功."));
    Button_ClearAllEditClick(Button_ClearAllEdit);
    Button_RefreshClick(Button_Refresh);
}

void TForm1::Button2Click(QObject* /*Sender*/)
{
    if (Edit_BianHao->text().isEmpty()) {
        ShowMessage(QStringLiteral("不可编辑"));
        return;
    }
    if (!EditorHasCategoryAndName())
        return;
    ADOQuery1->SQL.Clear();
    for (const QString& line : statements::Update(EditorValues()))
        ADOQuery1->SQL.Add(line);
    ADOQuery1->ExecSQL();
    Button_ClearAllEditClick(Button_ClearAllEdit);
    ShowMessage(QStringLiteral("修改成功."));
    Button_RefreshClick(Button_Refresh);
    // Back to the row number last shown in panel 1.
    ADOQuery1->MoveBy(StatusBar1->PanelText(1).toInt() - 1);
}

void TForm1::Button3Click(QObject* /*Sender*/)
{
    if (!ConfirmWarning(QStringLiteral("您真的要删除该记录吗?")))
        return;
    try {
        ADOQuery1->Delete();
        Button_ClearAllEditClick(Button_ClearAllEdit);
    } catch (const std::exception&) {
        // A refused delete (or an empty list) is dropped without a message.
    }
}
