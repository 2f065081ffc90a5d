// Files the program writes in place of another keep that file's access
// rights: the password backup takes the database's (and never more than the
// backup it replaces had), the compacted database and "class.dat" keep their
// own. A file the user made private stays private whatever the umask.
#include "security/PasswordBackup.h"
#include "store/CategoryFile.h"
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "store/Unit_DB.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::string ModeText(mode_t mode)
{
    return QStringLiteral("0%1").arg(mode, 3, 8, QLatin1Char('0')).toStdString();
}

void SetMode(const QString& path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

// Sets the umask for one scope: with 022 a file made afresh would be 0644.
class Umask {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};

const QString kBackup = QStringLiteral("bak_20101207_.udb");
const QString kCategories = QStringLiteral("class.dat");

struct Writer {
    const char* name;
    QString written;  // the file written, in the program folder
    std::function<bool(const QString& folder)> write;
};

const Writer kBackupWriter{"backup", kBackup, [](const QString& folder) {
                               return CopyReplacing(folder + store::DatabaseFileName, folder + kBackup);
                           }};
const Writer kCategoryWriter{"class.dat", kCategories, [](const QString& folder) {
                                 WriteCategoryFile(folder + kCategories, {QStringLiteral("新分类")});
                                 return true;
                             }};
const Writer kCompactionWriter{"compaction", store::DatabaseFileName, [](const QString& folder) {
                                   return CompactDatabaseFile(folder + store::DatabaseFileName, store::DatabasePassword);
                               }};

struct Case {
    const Writer& writer;
    mode_t database;                // "_.udb", the backup's source
    std::optional<mode_t> replaced; // the file written, when it was there before
    mode_t expected;
};

TEST(FilePermissions, AFileWrittenInPlaceOfAnotherIsNeverWiderThanItsSource)
{
    const Case cases[] = {
        {kBackupWriter, 0600, std::nullopt, 0600},
        {kBackupWriter, 0640, std::nullopt, 0640},
        {kBackupWriter, 0600, 0644, 0600},
        {kBackupWriter, 0644, 0600, 0600},
        {kCategoryWriter, 0600, 0600, 0600},
        {kCategoryWriter, 0600, 0640, 0640},
        {kCompactionWriter, 0600, 0600, 0600},
        {kCompactionWriter, 0640, 0640, 0640},
    };
    const Umask umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.writer.name << " beside a " << ModeText(c.database) << " database");
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        store::CreateDeliveredDatabase(folder);
        const QString written = folder + c.writer.written;
        if (c.replaced && written != folder + store::DatabaseFileName) {
            QFile old(written);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old\r\n");
            old.close();
            SetMode(written, *c.replaced);
        }
        SetMode(folder + store::DatabaseFileName, c.database);

        ASSERT_TRUE(c.writer.write(folder));
        EXPECT_EQ(ModeText(ModeOf(written)), ModeText(c.expected));
    }
}

} // namespace
