#include "platform/system/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodePage, ChineseTextBecomesGbkBytes)
{
    EXPECT_EQ(platform::ToAnsi(QStringLiteral("通讯录")), "\xCD\xA8\xD1\xB6\xC2\xBC");
    EXPECT_EQ(platform::FromAnsi("\xCD\xA8\xD1\xB6\xC2\xBC"), QStringLiteral("通讯录"));
    EXPECT_EQ(platform::ToAnsi(QString()), "");
    EXPECT_EQ(platform::FromAnsi(""), QString());
}

TEST(CodePage, RoundTripsTextInsideAndBeyondGbk)
{
    // GBK text, ASCII, and characters that only the four-byte forms reach.
    for (const QString& text : {QStringLiteral("网站帐号 QQ: 12345, 备注!"), QStringLiteral("€ é 😀")}) {
        EXPECT_EQ(platform::FromAnsi(platform::ToAnsi(text)), text) << text.toStdString();
    }
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters)
{
    const QString lone = platform::FromAnsi("A\x81");
    EXPECT_EQ(lone, QString("A") + QChar(0xFFFD));
    const QString bad = platform::FromAnsi("\xFF\xFF" "B\x81\x30");
    EXPECT_TRUE(bad.contains(QChar(0xFFFD)));
    EXPECT_TRUE(bad.contains('B'));
    // A zero byte is an ordinary character.
    EXPECT_EQ(platform::FromAnsi(std::string("a\0b", 3)), QString::fromUtf8("a\0b", 3));
}

TEST(CodePage, StrictConversionStopsAtTheFirstInvalidByte)
{
    struct Case {
        std::string bytes;
        std::size_t invalidAt;
        std::string utf8; // what came before it
    };
    const Case cases[] = {
        {"\xCD\xA8\xD1\xB6\xC2\xBC", std::string_view::npos, "通讯录"},
        {"\x81\x30\x81\x30", std::string_view::npos, "\xC2\x80"}, // a four-byte form
        {"", std::string_view::npos, ""},
        {"A\xCD\xA8\xFF\xCD\xA8", 3, "A通"},
        {"AB\x81", 2, "AB"}, // cut short at the end
    };
    for (const Case& c : cases) {
        std::string utf8 = "stale";
        EXPECT_EQ(platform::AnsiToUtf8(c.bytes, utf8), c.invalidAt) << c.bytes;
        EXPECT_EQ(utf8, c.utf8) << c.bytes;
    }
}

} // namespace
