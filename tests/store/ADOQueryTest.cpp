#include "StoreFixture.h"

#include "store/engine/DatabaseError.h"

#include <QStringList>

namespace {

const QString ListStatement = QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data");

struct Record {
    QString fenLei, xingMing, qq, shouJi, dianHua, chuanZhen, youXiang, wangZhi, beiZhu;
};

QString InsertStatement(const Record& r)
{
    return QStringLiteral("Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values ('") + r.fenLei
        + "','" + r.xingMing + "','" + r.qq + "','" + r.shouJi + "','" + r.dianHua + "','" + r.chuanZhen + "','"
        + r.youXiang + "','" + r.wangZhi + "','" + r.beiZhu + "')";
}

QString SearchStatement(const QString& field, const QString& keyword)
{
    return QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where ") + field
        + " like '%" + keyword + "%' ";
}

QString FilterStatement(const QString& category)
{
    return QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 分类 like '%")
        + category + "%' ";
}

class ADOQueryTest : public StoreFixture {
protected:
    void AddSampleRecords()
    {
        const Record records[] = {
            {"QQ帐号", "张三", "10001", "13800000001", "010-1", "", "zs@example.com", "http://a.example", "第一行\r\n第二行"},
            {"银行帐号", "李四", "10002", "13800000002", "", "", "", "", ""},
            {"QQ帐号", "张小明", "20003", "", "", "", "", "", "百分之百%"},
            {"游戏帐号", "王_五", "", "", "", "", "", "", ""},
        };
        for (const Record& record : records)
            Exec(InsertStatement(record));
    }

