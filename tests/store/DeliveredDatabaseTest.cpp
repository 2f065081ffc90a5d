#include "security/Unit_DESCrypt.h"
#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/DeliveredDatabase.h"
#include "store/engine/DatabaseError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DeliveredDatabaseTest : public ::testing::Test {
protected:
    QString Folder() const { return folder.path() + QLatin1Char('/'); }

    QStringList FolderEntries() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    // Opens the file the way the program does and reads one statement's first field.
    QString ReadFirst(const QString& statement, int* count = nullptr)
    {
        TADOConnection connection;
        connection.ConnectionString = store::ProgramConnectionString(Folder());
        TADOQuery query;
        query.Connection = &connection;
        query.SQL.Add(statement);
        query.Open();
        if (count)
            *count = query.RecordCount();
        return query.FieldAsString(0);
    }

    QTemporaryDir folder;
};

TEST_F(DeliveredDatabaseTest, HoldsTheSchemaAndTheEncryptedInitialPassword)
{
    const QString path = store::CreateDeliveredDatabase(Folder());
    EXPECT_EQ(path, Folder() + "_.udb");
    EXPECT_EQ(FolderEntries(), QStringList({"_.udb"})) << "no temporary file is left";

    int rows = -1;
    const QString cipher = ReadFirst("Select 密码 from Pass", &rows);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(cipher.size(), 32) << "twelve characters take two blocks";
    EXPECT_EQ(DesDecryptFromHex(cipher.toStdString(), store::PassCipherKey), "Quillory2010");


    // The record columns in the order every statement and the grid rely on.
    TADOConnection connection;
    connection.ConnectionString = store::ProgramConnectionString(Folder());
    TADOQuery query;
    query.Connection = &connection;
    query.SQL.Add("select * from (data)");
    query.Open();
    QStringList names;
    for (int field = 0; field < query.FieldCount(); ++field)
        names << query.FieldName(field);
    EXPECT_EQ(names.join(','), "编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注");

    EXPECT_THROW(store::CreateDeliveredDatabase(Folder() + "missing/sub"), EDatabaseError);
}

TEST_F(DeliveredDatabaseTest, ToolWritesTheFileAndRefusesAnExistingOne)
{
    const QString tool = QStringLiteral(QUILLORY_BIN_DIR "/mkudb");
    ASSERT_TRUE(QFileInfo(tool).isExecutable()) << "build the mkudb target";
    const auto run = [&](const QStringList& arguments, QString* errorText = nullptr) {
        QProcess process;
        process.start(tool, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        if (errorText)
            *errorText = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };

    // Only passwords the login can take are written.
    EXPECT_EQ(run({folder.path(), "--password", "密码abc"}), 1);
    EXPECT_EQ(run({folder.path(), "--password="}), 1);
    EXPECT_TRUE(FolderEntries().isEmpty());

    EXPECT_EQ(run({folder.path(), "--password", "abc123XYZ"}), 0);
    const QString cipher = ReadFirst("Select 密码 from Pass");
    EXPECT_EQ(DesDecryptFromHex(cipher.toStdString(), store::PassCipherKey), "abc123XYZ");

    const auto contents = [&] {
        QFile file(Folder() + "_.udb");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = contents();
    QString error;
    EXPECT_EQ(run({folder.path()}, &error), 1);
    EXPECT_TRUE(error.contains("already exists")) << error.toStdString();
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(FolderEntries(), QStringList({"_.udb"}));
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({folder.path(), "--password"}), 2);
}

} // namespace
