#include "ProgramRun.h"

#include "forms/Unit1.h"
#include "runtime/Application.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

void ProgramRun::SetUp()
{
    DeliverDatabase(QStringLiteral("pass2010"));
    QList<QStringList> records;
    for (int i = 0; i < kRecords; ++i)
        records << SampleRecord(i);
    InsertRecords(ProgramFolder(), records);
    before = ReadDatabaseState(ProgramFolder());

    StartProgram();
    messageBoxes.whileOpen = [this](const platform::MessageBoxRequest& request) {
        if (request.buttons == platform::MessageButtons::YesNo)
            messageBoxes.answer(platform::MessageResult::Yes);
    };
    ASSERT_TRUE(Run(&TForm1::Button_CheckLoginClick).isEmpty());
    ASSERT_TRUE(Run(&TForm1::Button_RefreshClick).isEmpty());
    ASSERT_EQ(form1->ADOQuery1->RecordCount(), kRecords);
}

QStringList ProgramRun::Run(void (TForm1::*handler)(QObject*))
{
    messageBoxes.clear();
    TForm1* form = form1.get();
    application->Dispatch([form, handler] { (form->*handler)(nullptr); });
    return messageBoxes.texts();
}

void ProgramRun::FillEditor(const QStringList& values)
{
    form1->Edit_FenLei->setCurrentText(values.value(0));
    form1->Edit_XingMing->setText(values.value(1));
    form1->Edit_QQ->setText(values.value(2));
    form1->Edit_ShouJi->setText(values.value(3));
    form1->Edit_DianHua->setText(values.value(4));
    form1->Edit_ChuanZhen->setText(values.value(5));
    form1->Edit_YouXiang->setText(values.value(6));
    form1->Edit_WangZhi->setText(values.value(7));
    form1->Memo_BeiZhu->setPlainText(values.value(8));
}

void ProgramRun::ClickRow(int recNo)
{
    form1->ADOQuery1->SetRecNo(recNo);
    form1->DBGrid1CellClick(form1->DBGrid1);
}

QString ProgramRun::DatabasePath() const
{
    return FileInFolder(store::DatabaseFileName);
}

QStringList ProgramRun::FolderFiles() const
{
    return QDir(ProgramFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