    QStringList Names()
    {
        QStringList names;
        for (int row = 0; row < query.RecordCount(); ++row)
            names << query.CellText(row, 2);
        return names;
    }
};

TEST_F(ADOQueryTest, ProgramRecordStatementsRunAsWritten)
{
    AddSampleRecords();

    OpenWith(ListStatement);
    ASSERT_EQ(query.RecordCount(), 4);
    ASSERT_EQ(query.FieldCount(), 10);
    EXPECT_EQ(query.FieldName(0), "编号");
    EXPECT_EQ(query.FieldName(9), "备注");
    EXPECT_EQ(query.FieldByName("姓名"), "张三");
    EXPECT_EQ(query.FieldByName("qq"), "10001") << "field names match in any case";
    EXPECT_EQ(query.FieldAsString(9), "第一行\r\n第二行") << "a multi-line remark keeps its line breaks";

    OpenWith(SearchStatement("姓名", "张"));
    EXPECT_EQ(Names(), QStringList({"张三", "张小明"}));

    // "%" as keyword matches every non-null value; "_" matches any one character.
    OpenWith(SearchStatement("备注", "%"));
    EXPECT_EQ(query.RecordCount(), 4);
    OpenWith(SearchStatement("姓名", "_"));
    EXPECT_EQ(query.RecordCount(), 4);
    OpenWith(SearchStatement("姓名", "王_"));
    EXPECT_EQ(Names(), QStringList({"王_五"}));
    OpenWith(SearchStatement("邮箱", "ZS@EXAMPLE")) ;
    EXPECT_EQ(Names(), QStringList({"张三"})) << "LIKE ignores ASCII case";

    OpenWith(FilterStatement("QQ"));
    EXPECT_EQ(Names(), QStringList({"张三", "张小明"}));
    OpenWith(FilterStatement("没有的分类"));
    EXPECT_TRUE(query.Eof()) << "end flag set right after opening an empty result";
    EXPECT_TRUE(query.Bof());
    EXPECT_EQ(query.RecNo(), -1);
    OpenWith(QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data"));
    EXPECT_EQ(query.RecordCount(), 4);

    // A search field that is not a column fails with the engine's text.
    query.Close();
    query.SQL.Clear();
    query.SQL.Add(SearchStatement("不存在", "x"));
    try {
        query.Open();
        FAIL() << "expected an error";
    } catch (const EDatabaseError& error) {
        EXPECT_NE(QString::fromUtf8(error.what()).indexOf("no such column"), -1) << error.what();
    }
    EXPECT_FALSE(query.Active());
}

TEST_F(ADOQueryTest, TenLineUpdateAndPasswordStatements)
{
    AddSampleRecords();
    OpenWith(ListStatement);
    query.Next();
    const QString number = query.FieldByName("编号");

    query.SQL.Clear();
    const QStringList lines = {
        "update data  set 分类='论坛帐号' ", ", 姓名='李四四' ", ", QQ='' ", ", 手机='139' ", ", 电话='' ",
        ", 传真='' ", ", 邮箱='' ", ", 主页='' ", ", 备注='一\r\n二' ", "where  编号=" + number,
    };
    for (const QString& line : lines)
        query.SQL.Add(line);
    EXPECT_EQ(query.SQL.Count(), 10);
    EXPECT_TRUE(query.SQL.Text().endsWith("where  编号=" + number + "\r\n"));
    EXPECT_EQ(query.ExecSQL(), 1);

    OpenWith(ListStatement + " where 编号=" + number);
    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.FieldByName("分类"), "论坛帐号");
    EXPECT_EQ(query.FieldByName("姓名"), "李四四");
    EXPECT_EQ(query.FieldByName("QQ"), "");
    EXPECT_EQ(query.FieldByName("备注"), "一\r\n二");

    Exec("update Pass  set 密码='FEDCBA9876543210' ");
    OpenWith("Select 密码 from Pass");
    EXPECT_EQ(query.FieldByName("密码"), "FEDCBA9876543210");
}

TEST_F(ADOQueryTest, ClearAllStatementsWithParenthesisedTable)
{
    AddSampleRecords();
    query.SQL.Clear();
    query.SQL.Add("delete from (data)");
    EXPECT_EQ(query.ExecSQL(), 4);
    query.SQL.Clear();
    query.SQL.Add("select * from (data)");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_EQ(query.FieldCount(), 10);
    EXPECT_TRUE(query.Eof());

    OpenWith("Select 密码 from Pass");
    EXPECT_EQ(query.RecordCount(), 1) << "clearing the records leaves the password";
}

TEST_F(ADOQueryTest, NullsAndEmptyResultsReadAsEmptyText)
{
    Exec("insert into data (姓名) values ('只有姓名')");
    OpenWith(ListStatement);
    for (int field = 1; field < query.FieldCount(); ++field) {
        if (field != 2) {
            EXPECT_EQ(query.FieldAsString(field), QString()) << field;
        }
    }
    Exec("update Pass set 密码=NULL");
    OpenWith("Select 密码 from Pass");
    EXPECT_EQ(query.FieldByName("密码"), QString());
    Exec("delete from Pass");
    OpenWith("Select 密码 from Pass");
    EXPECT_EQ(query.FieldByName("密码"), QString()) << "an empty table reads as empty text";
    EXPECT_THROW(query.FieldByName("没有"), EDatabaseError);
    EXPECT_THROW(query.FieldAsString(1), EDatabaseError);
    query.Close();
    EXPECT_THROW(query.FieldByName("密码"), EDatabaseError);
}

TEST_F(ADOQueryTest, EveryValueTypeReadsAsTheEngineGivesItAsText)
{
    struct Case {
        const char* literal;
        QString text;
    };
    const Case cases[] = {
        {"42", QStringLiteral("42")},
        {"-9223372036854775808", QStringLiteral("-9223372036854775808")},
        {"1.5", QStringLiteral("1.5")},
        {"x'414243'", QStringLiteral("ABC")},
        {"x''", QString()},
        {"''", QString()},
        {"'第一行' || char(13, 10) || '第二行'", QStringLiteral("第一行\r\n第二行")},
        {"NULL", QString()},
    };
    QStringList columns;
    for (const Case& c : cases)
        columns << QString::fromUtf8(c.literal);
    OpenWith("Select " + columns.join(','));
    ASSERT_EQ(query.FieldCount(), static_cast<int>(std::size(cases)));
    for (int column = 0; column < query.FieldCount(); ++column) {
        const Case& c = cases[column];
        EXPECT_EQ(query.FieldAsString(column), c.text) << c.literal;
        EXPECT_EQ(query.CellBytes(0, column), c.text.toStdString()) << c.literal;
    }

    // A column's values may change type from row to row.
    OpenWith("Select 7, 'a' union all select 'x', 8 union all select NULL, 9223372036854775807 "
             "union all select -5, 1.25 union all select 3, NULL");
    const QStringList expected[] = {{"7", "a"}, {"x", "8"}, {"", "9223372036854775807"}, {"-5", "1.25"}, {"3", ""}};
    ASSERT_EQ(query.RecordCount(), static_cast<int>(std::size(expected)));
    for (int row = 0; row < query.RecordCount(); ++row)
        EXPECT_EQ((QStringList{query.CellText(row, 0), query.CellText(row, 1)}), expected[row]) << row;
}

TEST_F(ADOQueryTest, NavigationStopsAtBothEnds)
{
    AddSampleRecords();
    OpenWith(ListStatement);
    EXPECT_EQ(query.RecNo(), 1);
    EXPECT_TRUE(query.Bof());
    EXPECT_FALSE(query.Eof());

    query.Prior();
    EXPECT_EQ(query.RecNo(), 1);
    query.Last();
    query.Next();
    EXPECT_EQ(query.RecNo(), 4);
    EXPECT_EQ(query.FieldByName("姓名"), "王_五");
    query.First();
    EXPECT_EQ(query.MoveBy(10), 3) << "a move stops at the last row";
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.MoveBy(-2), -2);
    EXPECT_FALSE(query.Eof());
    EXPECT_EQ(query.MoveBy(-5), -1);
    EXPECT_TRUE(query.Bof());
    query.SetRecNo(3);
    EXPECT_EQ(query.FieldByName("姓名"), "张小明");
    query.SetRecNo(9);
    EXPECT_EQ(query.RecNo(), 3) << "a position outside the result is ignored";

