#include "store/RecordStatements.h"

#include <gtest/gtest.h>

namespace {

statements::RecordValues SampleRecord()
{
    return {QStringLiteral("7"),      QStringLiteral("网站帐号"), QStringLiteral("张三"),
            QStringLiteral("10001"),  QStringLiteral("13800000000"), QStringLiteral("010-1234"),
            QStringLiteral("010-5678"), QStringLiteral("a@b.example"), QStringLiteral("www.b.example"),
            QStringLiteral("第一行\n第二行")};
}

TEST(RecordStatements, TextsKeepTheirExactShape)
{
    struct Case {
        QString built;
        QString expected;
    };
    const Case cases[] = {
        {statements::List(), QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data")},
        {statements::Search(QStringLiteral("姓名"), QStringLiteral("张")),
         QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where `姓名` like '%张%' ")},
        {statements::Search(QStringLiteral(" 姓名\t "), QStringLiteral(" 张 ")),
         QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where `姓名` like '% 张 %' ")},
        {statements::CategoryFilter(QStringLiteral("QQ帐号")),
         QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 分类 like '%QQ帐号%' ")},
        {statements::CategoryFallback(), QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data")},
        {statements::Insert(SampleRecord()),
         QStringLiteral("Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values ('网站帐号','张三','10001',"
                        "'13800000000','010-1234','010-5678','a@b.example','www.b.example','第一行\n第二行')")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.built, c.expected);
}

TEST(RecordStatements, UpdateIsTenLinesEndingWithTheNumber)
{
    const QStringList lines = statements::Update(SampleRecord());
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("update data  set 分类='网站帐号' "));
    EXPECT_EQ(lines[1], QStringLiteral(", 姓名='张三' "));
    EXPECT_EQ(lines[8], QStringLiteral(", 备注='第一行\n第二行' "));
    EXPECT_EQ(lines[9], QStringLiteral("where  编号=7"));
}

TEST(RecordStatements, QuotesInValuesAreDoubledAndWildcardsKept)
{
    auto record = SampleRecord();
    record.name = QStringLiteral("O'Brien");
    EXPECT_TRUE(statements::Insert(record).contains(QStringLiteral("'O''Brien'")));
    EXPECT_EQ(statements::Update(record)[1], QStringLiteral(", 姓名='O''Brien' "));
    EXPECT_TRUE(statements::Search(QStringLiteral("姓名"), QStringLiteral("%'_"))
                    .endsWith(QStringLiteral("like '%%''_%' ")));
    EXPECT_TRUE(statements::CategoryFilter(QStringLiteral("a'b")).contains(QStringLiteral("'%a''b%'")));
}

TEST(RecordStatements, SearchFieldIsQuotedAsAnIdentifier)
{
    EXPECT_TRUE(statements::Search(QStringLiteral("x` or 1=1 --"), QStringLiteral("k"))
                    .contains(QStringLiteral("where `x`` or 1=1 --` like")));
}

} // namespace
