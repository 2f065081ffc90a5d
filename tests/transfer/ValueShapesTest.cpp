// Telling a table's first row from a header, and its columns, by the values
// alone; and reading a QQ number that names itself in a free-text field.
#include "transfer/ContactWords.h"
#include "transfer/ValueShapes.h"

#include <gtest/gtest.h>

using transfer::ValueShape;

TEST(ValueShapesTest, ValuesHaveTheShapeTheirFieldWouldHold)
{
    const std::pair<const char*, ValueShape> values[] = {
        {"zs@mail.example", ValueShape::Email},       {" zs@mail.example ", ValueShape::Email},
        {"a@b", ValueShape::Text},                    {"@mail.example", ValueShape::Text},
        {"z s@mail.example", ValueShape::Text},       {"a@b@c.example", ValueShape::Text},
        {"http://zs.example", ValueShape::Web},       {"WWW.zs.example", ValueShape::Web},
        {"www.", ValueShape::Text},                   {"13800000001", ValueShape::Mobile},
        {"+86 138 0000 0001", ValueShape::Mobile},    {"138-0000-0001", ValueShape::Mobile},
        {"010-62345678", ValueShape::Phone},          {"(0571) 8888 0009", ValueShape::Phone},
        {"+1 425 555 0100", ValueShape::Phone},       {"10001", ValueShape::QQ},
        {"1234567890", ValueShape::QQ},               {"012345", ValueShape::Text},
        {"1", ValueShape::Count},                     {"1234", ValueShape::Count},
        {"1985-03-02", ValueShape::Text},             {"2024-1-5", ValueShape::Text},
        {"张三", ValueShape::Text},                   {" \t", ValueShape::Empty},
        {"138 0000 0001 转 2", ValueShape::Text},
    };
    for (const auto& [value, shape] : values)
        EXPECT_EQ(transfer::ShapeOf(value), shape) << value;
}

TEST(ValueShapesTest, AFirstRowOfRecordValuesAndNoColumnNameIsNoHeader)
{
    EXPECT_TRUE(transfer::IsHeaderless({"张三", "13800000001"}));
    EXPECT_TRUE(transfer::IsHeaderless({"1", "李四", "", "ls@mail.example"}));
    EXPECT_FALSE(transfer::IsHeaderless({"姓名", "13800000001"})) << "a known name makes it a header";
    EXPECT_FALSE(transfer::IsHeaderless({"Spalte A", "Spalte B"})) << "unknown names alone stay a header";
    EXPECT_FALSE(transfer::IsHeaderless({"1", "2", "3"})) << "row numbers alone are no record";
    EXPECT_FALSE(transfer::IsHeaderless({}));
}

TEST(ValueShapesTest, AValueThatNamesItselfAQQNumberGivesTheNumber)
{
    const std::pair<const char*, const char*> values[] = {
        {"QQ 12345", "12345"},  {"qq:12345", "12345"},    {"QQ号：12345", "12345"}, {" QQ号码 12345 ", "12345"},
        {"QQ#12345", "12345"},  {"QQ12345678901", "12345678901"}, {"QQ群 12345", ""},  {"QQ 0123", ""},
        {"QQ 1234", ""},        {"QQ 123456789012", ""},  {"12345", ""},            {"QQ", ""},
        {"QQ: 12345 ext", ""},
    };
    for (const auto& [value, number] : values)
        EXPECT_EQ(transfer::QQInValue(value), number) << value;
}
