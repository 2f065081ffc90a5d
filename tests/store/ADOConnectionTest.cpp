#include "StoreFixture.h"

#include "store/engine/DatabaseError.h"

#include <QFile>
#include <QFileInfo>

namespace {

class ADOConnectionTest : public StoreFixture {
protected:
    // Opens and returns the error text, or an empty text when it opened.
    QString OpenError()
    {
        try {
            connection.Open();
        } catch (const EDatabaseError& error) {
            return QString::fromUtf8(error.what());
        }
        return {};
    }
};

TEST_F(ADOConnectionTest, OpensOnDemandAndClosesAgain)
{
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(connection.LoginPrompt);
    QList<bool> changes;
    QObject::connect(&connection, &TADOConnection::connectedChanged, [&](bool connected) { changes << connected; });

    query.SQL.Add("Select 密码 from Pass");
    query.Open(); // the first query that runs opens the connection
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(query.FieldByName("密码"), StoredCipher);
    connection.Open(); // already open: nothing happens
    connection.Close();
    EXPECT_FALSE(connection.Connected());
    connection.Close();

    query.Close();
    query.Open(); // and the next statement opens it again
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(changes, QList<bool>({true, false, true}));
}

TEST_F(ADOConnectionTest, MissingFileIsAnErrorAndIsNotCreated)
{
    ASSERT_TRUE(QFile::remove(DatabasePath()));
    const QString error = OpenError();
    EXPECT_NE(error.indexOf("unable to open database file"), -1) << error.toStdString();
    EXPECT_NE(error.indexOf(DatabasePath()), -1) << "the message names the file";
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(QFileInfo::exists(DatabasePath()));
}

TEST_F(ADOConnectionTest, WrongKeyOrDamagedFileGivesTheEngineText)
{
    // "file is encrypted or is not a database" (3.4), "file is not a database" (4.x)
    const QString engineText = "is not a database";

    connection.ConnectionString.replace(store::DatabasePassword, "wrong-password");
    EXPECT_NE(OpenError().indexOf(engineText), -1);
    EXPECT_FALSE(connection.Connected());

    connection.ConnectionString = store::ProgramConnectionString(ProgramFolder());
    {
        QFile file(DatabasePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(4096, '\x5a')); // the first page, with the key's salt
    }
    EXPECT_NE(OpenError().indexOf(engineText), -1);

    QFile::resize(DatabasePath(), 100); // shorter than one page
    EXPECT_NE(OpenError().indexOf(engineText), -1);

    // An unkeyed connection to the keyed file is refused too, and so is no file at all.
    connection.ConnectionString = "Data Source=" + DatabasePath();
    EXPECT_FALSE(OpenError().isEmpty());
    connection.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False";
    EXPECT_FALSE(OpenError().isEmpty());
    EXPECT_FALSE(connection.Connected());
}

} // namespace
