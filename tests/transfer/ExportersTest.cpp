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
    std::vector<transfer::Repair> repairs = {}; // each with a part of its text
    bool sure = true;                           // whether the encoding was told or guessed with enough to go on
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
        // Lines ending in CR CR LF, one of them folded: one line end each, as an editor counts them.
        {"ios_crcrlf.vcf", Format::VCard, "名片 (vCard 3.0, 苹果设备)", "UTF-8",
         {MakeRecord({"", "黄晓明", "", "138 0013 8000", "021-6666-8888", "", "", "",
                      "第一次见面是在上海的展会上，他负责华东区的渠道，喜欢喝普洱茶，周末常去打羽毛球。\n"
                      "公司: 光明乳业\n部门: 市场部"}),
          MakeRecord({"", "Amy Chen", "", "", "+852 2345 6789", "", "amy.chen@example.com"})},
         {}},
        // A stray byte in one company: that character is marked, the six cards come in.
        {"android_stray_byte.vcf", Format::VCard, "名片 (vCard 2.1, 安卓手机)", "UTF-8",
         {MakeRecord({"", "刘洋", "", "13900000001", "", "", "", "", "公司: 华为技术\n昵称: 阿洋"}),
          MakeRecord({"", "陈杰", "", "13900000002", "", "", "", "", "公司: 中国移动"}),
          MakeRecord({"", "杨帆", "", "13900000003", "", "", "", "", "公司: 平安保险"}),
          MakeRecord({"", "赵敏", "", "13900000004", "", "", "", "", "公司: 招\xEF\xBF\xBD商银行"}),
          MakeRecord({"", "孙丽", "", "13900000005", "", "", "", "", "公司: 顺丰速运"}),
          MakeRecord({"", "周强", "", "13900000006", "", "", "", "", "公司: 京东物流"})},
         {},
         {{28, "1个字节不是有效的UTF-8文字"}}},
        // A fold that splits a character: the lines are joined before the text is read.
        {"split_by_fold.vcf", Format::VCard, "名片 (vCard 3.0)", "UTF-8",
         {MakeRecord({"", "Αλέξανδρος Παπαδόπουλος-Κωνσταντινίδης", "", "+30 694 123 4567", "", "", "", "",
                      "Συνάδελφος από την Αθήνα· μιλάει ελληνικά, αγγλικά και λίγα κινέζικα."})},
         {}},
        // One number as home and as mobile: no duplicate of itself.
        {"number_twice.vcf", Format::VCard, "名片 (vCard 3.0)", "UTF-8",
         {MakeRecord({"", "王建国", "", "138 0013 8000", "13800138000", "", "wjg@example.cn"})},
         {}},
        {"shift_jis.csv", Format::Csv, "表格", "Shift_JIS",
         {MakeRecord({"", "山田 太郎", "", "090-1234-5678", "", "", "taro.yamada@example.jp", "",
                      "営業部の担当者。毎週月曜日に連絡。\n公司: 株式会社さくら"}),
          MakeRecord({"", "鈴木 花子", "", "080-2345-6789", "", "", "hanako.suzuki@example.jp", "",
                      "経理担当、請求書はメールで送付。\n公司: 東京物産"}),
          MakeRecord({"", "佐藤 一郎", "", "070-3456-7890", "", "", "ichiro.sato@example.jp", "", "技術部長\n公司: 大阪電機"})},
         {}},
        {"big5.csv", Format::Csv, "中文表格", "Big5",
         {MakeRecord({"", "陳大文", "", "0912-345-678", "02-2345-6789", "", "dawen.chen@example.tw", "",
                      "大學同學，現在在竹科上班。\n地址: 台北市信義區松仁路100號"}),
          MakeRecord({"", "林美玲", "", "0933-222-111", "07-334-5566", "", "meiling@example.tw", "",
                      "每年春節寄賀卡。\n地址: 高雄市前鎮區中山二路5號"}),
          MakeRecord({"", "張志明", "", "0988-765-432", "", "", "zhiming.zhang@example.hk", "", "地址: 香港九龍彌敦道300號"})},
         {}},
        {"euc_kr.csv", Format::Csv, "表格", "EUC-KR",
         {MakeRecord({"", "김철수", "", "010-1234-5678", "", "", "cs.kim@example.kr", "", "대학교 동창 서울에서 일함"}),
          MakeRecord({"", "이영희", "", "010-2345-6789", "", "", "yh.lee@example.kr", "", "부산 지사 담당자입니다"}),
          MakeRecord({"", "박민수", "", "010-3456-7890", "", "", "ms.park@example.kr", "", "매주 금요일 회의"})},
         {}},
        {"windows1252.vcf", Format::VCard, "名片 (vCard 2.1)", "Windows-1252",
         {MakeRecord({"", "Jürgen Müller", "", "", "+49 89 1234 5678", "", "", "",
                      "Stammkunde seit 1998 – schätzt Brötchen und Brezeln über alles.\n公司: Bäckerei Größe GmbH\n"
                      "住宅地址: Königstraße 5 München 80331 Deutschland"}),
          MakeRecord({"", "François Lefèvre", "", "+33 6 12 34 56 78", "", "", "", "",
                      "Rencontré à Genève; préfère le café noir, déteste les embouteillages à côté du lac."}),
          MakeRecord({"", "José Núñez", "", "", "+34 91 555 0199", "", "", "",
                      "Compañero de la universidad; vive en Málaga, cerca de la estación.\n公司: Café São João"})},
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
        EXPECT_EQ(preview.EncodingText(), file.encoding);
        EXPECT_EQ(preview.EncodingSure(), file.sure);
        EXPECT_TRUE(preview.Recognised());
        EXPECT_EQ(preview.Records(), static_cast<int>(file.expected.size()));
        EXPECT_EQ(preview.Duplicates(), 0);
        ASSERT_FALSE(preview.FirstRecords().empty());
        EXPECT_EQ(preview.FirstRecords().front(), file.expected.front()) << "the preview shows what will land";
        ASSERT_EQ(preview.Repairs().Entries().size(), file.repairs.size());
        for (std::size_t i = 0; i < file.repairs.size(); ++i) {
            EXPECT_EQ(preview.Repairs().Entries()[i].line, file.repairs[i].line);
            EXPECT_NE(preview.Repairs().Entries()[i].what.find(file.repairs[i].what), std::string::npos)
                << preview.Repairs().Entries()[i].what;
        }

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
