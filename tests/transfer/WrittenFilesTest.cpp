// What an export writes, byte for byte, and how the file comes to be: whole
// or not at all, readable by its owner only.
#include "support/TemporaryBook.h"

#include "transfer/VCardWriter.h"
#include "transfer/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>

using transfer::Format;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

TEST(WrittenFilesTest, TableHasByteOrderMarkHeaderQuotesOnlyWhereNeededAndMarksFormulas)
{
    TemporaryBook book;
    book.AddRecords({MakeRecord({"QQ帐号", "张三", "10001", "", "", "", "", "", "第一行\r\n第二行"}),
                     MakeRecord({"论坛,帐号", "O\"Neil", "", "", "", "", "", "", ""}),
                     MakeRecord({"", "=HYPERLINK(\"x\")", "", "+86 138", "", "", "", "", "@备注"})});
    EXPECT_EQ(book.ExportedBytes(Format::Csv),
              "\xEF\xBB\xBF编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注\r\n"
              "1,QQ帐号,张三,10001,,,,,,\"第一行\r\n第二行\"\r\n"
              "2,\"论坛,帐号\",\"O\"\"Neil\",,,,,,,\r\n"
              "3,,\"'=HYPERLINK(\"\"x\"\")\",,'+86 138,,,,,'@备注\r\n");
}

TEST(WrittenFilesTest, CardsLeaveEmptyFieldsOutEscapeAndSplitJoinedEntries)
{
    TemporaryBook book;
    book.AddRecords({MakeRecord({"QQ帐号", "张三", "10001", "139; 138", "010-1", "010-2", "a@x.example",
                                 "http://x.example", "一行\r\n二行, 还有;分号"}),
                     MakeRecord({"", "李四", "", "", "", "", "", "", "a\nb\\c"})});
    EXPECT_EQ(book.ExportedBytes(Format::VCard),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nN:张三;;;;\r\nCATEGORIES:QQ帐号\r\n"
              "TEL;TYPE=CELL:139\r\nTEL;TYPE=CELL:138\r\nTEL;TYPE=WORK,VOICE:010-1\r\nTEL;TYPE=FAX:010-2\r\n"
              "EMAIL:a@x.example\r\nURL:http://x.example\r\n"
              "NOTE;X-LINEBREAK=CRLF:一行\\n二行\\, 还有\\;分号\r\nX-QQ:10001\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nN:李四;;;;\r\nNOTE:a\\nb\\\\c\r\nEND:VCARD\r\n");
}

TEST(WrittenFilesTest, LongCardLinesFoldBetweenCharactersWithinSeventyFiveBytes)
{
    std::string chinese;
    for (int i = 0; i < 80; ++i)
        chinese += "长";
    const std::pair<std::string, bool> values[] = {
        {std::string(200, 'x'), true}, {chinese, true}, {"x" + chinese, true},
        {std::string(100, '\x80'), false}, // not UTF-8: still folded, though anywhere
    };
    for (const auto& [value, utf8] : values) {
        std::string out;
        transfer::AppendFoldedLine(out, "NOTE:" + value);
        std::string unfolded;
        for (const std::string& line : Lines(out)) {
            EXPECT_LE(line.size(), 75u);
            if (utf8 && !unfolded.empty()) {
                EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << "a character was split";
            }
            unfolded += unfolded.empty() ? line : line.substr(1);
        }
        EXPECT_EQ(unfolded, "NOTE:" + value);
    }
}

TEST(WrittenFilesTest, FileIsWholeOrAbsent)
{
    TemporaryBook book;
    const QString target = book.Folder() + QStringLiteral("通讯录.csv");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QStringList before = FilesIn(book.Folder());
    {
        transfer::WholeFileWriter writer(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        writer.Write("new, but never committed");
    }
    EXPECT_EQ(FilesIn(book.Folder()), before) << "a temporary file was left behind";
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();

    transfer::WholeFileWriter writer(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    writer.Write("new");
    writer.Commit();
    EXPECT_EQ(FilesIn(book.Folder()), before);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "new");
}

TEST(WrittenFilesTest, NeverReadableByMorePeopleThanTheDatabaseOrByOthersAtAll)
{
    TemporaryBook book;
    const std::pair<unsigned, unsigned> modes[] = {{0644, 0600}, {0640, 0600}, {0600, 0600}, {0400, 0400}};
    for (const auto& [database, expected] : modes) {
        SCOPED_TRACE(database);
        const QString like = book.Folder() + QStringLiteral("like");
        QFile(like).open(QIODevice::WriteOnly);
        ASSERT_EQ(::chmod(QFile::encodeName(like).constData(), database), 0);
        const QString path = book.Folder() + QStringLiteral("exported");
        transfer::WholeFileWriter writer(path, QFileInfo(like).permissions());
        writer.Commit();
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, expected);
        QFile::remove(like);
        QFile::remove(path);
    }
}
