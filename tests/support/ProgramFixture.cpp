#include "support/ProgramFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "store/engine/DerivedKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

ProgramFixture::ProgramFixture()
{
    EXPECT_TRUE(folder_.isValid());
}

ProgramFixture::~ProgramFixture()
{
    EndProgram();
}

QString ProgramFixture::ProgramFolder() const
{
    return QDir(folder_.path()).absolutePath() + QLatin1Char('/') + inside_;
}

void ProgramFixture::UseProgramFolder(const QString& relativePath)
{
    inside_.clear();
    EXPECT_TRUE(QDir(ProgramFolder()).mkpath(relativePath));
    inside_ = relativePath + QLatin1Char('/');
}

void ProgramFixture::DeliverDatabase(const QString& managementPassword)
{
    store::CreateDeliveredDatabase(ProgramFolder(), managementPassword);
    heldKey_ = store::KeyForFile(FileInFolder(store::DatabaseFileName), store::Utf8Secret(store::DatabasePassword)).Hold();
}

namespace {

// A connection of the test's own to the folder's database, beside the program's.
struct DatabaseAccess {
    explicit DatabaseAccess(const QString& folder)
    {
        connection.ConnectionString = store::ProgramConnectionString(folder);
        query.Connection = &connection;
    }
    TADOConnection connection;
    TADOQuery query;
};

} // namespace

void ProgramFixture::ExecOnDatabase(const QString& statement)
{
    DatabaseAccess access(ProgramFolder());
    access.query.SQL.Add(statement);
    access.query.ExecSQL();
}

QStringList ProgramFixture::ColumnOnDatabase(const QString& column, const QString& table)
{
    DatabaseAccess access(ProgramFolder());
    access.query.SQL.Add(QStringLiteral("select %1 from %2").arg(column, table));
    access.query.Open();
    QStringList values;
    for (int row = 0; row < access.query.RecordCount(); ++row)
        values << access.query.CellText(row, 0);
    return values;
}

void ProgramFixture::StartProgram()
{
    // The end of an earlier run (its Terminate) leaves an exit pending for the
    // thread until an application loop runs, and until then every dialog's
    // loop would end at once; one short loop clears it.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    application = std::make_unique<TApplication>(ProgramFolder() + QStringLiteral("Kestrelle"));
    form1 = std::make_unique<TForm1>();
    application->SetMainForm(form1.get());
    form2 = std::make_unique<TForm2>();
}

void ProgramFixture::EndProgram()
{
    form2.reset();
    form1.reset();
    application.reset();
}

void ProgramFixture::RestartProgram()
{
    EndProgram();
    StartProgram();
}
