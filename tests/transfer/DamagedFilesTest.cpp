// Damaged files: each fault is repaired or skipped and named with its line
// as an editor counts lines, and the rest is imported; a file that holds no
// contact at all, or is no text, is refused with the line at fault and
// nothing of it written.
#include "support/TemporaryBook.h"

#include "transfer/FileFormatError.h"

#include <gtest/gtest.h>

using transfer::Format;
using transfer::Record;

namespace {

std::string FoldedOver(std::string_view head, int lines)
{
    std::string folded(head);
    for (int i = 0; i < lines; ++i)
        folded += "\r\n x";
    return folded + "\r\n";
}

struct Damaged {
    const char* what;
    Format format;
    std::string bytes;
    std::vector<Record> expected;
    std::vector<transfer::Repair> repairs; // each with a part of its text
};

const std::vector<Damaged>& DamagedFiles()
{
    static const std::vector<Damaged> files = {
        {"a quote never closed: a character, its field plain", Format::Csv, "姓名,手机\r\n\"张三,138\r\n李四,139\r\n",
         {MakeRecord({"", "\"张三", "", "138"}), MakeRecord({"", "李四", "", "139"})},
         {{2, "引号没有结束"}}},
        {"a quote inside a plain field", Format::Csv, "姓名,手机\r\n张三,138\r\n张\"三,138\r\n",
         {MakeRecord({"", "张三", "", "138"}), MakeRecord({"", "张\"三", "", "138"})},
         {{3, "字段里有引号"}}},
        {"text after the closing quote, lines inside quotes counted", Format::Csv,
         "姓名,备注\r\n张,\"a\r\nb\"\r\n\"李\"四,1\r\n",
         {MakeRecord({"", "张", "", "", "", "", "", "", "a\r\nb"}), MakeRecord({"", "李四", "", "", "", "", "", "", "1"})},
         {{4, "引号结束后"}}},
        {"semicolons: text after the closing quote", Format::Csv, "姓名;备注\r\n\"张\",x;\r\n",
         {MakeRecord({"", "张,x"})},
         {{2, "引号结束后"}}},
        {"more fields than the header", Format::Csv, "姓名,手机\r\n张三,138,多,\r\n",
         {MakeRecord({"", "张三", "", "138"})},
         {{2, "多出的1个字段没有导入"}}},
        {"old Mac line ends (CR alone)", Format::Csv, "姓名,手机\r李四,139\r王\"五,1\r",
         {MakeRecord({"", "李四", "", "139"}), MakeRecord({"", "王\"五", "", "1"})},
         {{3, "字段里有引号"}}},
        {"UTF-16 cut in half", Format::Csv, std::string("\xFF\xFE\xD3\x59\x0D\x54\x0D\x00\x0A\x00\x20\x5F\x20", 13),
         {MakeRecord({"", "张\xEF\xBF\xBD"})},
         {{2, "1个字节不是有效的UTF-16 LE文字"}}},
        {"UTF-16 with a lone surrogate", Format::Csv, std::string("\xFE\xFF\x59\xD3\x54\x0D\x00\x0A\xD8\x00\x00\x41", 12),
         {MakeRecord({"", "\xEF\xBF\xBD" "A"})},
         {{2, "不是有效的UTF-16 BE文字"}}},
        {"a UTF-8 sheet with a stray byte", Format::Csv, "姓名,备注\r\n张三,一二三四五六七八\r\n李四,坏\xFF字节\r\n",
         {MakeRecord({"", "张三", "", "", "", "", "", "", "一二三四五六七八"}),
          MakeRecord({"", "李四", "", "", "", "", "", "", "坏\xEF\xBF\xBD字节"})},
         {{3, "1个字节不是有效的UTF-8文字"}}},
        {"a UTF-8 byte-order mark, then other bytes", Format::Csv, "\xEF\xBB\xBF姓名\r\n\xD5\xC5\r\n",
         {MakeRecord({"", "\xEF\xBF\xBD\xEF\xBF\xBD"})},
         {{2, "2个字节不是有效的UTF-8 (带BOM)文字"}}},
        {"a line that is no property", Format::VCard, "BEGIN:VCARD\r\nFN:a\r\n\r\njust words\r\nEND:VCARD\r\n",
         {MakeRecord({"", "a"})},
         {{4, "不是名片的属性"}}},
        {"a comment and a property without its colon", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\n# exported by a script\r\nFN:赵六\r\nTEL\r\nTEL;TYPE=CELL:13800000001\r\nEND:VCARD\r\n",
         {MakeRecord({"", "赵六", "", "13800000001"})},
         {{3, "注释行"}, {5, "不是名片的属性"}}},
        {"a bare CR inside values of a 4.0 export", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:钱七\r\nNOTE:第一行\r第二行\r\nX-CUSTOM:x\ry\r\nEND:VCARD\r\n",
         {MakeRecord({"", "钱七", "", "", "", "", "", "", "第一行\r第二行"})},
         {}},
        {"a card without END at the end of the file", Format::VCard, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\n",
         {MakeRecord({"", "a"})},
         {{1, "已读到文件末尾"}}},
        {"a second card begins before the first ends", Format::VCard,
         "BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:b\r\nBEGIN:VCARD\r\nFN:c\r\nEND:VCARD\r\n",
         {MakeRecord({"", "a"}), MakeRecord({"", "b"}), MakeRecord({"", "c"})},
         {{4, "已读到下一张名片之前"}}},
        {"END without BEGIN, text outside any card", Format::VCard,
         "END:VCARD\r\nBEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\nFN:b\r\n",
         {MakeRecord({"", "a"})},
         {{1, "前面没有BEGIN"}, {5, "以外的内容"}}},
        {"broken quoted-printable", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE:=ZZ=E5=BC=A0\r\nEND:VCARD\r\n",
         {MakeRecord({"", "=ZZ张"})},
         {{3, "quoted-printable"}}},
        {"a stray byte in a value written as it is", Format::VCard,
         "BEGIN:VCARD\r\nFN:张三丰\r\nNOTE:太极拳\xFF的创始人\r\nEND:VCARD\r\n",
         {MakeRecord({"", "张三丰", "", "", "", "", "", "", "太极拳\xEF\xBF\xBD的创始人"})},
         {{3, "1个字节不是有效的UTF-8文字"}}},
        {"a character set nobody knows", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=X-NOWHERE:abc\r\nEND:VCARD\r\n",
         {MakeRecord({"", "abc"})},
         {{3, "X-NOWHERE"}}},
        {"a value folded over 300,000 lines", Format::VCard,
         "BEGIN:VCARD\r\n" + FoldedOver("FN:a", 300000) + "END:VCARD\r\n",
         {MakeRecord({"", "a" + std::string(300000, 'x')})},
         {}},
    };
    return files;
}

struct Refused {
    const char* what;
    Format format;
    std::string bytes;
    int line;
    const char* reason; // a part of the message
};

const std::vector<Refused>& RefusedFiles()
{
    static const std::vector<Refused> files = {
        {"a zero byte", Format::Csv, std::string("姓名\r\n张\0三\r\n", 14), 2, "空字符"},
        {"UTF-16 with a zero character", Format::VCard, std::string("\xFF\xFE\x41\x00\x00\x00", 6), 1, "空字符"},
        {"a card's lines without its BEGIN and END", Format::VCard, "FN:张三\r\nTEL:138\r\n", 1,
         "以外的内容, 已跳过. 文件中没有一张可以导入的名片"},
        {"an empty file", Format::VCard, "", 1, "没有一张可以导入的名片"},
        {"a card whose one line, folded over 300,000 lines, has no colon", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\n" + FoldedOver("NOTE", 300000) + "END:VCARD\r\n", 3, "不是名片的属性"},
    };
    return files;
}

} // namespace

TEST(DamagedFilesTest, EachFaultIsRepairedOrSkippedWithItsLineAndTheRestImported)
{
    TemporaryBook book;
    for (const Damaged& file : DamagedFiles()) {
        SCOPED_TRACE(file.what);
        book.Clear();
        transfer::RepairLog repairs;
        EXPECT_EQ(book.Import(file.format, file.bytes, nullptr, &repairs), static_cast<int>(file.expected.size()));
        EXPECT_EQ(book.BookWithoutNumbers(), file.expected);
        ASSERT_EQ(repairs.Entries().size(), file.repairs.size());
        for (std::size_t i = 0; i < file.repairs.size(); ++i) {
            EXPECT_EQ(repairs.Entries()[i].line, file.repairs[i].line);
            EXPECT_NE(repairs.Entries()[i].what.find(file.repairs[i].what), std::string::npos) << repairs.Entries()[i].what;
        }
    }
}

TEST(DamagedFilesTest, FileWithoutAContactOrNotTextIsRefusedWithTheLineAndNothingWritten)
{
    TemporaryBook book;
    const transfer::Record kept = MakeRecord({"QQ帐号", "已有的记录"});
    book.AddRecords({kept});
    for (const Refused& file : RefusedFiles()) {
        SCOPED_TRACE(file.what);
        try {
            book.Import(file.format, file.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const transfer::FileFormatError& error) {
            EXPECT_EQ(error.Line(), file.line);
            EXPECT_NE(std::string(error.what()).find(file.reason), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("第" + std::to_string(file.line) + "行: ", 0), 0u);
        }
        EXPECT_EQ(book.BookWithoutNumbers(), std::vector<transfer::Record>{kept});
    }
}
