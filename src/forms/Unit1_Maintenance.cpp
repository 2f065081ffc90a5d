// The settings page's maintenance commands: clear all records, and compact
// and repair the database file.
#include "forms/Unit1.h"

#include "forms/PlaceMessages.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/Unit_DB.h"

#include <QFileInfo>
#include <QPushButton>

void TForm1::Button9Click(QObject* /*Sender*/)
{
    if (!ConfirmWarning(QStringLiteral("您真的要删除数据库中所有的记录吗?")))
        return;
    try {
        // The delete runs beside the record list rather than in its place: a
        // delete the database refuses (another program holding the file)
        // changes nothing, and the list goes on showing the records, which
        // are all still in the file, instead of an empty grid.
        TADOQuery clearing;
        clearing.Connection = ADOConnection1.get();
        clearing.SQL.SetText(QStringLiteral("delete from (data)"));
        clearing.ExecSQL();
        ADOQuery1->SQL.SetText(QStringLiteral("select * from (data)"));
        ADOQuery1->Open();
        Button_ClearAllEditClick(Button_ClearAllEdit);
        Button_RefreshClick(Button_Refresh);
    } catch (const std::exception&) {
        // Clearing reports nothing.
    }
}

void TForm1::Button11Click(QObject* /*Sender*/)
{
    const QString path = Application->ProgramFolder() + store::DatabaseFileName;
    if (!QFileInfo::exists(path)) {
        ShowMessage(QStringLiteral("没有发现数据库\"_.udb\"文件."));
        return;
    }
    ADOConnection1->Close();
    CompactionFailure failure;
    if (!CompactDatabaseFile(path, store::DatabasePassword, &failure)) {
        // The file is as it was, and so are the rows the list shows; a reload
        // would only add the engine's text to the one message a failure gives.
        ShowMessage(CompactionFailed(failure));
        return;
    }
    ShowMessage(QStringLiteral("数据库压缩完成."));
    // The grid must not go on showing rows read before the file was replaced.
    Button_RefreshClick(Button_Refresh);
}