    OpenWith(FilterStatement("没有"));
    query.Next();
    query.Last();
    query.MoveBy(-3);
    EXPECT_EQ(query.RecNo(), -1) << "moving in an empty result changes nothing";
}

TEST_F(ADOQueryTest, DeleteRemovesCurrentRowFromTableAndSnapshot)
{
    AddSampleRecords();
    OpenWith(ListStatement);

    query.Delete(); // straight after opening: the first row
    EXPECT_EQ(Names(), QStringList({"李四", "张小明", "王_五"}));
    EXPECT_EQ(query.RecNo(), 1);
    query.Last();
    query.Delete();
    EXPECT_EQ(query.RecNo(), 2) << "deleting the last row makes the new last current";
    EXPECT_EQ(query.FieldByName("姓名"), "张小明");

    OpenWith(ListStatement);
    EXPECT_EQ(Names(), QStringList({"李四", "张小明"})) << "the table lost the same rows";

    // A row another query already removed: the error leaves the snapshot alone.
    TADOQuery other;
    other.Connection = &connection;
    other.SQL.SetText("delete from data where 姓名='李四'");
    other.ExecSQL();
    query.First();
    EXPECT_THROW(query.Delete(), EDatabaseError);
    EXPECT_EQ(query.RecordCount(), 2);

    OpenWith(FilterStatement("没有"));
    EXPECT_THROW(query.Delete(), EDatabaseError);
    OpenWith("Select 姓名 from data");
    EXPECT_THROW(query.Delete(), EDatabaseError) << "no 编号 to find the row by";
}

