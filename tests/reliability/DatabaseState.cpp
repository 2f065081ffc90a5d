#include "DatabaseState.h"

#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/engine/DatabaseError.h"
#include "store/RecordStatements.h"

#include <QFile>

namespace {

const QString kJournalSuffix = QStringLiteral("-journal");

struct Access {
    explicit Access(const QString& folder)
    {
        connection.ConnectionString = store::ProgramConnectionString(folder);
        query.Connection = &connection;
    }
    void Open(const QString& statement)
    {
        query.SQL.SetText(statement);
        query.Open();
    }
    TADOConnection connection;
    TADOQuery query;
};

void ReplaceFile(const QString& source, const QString& target)
{
    QFile::remove(target);
    if (QFile::exists(source) && !QFile::copy(source, target))
        throw std::runtime_error(("cannot copy " + source + " to " + target).toStdString());
}

} // namespace

DatabaseState ReadDatabaseState(const QString& programFolder)
{
    Access access(programFolder);
    access.Open(QStringLiteral("PRAGMA integrity_check"));
    const QString verdict = access.query.CellText(0, 0);
    if (verdict != QLatin1String("ok"))
        throw EDatabaseError(QStringLiteral("integrity_check: ") + verdict);

    DatabaseState state;
    access.Open(statements::List() + QStringLiteral(" order by 编号"));
    for (int row = 0; row < access.query.RecordCount(); ++row) {
        QStringList values;
        for (int column = 1; column < 10; ++column)
            values << access.query.CellText(row, column);
        state.records[access.query.CellText(row, 0).toLongLong()] = values;
    }
    access.Open(QStringLiteral("select 密码 from Pass"));
    for (int row = 0; row < access.query.RecordCount(); ++row)
        state.passwords << access.query.CellText(row, 0);
    return state;
}

void CopyDatabaseFiles(const QString& programFolder, const QString& target)
{
    const QString database = programFolder + store::DatabaseFileName;
    ReplaceFile(database + kJournalSuffix, target + store::DatabaseFileName + kJournalSuffix);
    ReplaceFile(database, target + store::DatabaseFileName);
}

void InsertRecords(const QString& programFolder, const QList<QStringList>& records)
{
    Access access(programFolder);
    for (const QStringList& values : records) {
        statements::RecordValues record{QString(), values[0], values[1], values[2], values[3],
                                        values[4], values[5], values[6], values[7], values[8]};
        access.query.SQL.SetText(statements::Insert(record));
        access.query.ExecSQL();
    }
}

QStringList SampleRecord(int seed)
{
    static const QStringList categories{QStringLiteral("网站帐号"), QStringLiteral("QQ帐号"), QStringLiteral("银行帐号"),
                                        QStringLiteral("O'Brien's")};
    const QString n = QString::number(seed);
    return {categories[seed % categories.size()],
            QStringLiteral("姓名") + n,
            QString::number(10000 + seed),
            QStringLiteral("138%1").arg(seed, 8, 10, QLatin1Char('0')),
            seed % 3 ? QStringLiteral("010-%1").arg(seed) : QString(),
            QString(),
            QStringLiteral("u%1@example.org").arg(seed),
            QStringLiteral("http://example.org/%1").arg(seed),
            seed % 2 ? QStringLiteral("第一行\n第二行 ") + n : QString()};
}
