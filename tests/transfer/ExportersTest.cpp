// Files as Google Contacts, Outlook, Thunderbird, phones, contact servers and
// office spreadsheets write them, each taken the way the settings page takes
// it: the preview reads the file, then the import writes what the preview
// showed. Every record must land field for field as a person would file it.
#include "support/TemporaryBook.h"

#include "transfer/BookDatabase.h"
#include "transfer/ImportPreview.h"
#include "transfer/TransferJobs.h"

#include <QFile>

#include <gtest/gtest.h>

using transfer::Format;
using transfer::Record;

namespace {

struct Exported {
    const char* file; // in tests/transfer/fixtures
    Format format;
    const char* kind;
    const char* encoding;
    std::vector<Record> expected;     // the nine fields after 编号, as MakeRecord takes them
    std::vector<std::string> ignored; // what the closing message names as not kept
};

std::string Fixture(const char* name)
{
    QFile file(QStringLiteral(QUILLORY_SOURCE_DIR "/tests/transfer/fixtures/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll().toStdString();
}

// 分类, 姓名, QQ, 手机, 电话, 传真, 邮箱, 主页, 备注
const std::vector<Exported>& Files()
{
    // Thunderbird's English and Chinese exports of the same contact land alike.
    static const Record annaBerg =
        MakeRecord({"", "Anna Berg", "", "+46 70 555 0107", "+46 8 555 0107", "+46 8 555 0108",
                    "anna@example.se; anna.berg@mail.example", "https://anna.example.se",
                    "Speaks Chinese\n公司: Nordic AB\n其他主页: https://nordic.example.se\n自定义1: 素食\n"
                    "工作地址: Stockholm Sweden\n生日: 1972-1-3"});
    static const std::vector<Exported> files = {
        {"google_old.csv", Format::Csv, "Google 通讯录 (旧版)", "UTF-8",
         {MakeRecord({"同学", "张三", "10001", "138 0000 0001; 139 0000 0002", "", "010-6666 0001",
                      "zhangsan@example.com", "http://zhangsan.example.com",
                      "大学同学\n昵称: 小张\n生日: 1985-03-02\n公司: 某某科技\n职务: 工程师\n地址: 北京市海淀区中关村大街1号"}),
          MakeRecord({"", "John Smith", "", "", "+1 555 0100", "", "", "", "地址: 1 Main St Springfield USA"})},
         {"照片"}},
        {"google_new.csv", Format::Csv, "Google 通讯录", "UTF-8 (带BOM)",
         {MakeRecord({"朋友", "李小红", "20002", "+86 138 0000 0003", "021-5555 0003", "",
                      "lixh@example.com; LiXH@Example.org", "", "第一行\n第二行\n其他分组: 同事"}),
          MakeRecord({"", "星光贸易有限公司", "", "", "0755-8888 0004", "", "", "https://xingguang.example.cn",
                      "公司: 星光贸易有限公司\n微信: xg_trade"})},
         {}},
        {"outlook_en.csv", Format::Csv, "Outlook", "UTF-8",
         {MakeRecord({"Customers", "Mary Major", "", "+1 425 555 0101", "+1 425 555 0100", "+1 425 555 0102",
                      "mary@contoso.com", "http://www.contoso.com/",
                      "Met at the fair\n公司: Contoso Ltd.\n职务: Buyer\n"
                      "商务地址: 4567 Main St. Buffalo NY 98052 United States of America\n其他分组: Work"}),
          MakeRecord({"", "Ty Carlson", "30003", "", "+1 206 555 0199", "", "", "", "生日: 5/17/1980"})},
         {}},
        {"outlook_zh_gbk.csv", Format::Csv, "Outlook (中文)", "GBK",
         {MakeRecord({"客户", "王小明", "", "13900000005", "010-1234 5678", "010-8765 4321", "wxm@huaxia.example.cn",
                      "www.huaxia.example.cn",
                      "老客户\n公司: 华夏电子\n部门: 销售部\n职务: 经理\n生日: 1978/6/1\n商务地址: 建国路88号 北京"}),
          MakeRecord({"", "长城物流", "", "", "022-2222 0006", "", "", "", "公司: 长城物流"})},
         {}},
        {"thunderbird.csv", Format::Csv, "Thunderbird", "UTF-8",
         {annaBerg,
          MakeRecord({"", "刘伟", "", "13600000008"})},
         {}},
        {"thunderbird_zh_gbk.csv", Format::Csv, "Thunderbird (中文)", "GBK",
         {annaBerg,
          MakeRecord({"", "刘伟", "31313", "13600000008", "", "", "", "", "住宅地址: 杭州"})},
         {}},
        {"headerless_gbk.csv", Format::Csv, "无表头的表格", "GBK",
         {MakeRecord({"", "张三", "10001", "", "13800000001", "", "zhangsan@example.com", "", "同学"}),
          MakeRecord({"", "李四", "20002", "", "010-62345678"}),
          MakeRecord({"", "王五", "", "", "+86 139 0000 0003", "", "wangwu@example.cn", "", "常联系"})},
         {"第1列"}},
        {"office_gbk.csv", Format::Csv, "中文表格", "GBK",
         {MakeRecord({"同事", "赵六", "40004", "13700000009", "0571-8888 0009", "", "zhaoliu@example.com",
                      "http://zhaoliu.example.com", "周末可联系\n公司: 杭州茶业\n职务: 主管\n家庭住址: 杭州市西湖区"}),
          MakeRecord({"", "钱七", "50005", "13700000010", "", "0571-8888 0011"})},
         {}},
        {"office_utf16le.txt", Format::Csv, "中文表格", "UTF-16 LE",
         {MakeRecord({"网友", "孙八", "60006", "13500000012", "020-3333 0012", "", "sunba@example.com",
                      "https://sunba.example.com", "备注里有\"引号\""})},
         {}},
        {"sheet_semicolon.csv", Format::Csv, "表格", "UTF-8",
         {MakeRecord({"", "Jürgen Müller", "", "+49 170 555 0113", "+49 30 555 0113", "", "jm@example.de",
                      "https://jm.example.de", "Kunde; seit 2019"})},
         {}},
        {"android.vcf", Format::VCard, "名片 (vCard 2.1, 安卓手机)", "UTF-8",
         {MakeRecord({"", "周杰", "70007", "138-0000-0014", "010-6000 0014", "010-6000 0015", "zhoujie@example.com", "",
                      "公司: 东方广告\n昵称: 阿杰"}),
          MakeRecord({"", "平安快递", "", "", "95500", "", "", "", "公司: 平安快递"})},
         {}},
        {"iphone.vcf", Format::VCard, "名片 (vCard 3.0, 苹果设备)", "UTF-8",
         {MakeRecord({"", "吴芳", "80008; 90009", "139 0000 0016", "", "020-5555 0016", "wufang@example.com",
                      "http://wufang.example.com",
                      "公司: 蓝天设计\n部门: 创意部\n职务: 设计总监\n住宅地址: 天河路100号 广州 广东 510000 中国\n"
                      "生日: 1988-08-08"}),
          MakeRecord({"", "中国银行", "", "", "95566", "", "", "", "公司: 中国银行"})},
         {"照片"}},
        {"featurephone.vcf", Format::VCard, "名片 (vCard 2.1)", "UTF-8",
         {MakeRecord({"", "郑十一", "", "13300000017", "0512-6000 0017", "", "", "", "生日是三月三日，记得打电话"})},
         {}},
        {"nextcloud.vcf", Format::VCard, "名片 (vCard 3.0, Nextcloud)", "UTF-8",
         {MakeRecord({"Freunde", "Lena Hoffmann", "", "+49 171 555 0118", "+49 30 555 0118", "", "lena@example.org", "",
                      "公司: Sportverein Mitte\n住宅地址: Torstraße 1 Berlin 10119 Deutschland\n"
                      "即时通讯(xmpp): xmpp:lena@jabber.example.org\n其他分组: Verein"})},
         {}},
        {"google.vcf", Format::VCard, "名片 (vCard 3.0)", "UTF-8",
         {MakeRecord({"家人", "陈静", "", "186 0000 0019", "", "", "chenjing@example.com",
                      "https://chenjing.example.com/blog", "表姐, 住在上海"})},
         {}},
        {"utf16be.vcf", Format::VCard, "名片 (vCard 3.0)", "UTF-16 BE",
         {MakeRecord({"", "林二十", "12120", "13100000020"})},
         {}},
    };
    return files;
}

// The preview's reading of the whole file, as the settings page runs it.
void Survey(transfer::ImportPreview& preview)
{
    const auto survey = preview.StartSurvey();
    while (survey->Step(3)) {
    }
    preview.Adopt(*survey);
}

} // namespace

TEST(ExportersTest, EveryExportersFileIsRecognisedAndLandsFieldForField)
{
    TemporaryBook book;
    const store::SqliteDatabase db = transfer::OpenBook(book.ConnectionString());
    for (const Exported& file : Files()) {
        SCOPED_TRACE(file.file);
        book.Clear();
        transfer::ImportPreview preview(file.format, Fixture(file.file), transfer::IndexBook(db.get()));
        Survey(preview);
        EXPECT_EQ(preview.Kind(), file.kind);
        EXPECT_EQ(preview.Encoding(), file.encoding);
        EXPECT_TRUE(preview.Recognised());
        EXPECT_EQ(preview.Records(), static_cast<int>(file.expected.size()));
        EXPECT_EQ(preview.Duplicates(), 0);
        ASSERT_FALSE(preview.FirstRecords().empty());
        EXPECT_EQ(preview.FirstRecords().front(), file.expected.front()) << "the preview shows what will land";

        transfer::ImportJob job(db.get(), preview.ImportSource(), preview.LeaveOut());
        while (job.Step(3)) {
        }
        job.Finish();
        EXPECT_EQ(job.Imported(), static_cast<int>(file.expected.size()));
        EXPECT_EQ(job.IgnoredNames(), file.ignored);
        EXPECT_EQ(book.BookWithoutNumbers(), file.expected);
    }
}

TEST(ExportersTest, ImportingTheSameFilesAgainAddsNothingUnlessAskedTo)
{
    TemporaryBook book;
    const store::SqliteDatabase db = transfer::OpenBook(book.ConnectionString());
    for (const char* name : {"google_new.csv", "outlook_zh_gbk.csv", "iphone.vcf"}) {
        SCOPED_TRACE(name);
        book.Clear();
        const Format format = std::string(name).ends_with(".vcf") ? Format::VCard : Format::Csv;
        book.Import(format, Fixture(name));
        const std::vector<Record> once = book.BookWithoutNumbers();
        for (const bool skip : {true, false}) {
            transfer::ImportPreview again(format, Fixture(name), transfer::IndexBook(db.get()));
            Survey(again);
            again.skipDuplicates = skip;
            EXPECT_EQ(again.Duplicates(), static_cast<int>(once.size()));
            EXPECT_EQ(again.ToAdd(), skip ? 0 : again.Records());
            EXPECT_EQ(again.FirstAreDuplicates().front(), true);
            transfer::ImportJob job(db.get(), again.ImportSource(), again.LeaveOut());
            while (job.Step(3)) {
            }
            job.Finish();
            EXPECT_EQ(job.Skipped(), skip ? static_cast<int>(once.size()) : 0);
        }
        EXPECT_EQ(book.BookWithoutNumbers().size(), 2 * once.size()) << "once skipped, once imported in full";
    }
}
