// Files the program writes in place of another keep that file's access
// rights: the password backup takes the database's, the compacted database
// and "class.dat" keep their own, whatever the umask.
#include "security/PasswordBackup.h"
#include "store/CategoryFile.h"
#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "store/Unit_DB.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

QString ModeOf(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return QString::number(info.st_mode & 0777, 8);
}

bool SetMode(const QString& path, const char* mode)
{
    return ::chmod(QFile::encodeName(path).constData(), QByteArray(mode).toUInt(nullptr, 8)) == 0;
}

// The process's umask for one scope.
struct ScopedUmask {
    explicit ScopedUmask(mode_t mask) : previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous); }
    mode_t previous;
};

TEST(FilePermissions, AFileWrittenInPlaceOfAnotherIsNeverWiderThanItsSource)
{
    using Write = std::function<bool(const QString& folder)>;
    const QString kBackup = QStringLiteral("bak_20101207_.udb");
    const Write backup = [&](const QString& folder) {
        return MakeBackup(folder + store::DatabaseFileName, QStringLiteral("20101207")) == folder + kBackup;
    };
    const Write categories = [](const QString& folder) {
        WriteCategoryFile(folder + QStringLiteral("class.dat"), {QStringLiteral("新分类")});
        return true;
    };
    const Write compaction = [](const QString& folder) {
        return CompactDatabaseFile(folder + store::DatabaseFileName, store::DatabasePassword);
    };
    struct Case {
        const Write& write;
        QString written;
        const char* database;  // mode of "_.udb"
        const char* replaced;  // mode of the written file before, if it was there
        const char* expected;
    };
    const Case cases[] = {
        {backup, kBackup, "600", nullptr, "600"},
        {backup, kBackup, "640", nullptr, "640"},
        {categories, QStringLiteral("class.dat"), "600", "600", "600"},
        {categories, QStringLiteral("class.dat"), "600", "640", "640"},
        {compaction, store::DatabaseFileName, "600", nullptr, "600"},
        {compaction, store::DatabaseFileName, "640", nullptr, "640"},
    };
    const ScopedUmask umask(022);  // a file made afresh would be 644
    for (const Case& c : cases) {
        SCOPED_TRACE((c.written + QStringLiteral(" beside a %1 database").arg(c.database)).toStdString());
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        store::CreateDeliveredDatabase(folder);
        if (c.replaced) {
            QFile old(folder + c.written);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
            old.close();
            ASSERT_TRUE(SetMode(folder + c.written, c.replaced));
        }
        ASSERT_TRUE(SetMode(folder + store::DatabaseFileName, c.database));

        ASSERT_TRUE(c.write(folder));
        EXPECT_EQ(ModeOf(folder + c.written), QString::fromLatin1(c.expected));
    }
}

} // namespace
