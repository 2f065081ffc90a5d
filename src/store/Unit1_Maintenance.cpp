// The settings page's maintenance commands: clear all records, and compact
// and repair the database file.
#include "app/Unit1.h"

#include "app/Application.h"
#include "app/Dialogs.h"
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
        ADOQuery1->SQL.SetText(QStringLiteral("delete from (data)"));
        ADOQuery1->ExecSQL();
        ADOQuery1->SQL.SetText(QStringLiteral("select * from (data)"));
        ADOQuery1->Open();
        Button_ClearAllEditClick(Button_ClearAllEdit);
        Button_RefreshClick(Button_Refresh);
    } catch (const std::exception&) {
        // Clearing reports nothing; the list stays as the failing step left it.
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
    const bool compacted = CompactDatabaseFile(path, store::DatabasePassword);
    ShowMessage(compacted ? QStringLiteral("数据库压缩完成.") : QStringLiteral("数据库压缩失败."));
    // The grid must not go on showing rows read before the file was replaced.
    Button_RefreshClick(Button_Refresh);
}
