// A page that cannot be encrypted never reaches the disk, neither as its
// plaintext nor as another page's: the write ends (with the program's page
// cipher, the process ends at once), and the file opens again with the
// records of its last commit, the interrupted transaction rolled back from
// its journal.
#include "store/StoreFixture.h"

#include "CipherFaults.h"
#include "EngineStatements.h"
#include "store/engine/DatabaseError.h"
#include "store/engine/PageCipher.h"
#include "store/engine/SqliteHandles.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

namespace {

// Records whose text must never stand on the disk in the clear.
constexpr char Keep[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                        "INSERT INTO data (姓名, 备注) SELECT 'KEEP-SECRET-' || i, printf('%.300c', 'k') FROM n";
// A change of every record: every page of rows goes to the journal and back.
constexpr char ChangeEveryRow[] = "UPDATE data SET 姓名 = 'CHANGED-SECRET-' || 编号, 备注 = printf('%.280c', 'c')";
constexpr int ReportedError = 3;

// Where the failure comes, as a share of the encryptions the change makes:
// its first journal page, a database half written, its very last page.
struct FaultCase {
    const char* name;
    double share;
};

class FailClosedTest : public StoreFixture, public ::testing::WithParamInterface<FaultCase> {
protected:
    store::SqliteDatabase OpenDatabase(const QString& path)
    {
        return store::OpenKeyedDatabase(path, store::DatabasePassword, store::OpenMode::ExistingFile);
    }

    // The encryptions the change makes, counted on a copy of the file.
    int EncryptionsOfTheChange()
    {
        const QString copy = ProgramFolder() + "copy.udb";
        EXPECT_TRUE(QFile::copy(DatabasePath(), copy));
        const store::SqliteDatabase db = OpenDatabase(copy);
        cipher_faults::FailEncryptionsFrom(0);
        store::Execute(db.get(), ChangeEveryRow);
        return cipher_faults::Encryptions();
    }

    static QByteArray FileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_P(FailClosedTest, TheFileKeepsItsLastCommitAndNoPlaintext)
{
    Exec(QString::fromUtf8(Keep));
    OpenWith(QString::fromUtf8(Checksum));
    const long long committed = query.FieldAsString(0).toLongLong();
    connection.Close();
    const int encryptions = EncryptionsOfTheChange();
    ASSERT_GT(encryptions, 20);
    const int failAt = std::clamp(static_cast<int>(encryptions * GetParam().share), 1, encryptions);

    const bool programCipher = store::PageCipherScope().Active();
    EXPECT_EXIT(
        {
            const store::SqliteDatabase db = OpenDatabase(DatabasePath());
            cipher_faults::FailEncryptionsFrom(failAt);
            try {
                store::Execute(db.get(), ChangeEveryRow);
            } catch (const EDatabaseError&) {
                std::_Exit(ReportedError);
            }
            std::_Exit(0);
        },
        [&](int status) {
            // The program's cipher ends the process; the engine's own reports the error.
            return programCipher ? ::testing::KilledBySignal(SIGABRT)(status)
                                 : ::testing::ExitedWithCode(ReportedError)(status);
        },
        "");

    for (const QString& path : {DatabasePath(), DatabasePath() + "-journal"}) {
        const QByteArray bytes = FileBytes(path);
        EXPECT_FALSE(bytes.contains("SECRET")) << path.toStdString();
        EXPECT_FALSE(bytes.contains(QByteArray(64, 'k'))) << path.toStdString();
        EXPECT_FALSE(bytes.contains(QByteArray(64, 'c'))) << path.toStdString();
    }
    const store::SqliteDatabase db = OpenDatabase(DatabasePath());
    EXPECT_EQ(Number(db.get(), Checksum), committed);
    const store::SqliteStatement check = store::PrepareSingleStatement(db.get(), "PRAGMA integrity_check");
    ASSERT_EQ(sqlite3_step(check.get()), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)), "ok");
}

INSTANTIATE_TEST_SUITE_P(Failures, FailClosedTest,
                         ::testing::Values(FaultCase{"FirstPage", 0.0}, FaultCase{"DatabaseHalfWritten", 0.75},
                                           FaultCase{"LastPage", 1.0}),
                         [](const auto& info) { return std::string(info.param.name); });
