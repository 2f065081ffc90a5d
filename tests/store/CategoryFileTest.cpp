#include "store/CategoryFile.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>
#include <string>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "网站帐号" and "QQ帐号" in GBK.
const QByteArray kWebsiteGbk = "\xCD\xF8\xD5\xBE\xD5\xCA\xBA\xC5";
const QByteArray kQqGbk = "QQ\xD5\xCA\xBA\xC5";

class CategoryFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("class.dat")) const { return dir.filePath(name); }

    void writeRaw(const QByteArray& bytes, const QString& name = QStringLiteral("class.dat")) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readRaw(const QString& name = QStringLiteral("class.dat")) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QStringList readBytes(const QByteArray& bytes) const
    {
        writeRaw(bytes);
        return ReadCategoryFile(path());
    }

    QTemporaryDir dir;
};

// File access checks for this thread as an unprivileged user, also when the
// tests run as root (whose privileges would pass every permission check).
class UnprivilegedFileAccess {
public:
    UnprivilegedFileAccess() : previous_(geteuid() == 0 ? setfsuid(65534) : -1) {}
    ~UnprivilegedFileAccess()
    {
        if (previous_ >= 0)
            setfsuid(static_cast<uid_t>(previous_));
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

private:
    int previous_;
};

TEST_F(CategoryFileTest, ReadsGbkLines)
{
    EXPECT_EQ(readBytes(kWebsiteGbk + "\r\n" + kQqGbk + "\r\n"),
              (QStringList{QStringLiteral("网站帐号"), QStringLiteral("QQ帐号")}));
}

TEST_F(CategoryFileTest, CutsLinesAtEveryKindOfBreak)
{
    EXPECT_EQ(readBytes(""), QStringList{});
    EXPECT_EQ(readBytes("a"), QStringList{"a"});
    EXPECT_EQ(readBytes("a\r\n"), QStringList{"a"});
    EXPECT_EQ(readBytes("a\rb\nc\r\nd"), (QStringList{"a", "b", "c", "d"}));
    // LF CR is two breaks; CR CR LF is a CR and a CR LF.
    EXPECT_EQ(readBytes("a\n\rb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(readBytes("a\r\r\n"), (QStringList{"a", ""}));
    EXPECT_EQ(readBytes("\r\n"), QStringList{""});
    EXPECT_EQ(readBytes("\r\n\r\nx\r\n\r\n"), (QStringList{"", "", "x", ""}));
    // No trimming, duplicates kept.
    EXPECT_EQ(readBytes("  \r\n a \r\na\r\na\r\n"), (QStringList{"  ", " a ", "a", "a"}));
}

TEST_F(CategoryFileTest, ZeroByteEndsTheText)
{
    EXPECT_EQ(readBytes(QByteArray("a\r\nb\0c\r\nd\r\n", 11)), (QStringList{"a", "b"}));
    EXPECT_EQ(readBytes(QByteArray("\0a\r\n", 4)), QStringList{});
}

TEST_F(CategoryFileTest, ParsesExactlyTheBytesOfAView)
{
    // The view ends before the buffer does: nothing past its end is read,
    // and the view need not end in a zero byte.
    const QByteArray buffer = kQqGbk + "\r\nbc\r\nd";
    EXPECT_EQ(ParseCategoryBytes(QByteArrayView(buffer).first(kQqGbk.size() + 3)),
              (QStringList{QStringLiteral("QQ帐号"), "b"}));
    EXPECT_EQ(ParseCategoryBytes(QByteArrayView(buffer).first(kQqGbk.size() - 1)),
              QStringList{QStringLiteral("QQ帐") + QChar(0xFFFD)});
    EXPECT_EQ(ParseCategoryBytes(QByteArrayView()), QStringList{});
}

TEST_F(CategoryFileTest, InvalidGbkBecomesReplacementCharacters)
{
    // A lead byte without its trail byte, a lone 0x80 and a lead byte cut off
    // by the line break.
    const QStringList lines = readBytes("\xCD x\r\n\x80\r\nok\xD5\r\n" + kQqGbk);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QChar(0xFFFD) + QStringLiteral(" x"));
    EXPECT_TRUE(lines[1].contains(QChar(0xFFFD)));
    EXPECT_TRUE(lines[2].startsWith("ok") && lines[2].contains(QChar(0xFFFD)));
    EXPECT_EQ(lines[3], QStringLiteral("QQ帐号"));
}

TEST_F(CategoryFileTest, UnreadableFileThrowsSystemText)
{
    EXPECT_THROW(ReadCategoryFile(dir.path()), std::runtime_error);
    try {
        ReadCategoryFile(path(QStringLiteral("absent.dat")));
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos) << error.what();
    }
}

TEST_F(CategoryFileTest, WritesEveryItemWithCrLfInGbk)
{
    WriteCategoryFile(path(), BuiltInCategories());
    EXPECT_EQ(readRaw(),
              kWebsiteGbk + "\r\n"
                  "\xC2\xDB\xCC\xB3\xD5\xCA\xBA\xC5\r\n"
                  "\xD3\xCA\xCF\xE4\xD5\xCA\xBA\xC5\r\n" +
                  kQqGbk + "\r\n"
                  "\xD2\xF8\xD0\xD0\xD5\xCA\xBA\xC5\r\n"
                  "\xD3\xCE\xCF\xB7\xD5\xCA\xBA\xC5\r\n");
    EXPECT_EQ(ReadCategoryFile(path()), BuiltInCategories());
}

TEST_F(CategoryFileTest, WriteReplacesOldContentAndRoundTrips)
{
    writeRaw("old\r\nlonger old content\r\n");
    const QStringList items{"", "  ", QStringLiteral("银行帐号"), "a", "a"};
    WriteCategoryFile(path(), items);
    EXPECT_EQ(ReadCategoryFile(path()), items);

    WriteCategoryFile(path(), {});
    EXPECT_EQ(readRaw(), QByteArray());
    EXPECT_EQ(ReadCategoryFile(path()), QStringList{});
}

TEST_F(CategoryFileTest, GbkFileIsWrittenBackByteForByte)
{
    const QByteArray original = kQqGbk + "\r\n" + kWebsiteGbk + "\r\nplain\r\n";
    writeRaw(original);
    WriteCategoryFile(path(), ReadCategoryFile(path()));
    EXPECT_EQ(readRaw(), original);
}

TEST_F(CategoryFileTest, FailedWriteReportsAndKeepsOldFile)
{
    const QString folder = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/class.dat");
    writeRaw("keep\r\n", QStringLiteral("locked/class.dat"));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    try {
        UnprivilegedFileAccess unprivileged;
        WriteCategoryFile(file, {"new"});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("ermission"), std::string::npos) << error.what();
    }
    chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_EQ(readRaw(QStringLiteral("locked/class.dat")), QByteArray("keep\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"class.dat"});
    EXPECT_THROW(WriteCategoryFile(path(QStringLiteral("no/such/class.dat")), {"a"}), std::runtime_error);
}

TEST(BuiltInCategories, SixNamesInListOrder)
{
    EXPECT_EQ(BuiltInCategories(),
              (QStringList{QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"), QStringLiteral("邮箱帐号"),
                           QStringLiteral("QQ帐号"), QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")}));
}

} // namespace
