// The sync state's triggers see every writer of table data: the program's
// own statements, a bulk insert, "清空数据", and an older build that knows
// nothing of them (here: plain statements on the same file).
#include "StoreFixture.h"

#include "store/SyncSchema.h"
#include "store/engine/DatabaseError.h"

#include <sqlite3.h>

namespace {

class SyncSchemaTest : public StoreFixture {
protected:
    void SetUp() override { store::EnsureSyncSchema(connection.WritableHandle()); }

    // "编号:dirty:deleted" of every sync_item row, in 编号 order.
    QString Items()
    {
        OpenWith("select group_concat(编号 || ':' || dirty || ':' || deleted, ' ') from"
                 " (select * from sync_item order by 编号)");
        return query.FieldAsString(0);
    }
    void Synced(int number) // as a sync leaves a record: on the server, nothing to send
    {
        Exec(QStringLiteral("update sync_item set href = '/b/%1.vcf', dirty = 0 where 编号 = %1").arg(number));
    }
};

TEST_F(SyncSchemaTest, EveryWriterMarksWhatChanged)
{
    struct Row {
        const char* what;
        const char* statement;
        const char* items; // after the statement, from the state below
    };
    // Before each row: records 1 and 2 synced, record 3 new here.
    const Row rows[] = {
        {"the editor's add", "insert into data (分类,姓名) values ('网站帐号','新')", "1:0:0 2:0:0 3:1:0 4:1:0"},
        {"modify with a change", "update data set 手机 = '139' where 编号 = 1", "1:1:0 2:0:0 3:1:0"},
        {"modify storing the same values", "update data set 姓名 = 姓名 where 编号 = 1", "1:0:0 2:0:0 3:1:0"},
        {"a null becoming empty text is a change", "update data set QQ = '' where 编号 = 2", "1:0:0 2:1:0 3:1:0"},
        {"delete of a synced record", "delete from data where 编号 = 2", "1:0:0 2:1:1 3:1:0"},
        {"delete of a record never synced", "delete from data where 编号 = 3", "1:0:0 2:0:0"},
        {"清空数据", "delete from (data)", "1:1:1 2:1:1"},
        {"an import's many rows", "insert into data (姓名) select 姓名 || '2' from data", "1:0:0 2:0:0 3:1:0 4:1:0 5:1:0 6:1:0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Exec("delete from sync_item");
        Exec("delete from data");
        Exec("delete from sqlite_sequence");
        Exec("insert into data (分类,姓名) values ('网站帐号','甲'), ('网站帐号','乙'), ('网站帐号','丙')");
        Synced(1);
        Synced(2);
        Exec(QString::fromUtf8(row.statement));
        EXPECT_EQ(Items(), QString::fromUtf8(row.items));
    }
}

TEST_F(SyncSchemaTest, SchemaIsMadeOnceAndConflictsGoWithTheirRecord)
{
    EXPECT_TRUE(store::HasSyncSchema(connection.Handle()));
    store::EnsureSyncSchema(connection.Handle()); // a second time changes nothing
    OpenWith("select count(*) from sync_account");
    EXPECT_EQ(query.FieldAsString(0), "1");
    Exec("insert into data (姓名) values ('甲')");
    Synced(1);
    Exec("insert into sync_conflict values (1, 4, '139')");
    Exec("delete from data where 编号 = 1");
    OpenWith("select count(*) from sync_conflict");
    EXPECT_EQ(query.FieldAsString(0), "0");
    // The single account row stays single.
    EXPECT_THROW(Exec("insert into sync_account (id) values (2)"), EDatabaseError);
}

} // namespace
