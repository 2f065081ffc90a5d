#include "store/Dialect.h"

#include <gtest/gtest.h>

namespace {

TEST(ADODialectTest, ParenthesisedTableAfterFromBecomesBareName)
{
    EXPECT_EQ(AdaptStatement(u"select * from (data)\r\n"), "select * from data\r\n");
    EXPECT_EQ(AdaptStatement(u"delete from (data)\r\n"), "delete from data\r\n");
    EXPECT_EQ(AdaptStatement(u"DELETE FROM ( data ) where 1=1"), "DELETE FROM data where 1=1");
    EXPECT_EQ(AdaptStatement(u"select * from\r\n(data)"), "select * from\r\ndata");
    EXPECT_EQ(AdaptStatement(u"select * from(data)x"), "select * from data x");
    EXPECT_EQ(AdaptStatement(u"select * From (数据表)"), "select * From 数据表");
}

TEST(ADODialectTest, EverythingElseStaysAsWritten)
{
    const char16_t* unchanged[] = {
        u"Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 姓名 like '%from (data)%' ",
        u"select * from (select * from data)",
        u"select * from data where x in (1)",
        u"select fromage from (data",
        u"update Pass  set 密码='from (x)' ",
        u"select \"from (data)\" from data -- from (data)\r\n",
        u"select 1 /* from (data) */",
        u"select x_from (data)",
        u"",
        u"'unterminated from (data)",
    };
    for (const char16_t* statement : unchanged)
        EXPECT_EQ(AdaptStatement(statement), QString::fromUtf16(statement));
}

} // namespace
