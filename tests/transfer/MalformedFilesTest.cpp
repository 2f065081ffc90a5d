// Files that cannot be read as their format: refused with the line where
// reading stopped, and nothing of them written, also when earlier records of
// the file were sound.
#include "support/TemporaryBook.h"

#include "transfer/FileFormatError.h"

#include <gtest/gtest.h>

using transfer::Format;

namespace {

struct Malformed {
    const char* what;
    Format format;
    std::string bytes;
    int line;
    const char* reason; // a part of the message
};

const Malformed kMalformed[] = {
    {"quote never closed", Format::Csv, "姓名,手机\r\n\"张三,138\r\n李四,139\r\n", 2, "引号没有结束"},
    {"quote inside a plain field", Format::Csv, "姓名,手机\r\n张三,138\r\n张\"三,138\r\n", 3, "字段里有引号"},
    {"text after the closing quote", Format::Csv, "姓名,备注\r\n张,\"a\r\nb\"\r\n\"李\"四,1\r\n", 4, "引号结束后"},
    {"more fields than the header", Format::Csv, "姓名,手机\r\n张三,138,多\r\n", 2, "比表头多"},
    {"semicolons: text after the closing quote", Format::Csv, "姓名;备注\r\n\"张\",x;\r\n", 2, "引号结束后"},
    {"UTF-16 cut in half", Format::Csv, std::string("\xFF\xFE\x53\x59\x0D\x00\x0A\x00\x20", 9), 2, "不完整"},
    {"UTF-16 with a lone surrogate", Format::Csv, std::string("\xFE\xFF\x59\x53\x00\x0A\xD8\x00\x00\x41", 10), 2,
     "代理项"},
    {"UTF-16 with a zero character", Format::VCard, std::string("\xFF\xFE\x41\x00\x00\x00", 6), 1, "空字符"},
    {"neither UTF-8 nor GBK", Format::Csv, "姓名\r\n张三\r\n\xFF\xFE\r\n", 3, "编码无效"},
    {"UTF-8 byte-order mark, then other bytes", Format::Csv, "\xEF\xBB\xBF姓名\r\n\xD5\xC5\r\n", 2, "UTF-8"},
    {"a zero byte", Format::Csv, std::string("姓名\r\n张\0三\r\n", 14), 2, "空字符"},
    {"card without END", Format::VCard, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\n", 1, "没有结束"},
    {"second card begins before the first ends", Format::VCard,
     "BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:b\r\nBEGIN:VCARD\r\nFN:c\r\nEND:VCARD\r\n", 4, "没有结束"},
    {"END without BEGIN", Format::VCard, "END:VCARD\r\n", 1, "前面没有BEGIN"},
    {"text outside any card", Format::VCard, "BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\nFN:b\r\n", 4, "以外有内容"},
    {"a line that is no property", Format::VCard, "BEGIN:VCARD\r\nFN:a\r\n\r\njust words\r\nEND:VCARD\r\n", 4, "不是名片的属性"},
    {"broken quoted-printable", Format::VCard,
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE:=ZZ\r\nEND:VCARD\r\n", 3, "quoted-printable"},
    {"raw value neither UTF-8 nor GBK", Format::VCard, "BEGIN:VCARD\r\nFN:a\r\nNOTE:\xFF\xFF\r\nEND:VCARD\r\n", 3,
     "编码无效"},
    {"a character set nobody knows", Format::VCard,
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=X-NOWHERE:abc\r\nEND:VCARD\r\n", 3, "X-NOWHERE"},
};

} // namespace

TEST(MalformedFilesTest, RefusedWithTheLineAndNothingWritten)
{
    TemporaryBook book;
    const transfer::Record kept = MakeRecord({"QQ帐号", "已有的记录"});
    book.AddRecords({kept});
    for (const Malformed& file : kMalformed) {
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
