#include "store/ConnectionString.h"
#include "store/DatabaseConstants.h"

#include <gtest/gtest.h>

namespace {

QString ValueOf(const QString& text, const QString& key)
{
    return TConnectionString::Parse(text).Value(key).value_or("<none>");
}

TEST(ConnectionStringTest, ReadsTheProgramsConnectionString)
{
    const QString folder = QStringLiteral("/home/用户/Quillory/");
    const TConnectionString parts = TConnectionString::Parse(store::ProgramConnectionString(folder));
    EXPECT_EQ(parts.Value(store::DataSourceKey), folder + "_.udb");
    EXPECT_EQ(parts.Value(store::DatabasePasswordKey), "Rz4nKq8wTe2m");
    EXPECT_EQ(parts.Value("Provider"), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(parts.Value("Persist Security Info"), "False");
    EXPECT_EQ(parts.Items().size(), 4u);
    EXPECT_EQ(store::ProgramConnectionString(folder),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/用户/Quillory/_.udb;"
              "Persist Security Info=False;Jet OLEDB:Database Password=Rz4nKq8wTe2m");
}

TEST(ConnectionStringTest, KeysIgnoreCaseAndBlanksValuesAreTrimmed)
{
    EXPECT_EQ(ValueOf("  data source =  /a/b.udb  ;", "Data Source"), "/a/b.udb");
    EXPECT_EQ(ValueOf("DATA SOURCE=x", " data source "), "x");
    EXPECT_EQ(ValueOf("Data Source=first;Data Source=second", "Data Source"), "second");
    EXPECT_EQ(ValueOf("Data Source=", "Data Source"), "");
    EXPECT_EQ(ValueOf("Data Source=x", "Password"), "<none>");
    EXPECT_EQ(ValueOf("Jet OLEDB:Database Password=a=b", "Jet OLEDB:Database Password"), "a=b");
}

TEST(ConnectionStringTest, QuotedValuesMayHoldSeparatorsAndQuotes)
{
    EXPECT_EQ(ValueOf("Data Source=\"/a;b/_.udb\";Provider=p", "Data Source"), "/a;b/_.udb");
    EXPECT_EQ(ValueOf("Data Source=\"/a;b/_.udb\";Provider=p", "Provider"), "p");
    EXPECT_EQ(ValueOf("Password='it''s';X=1", "Password"), "it's");
    EXPECT_EQ(ValueOf("Password=\"a\"\"b\"", "Password"), "a\"b");
    EXPECT_EQ(ValueOf("Password=\"unterminated;X=1", "Password"), "unterminated;X=1");
}

TEST(ConnectionStringTest, UnquotedPathWithSemicolonStaysOneValue)
{
    const TConnectionString parts = TConnectionString::Parse(store::ProgramConnectionString("/tmp/a;b/"));
    EXPECT_EQ(parts.Value(store::DataSourceKey), "/tmp/a;b/_.udb");
    EXPECT_EQ(parts.Value(store::DatabasePasswordKey), "Rz4nKq8wTe2m");
}

TEST(ConnectionStringTest, OddInputNeverFails)
{
    for (const char* text : {"", ";", ";;;", "=", "=x", "novalue", "\"", "'", "a='", "k=\"\"\"", ";=;=;"}) {
        const TConnectionString parts = TConnectionString::Parse(QString::fromLatin1(text));
        for (const auto& [key, value] : parts.Items())
            EXPECT_FALSE(key.isEmpty()) << text;
    }
    EXPECT_TRUE(TConnectionString::Parse(u"").Items().empty());
}

} // namespace
