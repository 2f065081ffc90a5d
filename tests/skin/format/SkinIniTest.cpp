#include "skin/format/SkinIni.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

TFastIni Parse(std::string_view text)
{
    TFastIni ini;
    ini.LoadFromBytes(text);
    return ini;
}

} // namespace

TEST(FastIni, IgnoresBlankLinesCommentsAndTrimsKeysAndValues)
{
    const TFastIni ini = Parse("; leading comment\r\n\r\n   ; indented comment\n"
                               "  [Main]  \r\n"
                               "\t Name  =  Calm Blue \t\r\n"
                               ";Name=commented\n"
                               "Formula = a=b=c\n");
    EXPECT_EQ(ini.ReadString("Main", "Name", "-"), "Calm Blue");
    EXPECT_EQ(ini.ReadString("Main", "Formula", "-"), "a=b=c");
    EXPECT_EQ(ini.ReadString("Main", "missing", "-"), "-");
}

TEST(FastIni, SectionsAndKeysMatchInAnyLetterCase)
{
    const TFastIni ini = Parse("[TitleBarSkin]\nSkinName=Quiet\n");
    EXPECT_EQ(ini.ReadString("TITLEBARSKIN", "skinname", ""), "Quiet");
    EXPECT_EQ(ini.ReadString("titlebarskin", "SKINNAME", ""), "Quiet");
}

TEST(FastIni, FirstMatchingLineDecidesEvenWhenEmpty)
{
    const TFastIni ini = Parse("[A]\nKey=\nKey=late\nOther=1\nOther=2\n");
    EXPECT_EQ(ini.ReadString("A", "Key", "def"), "def");
    EXPECT_EQ(ini.ReadString("A", "Other", "def"), "1");
}

TEST(FastIni, KeysBelongOnlyToTheirSection)
{
    const TFastIni ini = Parse("Orphan=1\n[A]\nKey=a\n[B]\nKey=b\nOnlyB=x\n");
    EXPECT_EQ(ini.ReadString("A", "Orphan", "none"), "none");
    EXPECT_EQ(ini.ReadString("A", "OnlyB", "none"), "none");
    EXPECT_EQ(ini.ReadString("B", "Key", ""), "b");
    EXPECT_EQ(ini.ReadString("C", "Key", "none"), "none");
}

TEST(FastIni, DuplicateSectionsResolveToTheFirst)
{
    const TFastIni ini = Parse("[Dup]\nKey=first\n[dup]\nKey=second\nExtra=1\n");
    EXPECT_EQ(ini.ReadString("Dup", "Key", ""), "first");
    EXPECT_EQ(ini.ReadString("DUP", "Extra", "none"), "none");
}

TEST(FastIni, LineWithoutEqualsHasNoValue)
{
    const TFastIni ini = Parse("[A]\njust words\n=orphan value\n");
    EXPECT_EQ(ini.ReadString("A", "just words", "d"), "d");
    EXPECT_EQ(ini.ReadString("A", "", "d"), "d");
}

TEST(FastIni, ZeroByteEndsTheTextAndLoadReplaces)
{
    TFastIni ini;
    ini.LoadFromBytes(std::string_view("[A]\nKey=1\n\0[B]\nKey=2\n", 21));
    EXPECT_EQ(ini.ReadString("A", "Key", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "Key", "none"), "none");
    ini.LoadFromBytes("[B]\nKey=2\n");
    EXPECT_EQ(ini.ReadString("A", "Key", "none"), "none");
    EXPECT_EQ(ini.ReadString("B", "Key", ""), "2");
}

TEST(FastIni, LoadsFromTheStreamPositionToItsEnd)
{
    QByteArray bytes("[Skip]\nKey=0\n[A]\nKey=7\n");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(bytes.indexOf("[A]"));
    TFastIni ini;
    ini.LoadFromStream(&buffer);
    EXPECT_EQ(ini.ReadInteger("A", "Key", -1), 7);
    EXPECT_EQ(ini.ReadInteger("Skip", "Key", -1), -1);
    ini.LoadFromStream(nullptr);  // nothing happens
    EXPECT_EQ(ini.ReadInteger("A", "Key", -1), 7);
}

TEST(FastIni, ReadsDecimalAndHexadecimalIntegers)
{
    const TFastIni ini = Parse("[N]\nhex=0x1F\nHEX=0X1f\nbare=0x\nword=12ab\nneg=-3\nplus=+8\n"
                               "max=2147483647\nmin=-2147483648\nover=2147483648\n"
                               "allbits=0xFFFFFFFF\ntoolong=0x100000000\nspace=1 2\nempty=\n");
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "bare", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "word", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 99), -3);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 99), 8);
    EXPECT_EQ(ini.ReadInteger("N", "max", 99), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "min", 99), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "over", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "allbits", 99), -1);
    EXPECT_EQ(ini.ReadInteger("N", "toolong", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "space", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "empty", 99), 99);
}

TEST(FastIni, ListsSectionNamesInTextOrder)
{
    const TFastIni ini = Parse("[ First ]\n[Second]\nk=v\n[First]\n[]\n");
    std::vector<std::string> names{"stale"};
    ini.ReadSections(&names);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second", "First", ""}));
    try {
        ini.ReadSections(nullptr);
        FAIL() << "an unassigned list must be refused";
    } catch (const EAssertionFailed& error) {
        EXPECT_STREQ(error.what(), "The parameter Strings is unassigned!");
    }
}
