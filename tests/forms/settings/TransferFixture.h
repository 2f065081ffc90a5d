#pragma once

// The program started on a book of three records with the settings page's
// file dialogs answered by a double, for the import and export tests.

#include "forms/Unit1.h"
#include "store/DatabaseConstants.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TemporaryBook.h"
#include "transfer/BookDatabase.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QPushButton>
#include <QTableView>

class TransferFixture : public ProgramFixture {
protected:
    void SetUp() override
    {
        DeliverDatabase(QStringLiteral("pw2010"));
        AddRecords({MakeRecord({"QQ帐号", "张三", "10001"}), MakeRecord({"网站帐号", "李四"}),
                    MakeRecord({"QQ帐号", "王五", "", "", "", "", "", "", "一行\r\n二行"})});
        StartProgram();
        form1->show();
        form1->Button_Refresh->click();
    }

    void AddRecords(const std::vector<transfer::Record>& records)
    {
        const store::SqliteDatabase db = transfer::OpenBook(store::ProgramConnectionString(ProgramFolder()));
        transfer::RecordAppender appender(db.get());
        for (const transfer::Record& record : records)
            appender.Append(record);
        appender.Commit();
    }
    QStringList Names() { return ColumnOnDatabase(QStringLiteral("姓名"), QStringLiteral("data")); }
    int GridRows() const { return form1->DBGrid1->model()->rowCount(); }
    QByteArray FileBytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(FileInFolder(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    ScriptedFileDialogs fileDialogs;
};
