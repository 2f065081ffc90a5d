#pragma once

#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DatabaseSchema.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A temporary program folder holding a fresh "_.udb", the program's
// connection to it and one query on that connection.
class StoreFixture : public ::testing::Test {
protected:
    // Any valid cipher text: these tests never decrypt it.
    static constexpr char StoredCipher[] = "0123456789ABCDEF";

    StoreFixture()
    {
        store::WriteNewDatabase(DatabasePath(), store::DatabasePassword, QString::fromLatin1(StoredCipher));
        connection.ConnectionString = store::ProgramConnectionString(ProgramFolder());
        query.Connection = &connection;
    }

    QString ProgramFolder() const { return folder.path() + QLatin1Char('/'); }
    QString DatabasePath() const { return ProgramFolder() + store::DatabaseFileName; }

    // Replaces the statement with one line and runs it as the program does.
    void Exec(const QString& statement)
    {
        query.SQL.Clear();
        query.SQL.Add(statement);
        query.ExecSQL();
    }
    void OpenWith(const QString& statement)
    {
        query.Close();
        query.SQL.Clear();
        query.SQL.Add(statement);
        query.Open();
    }

    QTemporaryDir folder;
    TADOConnection connection;
    TADOQuery query;
};