TEST_F(ADOQueryTest, AnyChangeOfTheLinesClosesTheResult)
{
    AddSampleRecords();
    const std::function<void()> changes[] = {
        [&] { query.SQL.Clear(); },
        [&] { query.SQL.Add(""); },
        [&] { query.SQL.SetText(ListStatement); },
    };
    for (const auto& change : changes) {
        query.SQL.SetText(ListStatement);
        query.Open();
        ASSERT_TRUE(query.Active());
        change();
        EXPECT_FALSE(query.Active());
        EXPECT_EQ(query.RecordCount(), 0);
        EXPECT_EQ(query.RecNo(), -1);
    }
}

TEST_F(ADOQueryTest, LinesJoinWithCrLfAndSplitOnAnyLineBreak)
{
    query.SQL.SetText("select 编号\r\nfrom data\nwhere 1=1\r");
    EXPECT_EQ(query.SQL.Count(), 3);
    EXPECT_EQ(query.SQL[1], "from data");
    EXPECT_EQ(query.SQL.Text(), "select 编号\r\nfrom data\r\nwhere 1=1\r\n");
    query.Open();
    EXPECT_TRUE(query.Active());
    query.SQL.Clear();
    EXPECT_EQ(query.SQL.Text(), "");
}

TEST_F(ADOQueryTest, StatementMisuseFailsWithoutSideEffects)
{
    AddSampleRecords();
    // Open of a statement that returns no rows must not run it.
    query.SQL.SetText("delete from data");
    EXPECT_THROW(query.Open(), EDatabaseError);
    OpenWith(ListStatement);
    EXPECT_EQ(query.RecordCount(), 4);

    // A second statement is refused, and the first does not run either.
    query.SQL.SetText("delete from data; delete from Pass");
    EXPECT_THROW(query.ExecSQL(), EDatabaseError);
    OpenWith(ListStatement);
    EXPECT_EQ(query.RecordCount(), 4);

    query.SQL.Clear();
    EXPECT_THROW(query.ExecSQL(), EDatabaseError);
    query.SQL.SetText(QStringLiteral("delete from data") + QChar(0) + "garbage");
    EXPECT_THROW(query.ExecSQL(), EDatabaseError) << "nothing after a NUL may be dropped silently";
    query.SQL.SetText("select 1;\r\n");
    EXPECT_NO_THROW(query.Open()) << "a closing semicolon and line break are fine";
}

TEST_F(ADOQueryTest, SnapshotOutlivesTheConnection)
{
    AddSampleRecords();
    OpenWith(ListStatement);
    connection.Close();
    query.Last();
    EXPECT_EQ(query.FieldByName("姓名"), "王_五");
    query.Delete(); // reopens the connection
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(query.RecordCount(), 3);
}

TEST_F(ADOQueryTest, SignalsLetAGridFollowTheResult)
{
    AddSampleRecords();
    QStringList events;
    QObject::connect(&query, &TADOQuery::opened, [&] { events << QString("opened %1").arg(query.RecordCount()); });
    QObject::connect(&query, &TADOQuery::aboutToClose, [&] { events << "aboutToClose"; });
    QObject::connect(&query, &TADOQuery::closed, [&] { events << "closed"; });
    QObject::connect(&query, &TADOQuery::currentRowChanged, [&](int row) { events << QString("row %1").arg(row); });
    QObject::connect(&query, &TADOQuery::rowAboutToBeRemoved, [&](int row) {
        events << QString("removing %1 of %2").arg(row).arg(query.RecordCount());
    });
    QObject::connect(&query, &TADOQuery::rowRemoved, [&](int row) {
        events << QString("removed %1 of %2").arg(row).arg(query.RecordCount());
    });

    OpenWith(ListStatement);
    query.Next();
    query.Next(); // row 2
    query.Delete();
    query.SQL.Clear();
    EXPECT_EQ(events, QStringList({"opened 4", "row 0", "row 1", "row 2", "removing 2 of 4", "removed 2 of 3",
                                   "row 2", "aboutToClose", "closed", "row -1"}));
}

} // namespace
