// Export then import into an empty book gives every field back as it was,
// in both formats.
#include "support/TemporaryBook.h"

#include <gtest/gtest.h>

#include "transfer/RecordColumns.h"

using transfer::Format;
using transfer::Record;

namespace {

struct RoundTrip {
    const char* what;
    std::vector<Record> records;
};

std::string Repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::vector<RoundTrip> RoundTrips()
{
    return {
        {"plain Chinese contact", {MakeRecord({"QQ帐号", "张三", "10001", "13800000001", "010-12345678", "010-87654321",
                                                "zs@mail.example", "http://www.zs.example", "常用"})}},
        {"only the required fields", {MakeRecord({"网站帐号", "李四"})}},
        {"quotes, commas, semicolons, backslashes",
         {MakeRecord({"论坛,帐号", "O'Brien \"Bob\"", "1,2", "a;b", "c\\d", "\\n", "x,y;z", "http://a.example/?q=1,2",
                      "引号\"与逗号,与分号;与反斜杠\\"})}},
        {"remarks with CR LF, LF, a lone CR and blank lines",
         {MakeRecord({"邮箱帐号", "王五", "", "", "", "", "", "", "第一行\r\n第二行\r\n"}),
          MakeRecord({"邮箱帐号", "王六", "", "", "", "", "", "", "第一行\n\n第三行"}),
          MakeRecord({"邮箱帐号", "王七", "", "", "", "", "", "", "a\rb\r\nc\nd"})}},
        {"several numbers and addresses joined with \"; \"",
         {MakeRecord({"QQ帐号", "赵六", "1; 2", "139; 138", "010-1; 010-2", "", "a@x.example; b@y.example"})}},
        {"an entry of nothing but blanks between \"; \"",
         {MakeRecord({"QQ帐号", "赵七", "", "", "010-1;    ; 010-2", "", "a@x.example; \t; b@y.example ::: c"})}},
        {"blanks kept at both ends", {MakeRecord({" 分类 ", "  名  ", " 1 ", "", "", "", "", "", "  "})}},
        {"cells a spreadsheet would run as formulas, and apostrophes before them",
         {MakeRecord({"=分类", "+名", "-1", "@x", "'=已有撇号", "''+两个撇号", "'普通撇号", "\tTab", "\r回车"})}},
        {"characters beyond the basic plane", {MakeRecord({"游戏帐号", "𠮷野家😀", "", "", "", "", "", "", "é ß ∑"})}},
        {"values of 32,768 and more characters",
         {MakeRecord({"银行帐号", Repeated("长", 40000), "", "", "", "", "", "", Repeated("备注,\"\r\n", 9000)})}},
        {"a hundred records keep their order",
         [] {
             std::vector<Record> records;
             for (int i = 0; i < 100; ++i)
                 records.push_back(MakeRecord({"分类" + std::to_string(i % 7), "名" + std::to_string(i)}));
             return records;
         }()},
    };
}

class RoundTripTest : public ::testing::TestWithParam<Format> {};

} // namespace

TEST_P(RoundTripTest, EveryFieldComesBackAsItWas)
{
    TemporaryBook source;
    TemporaryBook target;
    for (const RoundTrip& trip : RoundTrips()) {
        SCOPED_TRACE(trip.what);
        source.Clear();
        target.Clear();
        source.AddRecords(trip.records);
        const std::string file = source.ExportedBytes(GetParam());
        EXPECT_EQ(target.Import(GetParam(), file), static_cast<int>(trip.records.size()));
        EXPECT_EQ(target.BookWithoutNumbers(), trip.records);
    }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, RoundTripTest, ::testing::Values(Format::Csv, Format::VCard),
                         [](const auto& info) { return info.param == Format::Csv ? "Csv" : "VCard"; });
