// Files as phones, mail programs and spreadsheets write them, imported into
// an empty book: each field lands where it belongs, exactly as in the file.
#include "support/TemporaryBook.h"

#include "platform/system/CodePage.h"

#include <gtest/gtest.h>

using transfer::Format;
using transfer::Record;

namespace {

struct ForeignFile {
    const char* madeBy;
    Format format;
    std::string bytes;
    std::vector<Record> expected;
    std::vector<std::string> ignored;
};

std::string InCodePage(const char* utf8) { return platform::ToAnsi(QString::fromUtf8(utf8)); }

std::vector<ForeignFile> ForeignFiles()
{
    return {
        {"spreadsheet in a Chinese locale: GB18030, CR LF, its own column order, a line break in a cell",
         Format::Csv,
         InCodePage("姓名,手机,公司,分类,备注\r\n"
                    "张三,13800000001,某某公司,QQ帐号,\"第一行\n第二行\"\r\n"
                    "李四,,,网站帐号,\"他说\"\"你好\"\"\"\r\n"),
         {MakeRecord({"QQ帐号", "张三", "", "13800000001", "", "", "", "", "第一行\n第二行\n公司: 某某公司"}),
          MakeRecord({"网站帐号", "李四", "", "", "", "", "", "", "他说\"你好\""})},
         {}},
        {"hand-made UTF-8 without a byte-order mark: LF, loose header, short rows, blank lines", Format::Csv,
         "\n 姓名 ,qq,邮箱\n王五,10001,ww@mail.example\n赵六\n\n,,\n",
         {MakeRecord({"", "王五", "10001", "", "", "", "ww@mail.example"}), MakeRecord({"", "赵六"})},
         {}},
        {"a sheet without a header row: the first row is a record, later rows may be wider", Format::Csv,
         "钱七,13800000007\r\n孙八,13800000008,sb@example.com,https://sunba.example\r\n",
         {MakeRecord({"", "钱七", "", "13800000007"}),
          MakeRecord({"", "孙八", "", "13800000008", "", "", "sb@example.com", "https://sunba.example"})},
         {}},
        {"a header of unknown names without a record's values stays a header", Format::Csv,
         "Spalte A,姓名\r\n10001,周九\r\n",
         {MakeRecord({"", "周九"})},
         {"Spalte A"}},
        {"QQ numbers kept in a mail program's user fields, in the ways people write them", Format::Csv,
         "First Name,Last Name,User 1,User 2,User 3\r\n"
         "Wei,Li,qq:12345,QQ号 23456,QQ群 34567\r\nTom,Wu,QQ 0123,QQ,Office 2\r\n",
         {MakeRecord({"", "Wei Li", "12345; 23456", "", "", "", "", "", "用户3: QQ群 34567"}),
          MakeRecord({"", "Tom Wu", "", "", "", "", "", "", "用户1: QQ 0123\n用户2: QQ\n用户3: Office 2"})},
         {}},
        {"our own export read back by the header: 编号 is left to the database", Format::Csv,
         "\xEF\xBB\xBF编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注\r\n7,游戏帐号,钱七,,,,,,,\r\n",
         {MakeRecord({"游戏帐号", "钱七"})},
         {}},
        {"vCard 2.1 of an older phone: GBK in quoted-printable with a soft line break, bare types", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:2.1\r\n"
         "N;CHARSET=GBK;ENCODING=QUOTED-PRINTABLE:=D5=C5;=C8=FD;;;\r\n"
         "FN;CHARSET=GBK;ENCODING=QUOTED-PRINTABLE:=D5=C5=C8=FD\r\n"
         "TEL;CELL;VOICE:13800000001\r\nTEL;CELL:13900000002\r\nTEL;WORK;VOICE:010-12345678\r\n"
         "TEL;WORK;FAX:010-87654321\r\nEMAIL;PREF;INTERNET:zs@mail.example\r\n"
         "NOTE;CHARSET=GBK;ENCODING=QUOTED-PRINTABLE:=B5=DA=D2=BB=D0=D0=0D=0A=B5=DA=\r\n=B6=FE=D0=D0\r\n"
         "X-QQ:10001\r\nEND:VCARD\r\n",
         {MakeRecord({"", "张三", "10001", "13800000001; 13900000002", "010-12345678", "010-87654321",
                      "zs@mail.example", "", "第一行\r\n第二行"})},
         {}},
        {"vCard 2.1 of a phone: UTF-8 quoted-printable, a photo in unindented base64, a contact without a name",
         Format::VCard,
         "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;=E6=9D=8E=E5=9B=9B;;;\n"
         "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\n/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8U\n\n"
         "TEL;HOME:+86 10 5555 0000\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:2.1\nN:;;;;\nFN:\nTEL;HOME:+86 10 5555 0001\nEND:VCARD\n",
         {MakeRecord({"", "李四", "", "", "+86 10 5555 0000"}),
          MakeRecord({"", "+86 10 5555 0001", "", "", "+86 10 5555 0001"})},
         {"照片"}},
        {"vCard 2.1 of a Western mail program: Latin-1 in quoted-printable, ASCII named as such", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
         "FN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:J=FCrgen M=FCller\r\n"
         "EMAIL;INTERNET;CHARSET=US-ASCII:jm@example.de\r\nEND:VCARD\r\n",
         {MakeRecord({"", "Jürgen Müller", "", "", "", "", "jm@example.de"})},
         {}},
        {"vCard 3.0 of a phone's address book: groups, lower-case types, escapes, a folded note", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Phone Maker//Phone OS 16.0//EN\r\nN:Smith;John;;;\r\n"
         "FN:John Smith\r\nORG:Example Ltd.;\r\n"
         "item1.EMAIL;type=INTERNET;type=pref:john@example.com\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n"
         "TEL;type=CELL;type=VOICE;type=pref:+1 555 0100\r\nTEL;type=IPHONE;type=CELL;type=VOICE:+1 555 0101\r\n"
         "TEL;type=WORK;type=FAX:+1 555 0102\r\nitem2.URL;type=pref:https://john.example\r\n"
         "NOTE:Line one\\nLine two\\, with a comma and a long tail that goes on past seven\r\n ty-five bytes\r\n"
         "CATEGORIES:Friends,Work\r\nEND:VCARD\r\n",
         {MakeRecord({"Friends", "John Smith", "", "+1 555 0100; +1 555 0101", "", "+1 555 0102",
                      "john@example.com", "https://john.example",
                      "Line one\nLine two, with a comma and a long tail that goes on past seventy-five bytes\n"
                      "公司: Example Ltd.\n其他分组: Work"})},
         {}},
        {"vCard 3.0 of a mail program: a card with N only, an address, two e-mail addresses", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:王;小明;;;\r\nEMAIL;TYPE=INTERNET;TYPE=HOME:xm@example.com\r\n"
         "EMAIL;TYPE=INTERNET;TYPE=WORK:wang@work.example\r\nTEL;TYPE=CELL:139 0000 0000\r\n"
         "ADR;TYPE=HOME:;;北京市海淀区;;;;\r\nCATEGORIES:myContacts\r\nEND:VCARD\r\n",
         {MakeRecord({"", "王小明", "", "139 0000 0000", "", "", "xm@example.com; wang@work.example", "",
                      "住宅地址: 北京市海淀区"})},
         {}},
        {"vCard 4.0: tel: addresses, quoted type lists, no name but an e-mail address", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:individual\r\nFN:Zoë Müller\r\n"
         "TEL;VALUE=uri;TYPE=\"voice,cell\";PREF=1:tel:+49-170-555-0100\r\n"
         "TEL;VALUE=uri;TYPE=work:tel:+49-30-555-0100\r\nEMAIL;TYPE=work:zoe@example.de\r\n"
         "IMPP:xmpp:zoe@example.de\r\nNOTE:Erste Zeile\\nZweite Zeile\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:nobody@example.de\r\nEND:VCARD\r\n",
         {MakeRecord({"", "Zoë Müller", "", "+49-170-555-0100", "+49-30-555-0100", "", "zoe@example.de", "",
                      "Erste Zeile\nZweite Zeile\n即时通讯(xmpp): xmpp:zoe@example.de"}),
          MakeRecord({"", "nobody@example.de", "", "", "", "", "nobody@example.de"})},
         {}},
        {"names from N alone: Latin letters beyond ASCII keep given name first, Chinese run together", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Jürgen;;Dr.;\r\nEMAIL:jm@example.de\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:欧阳;娜娜;;;\r\nEMAIL:ny@example.cn\r\nEND:VCARD\r\n",
         {MakeRecord({"", "Jürgen Müller", "", "", "", "", "jm@example.de", "", "称谓: Dr."}),
          MakeRecord({"", "欧阳娜娜", "", "", "", "", "ny@example.cn"})},
         {}},
        {"vCard 2.1 in the sets of Taiwan, Japan, Korea and Western Europe, each named by CHARSET", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=BIG5:\xB3\xAF;\xA4j\xA4\xE5\r\nTEL;CELL:0912-345-678\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:\x8ER\x93" "c;\x91\xBE\x98Y\r\nTEL;CELL:090-1234-5678\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=EUC-KR;ENCODING=QUOTED-PRINTABLE:=B1=E8=C3=B6=BC=F6\r\nTEL;CELL:010-1234-5678\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=WINDOWS-1252:Ren\xE9" "e Dubois\r\nNOTE;CHARSET=windows-1252:Prix: 5 \x80\r\nEND:VCARD\r\n",
         {MakeRecord({"", "陳大文", "", "0912-345-678"}), MakeRecord({"", "山田太郎", "", "090-1234-5678"}),
          MakeRecord({"", "김철수", "", "010-1234-5678"}),
          MakeRecord({"", "Renée Dubois", "", "", "", "", "", "", "Prix: 5 €"})},
         {}},
        {"Outlook's Chinese export as later versions name its numbers", Format::Csv,
         InCodePage("名,姓,公司代表线路,无线电话,回拨电话,商务电话 2,住宅传真,移动电话\r\n"
                    "明,王,010-1,010-2,010-3,010-4,010-5,13900000001\r\n"),
         {MakeRecord({"", "王明", "", "13900000001", "010-1; 010-2; 010-3; 010-4", "010-5"})},
         {}},
        {"a table that begins with what a spreadsheet would take for formulas", Format::Csv,
         "姓名,电话,备注\r\n'=张三,'+86 10 1234,\"'@\"\"引用\"\"\"\r\n'普通,''-1,\"'\r回车\"\r\n",
         {MakeRecord({"", "=张三", "", "", "+86 10 1234", "", "", "", "@\"引用\""}),
          MakeRecord({"", "'普通", "", "", "'-1", "", "", "", "\r回车"})},
         {}},
        {"IMPP whose service is named in bytes that are no text, and one of QQ by its scheme", Format::VCard,
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\nIMPP;TYPE=\xFF:skype:a.b\r\nIMPP:qq:10009\r\nEND:VCARD\r\n",
         {MakeRecord({"", "a", "10009", "", "", "", "", "", "即时通讯(skype): skype:a.b"})},
         {}},
    };
}

} // namespace

TEST(OtherProgramsTest, EveryFieldLandsWhereItBelongs)
{
    TemporaryBook book;
    for (const ForeignFile& file : ForeignFiles()) {
        SCOPED_TRACE(file.madeBy);
        book.Clear();
        std::vector<std::string> ignored;
        EXPECT_EQ(book.Import(file.format, file.bytes, &ignored), static_cast<int>(file.expected.size()));
        EXPECT_EQ(book.BookWithoutNumbers(), file.expected);
        EXPECT_EQ(ignored, file.ignored);
    }
}
