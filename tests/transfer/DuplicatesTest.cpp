// When a record counts as another's duplicate: the same name and a number or
// address in common, however the number is written.
#include "support/TemporaryBook.h"

#include "transfer/Duplicates.h"

#include <gtest/gtest.h>

namespace {

struct Pair {
    const char* what;
    transfer::Record first;
    transfer::Record second;
    bool duplicate;
};

const Pair kPairs[] = {
    {"same name, same mobile", MakeRecord({"", "张三", "", "13800000001"}), MakeRecord({"QQ帐号", "张三", "", "13800000001"}),
     true},
    {"the number written with blanks, dashes and the country code",
     MakeRecord({"", "张三", "", "138-0000-0001"}), MakeRecord({"", "张三", "", "", "+86 138 0000 0001"}), true},
    {"one entry of several in common, in another field",
     MakeRecord({"", "张三", "", "139; 13800000001"}), MakeRecord({"", "张三", "", "", "", "13800000001"}), true},
    {"an address in another letter case", MakeRecord({"", "Anna", "", "", "", "", "Anna@Example.se"}),
     MakeRecord({"", "Anna", "", "", "", "", "x@y.example; anna@example.se"}), true},
    {"blanks around the name", MakeRecord({"", " 张三 ", "", "138"}), MakeRecord({"", "张三", "", "138"}), true},
    {"same name, different numbers", MakeRecord({"", "张三", "", "13800000001"}),
     MakeRecord({"", "张三", "", "13800000002"}), false},
    {"different names, same number", MakeRecord({"", "张三", "", "13800000001"}),
     MakeRecord({"", "张四", "", "13800000001"}), false},
    {"same name, neither number nor address", MakeRecord({"", "张三", "10001"}), MakeRecord({"", "张三", "10001"}), false},
    {"a QQ number is not a telephone number", MakeRecord({"", "张三", "13800000001"}),
     MakeRecord({"", "张三", "", "13800000001"}), false},
    {"no name", MakeRecord({"", "", "", "13800000001"}), MakeRecord({"", "", "", "13800000001"}), false},
    {"one number twice in one record is no duplicate of that record",
     MakeRecord({"", "王建国", "", "13800138000", "138 0013 8000"}), MakeRecord({"", "王建国", "", "13900000000"}), false},
};

} // namespace

TEST(DuplicatesTest, SameNameAndANumberOrAddressInCommon)
{
    for (const Pair& pair : kPairs) {
        SCOPED_TRACE(pair.what);
        transfer::DuplicateIndex index;
        EXPECT_FALSE(index.AddAndTell(transfer::ViewOf(pair.first)));
        EXPECT_EQ(index.Matches(transfer::ViewOf(pair.second)), pair.duplicate);
        EXPECT_EQ(index.AddAndTell(transfer::ViewOf(pair.second)), pair.duplicate);
    }
}
