// The record editor below the grid: filling it from a clicked row, emptying
// it, moving through the list, and the keyword box's self-clearing.
#include "forms/Unit1.h"

#include "store/ADOQuery.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QWheelEvent>

namespace {

// Takes every vertical wheel turn over the grid, wherever in the grid it lands
// (cells, scroll bars, headers): one record per turn, forward when turned
// towards the user, back otherwise; the grid's own scrolling and the editor
// are left alone.
class GridWheelHook final : public QObject {
public:
    GridWheelHook(TADOQuery* records, QObject* parent) : QObject(parent), records_(records) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return QObject::eventFilter(watched, event);
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->angleDelta().y() == 0)
            return QObject::eventFilter(watched, event);
        if (wheel->angleDelta().y() < 0)
            records_->Next();
        else
            records_->Prior();
        return true;
    }

private:
    TADOQuery* records_;
};

} // namespace

void TForm1::HookGridWheel()
{
    // Each part of the grid is a widget of its own that would take the wheel
    // for itself (a scroll bar scrolls), so the hook watches every one.
    auto* hook = new GridWheelHook(ADOQuery1, DBGrid1);
    DBGrid1->installEventFilter(hook);
    for (QWidget* part : DBGrid1->findChildren<QWidget*>())
        part->installEventFilter(hook);
}

void TForm1::DBGrid1CellClick(QObject* /*Sender*/)
{
    Edit_BianHao->setText(ADOQuery1->FieldAsString(0));
    Edit_FenLei->setCurrentText(ADOQuery1->FieldAsString(1));
    Edit_XingMing->setText(ADOQuery1->FieldAsString(2));
    Edit_QQ->setText(ADOQuery1->FieldAsString(3));
    Edit_ShouJi->setText(ADOQuery1->FieldAsString(4));
    Edit_DianHua->setText(ADOQuery1->FieldAsString(5));
    Edit_ChuanZhen->setText(ADOQuery1->FieldAsString(6));
    Edit_YouXiang->setText(ADOQuery1->FieldAsString(7));
    Edit_WangZhi->setText(ADOQuery1->FieldAsString(8));
    Memo_BeiZhu->setPlainText(ADOQuery1->FieldAsString(9));
    ShowCurrentRecordNumber();
}

void TForm1::ShowCurrentRecordNumber()
{
    StatusBar1->SetPanelText(1, QString::number(ADOQuery1->RecNo()));
}

void TForm1::Button_ClearAllEditClick(QObject* /*Sender*/)
{
    Edit_BianHao->clear();
    Edit_FenLei->setCurrentText(QString());
    Edit_WangZhi->clear();
    Edit_XingMing->clear();
    Edit_QQ->clear();
    Edit_ShouJi->clear();
    Edit_DianHua->clear();
    Edit_ChuanZhen->clear();
    Edit_YouXiang->clear();
    Memo_BeiZhu->clear();
    ComboBoxClass->setCurrentText(QString());
}

void TForm1::Button_FirstClick(QObject* /*Sender*/)
{
    ADOQuery1->First();
    ShowCurrentRecordNumber();
}

void TForm1::Button_PriorClick(QObject* /*Sender*/)
{
    ADOQuery1->Prior();
    ShowCurrentRecordNumber();
}

void TForm1::Button_NextClick(QObject* /*Sender*/)
{
    ADOQuery1->Next();
    ShowCurrentRecordNumber();
}

void TForm1::Button_LastClick(QObject* /*Sender*/)
{
    ADOQuery1->Last();
    ShowCurrentRecordNumber();
}

void TForm1::searchkeywordClick(QObject* /*Sender*/)
{
    searchkeyword->clear();
}

void TForm1::searchkeywordDblClick(QObject* /*Sender*/)
{
    searchkeyword->clear();
}
