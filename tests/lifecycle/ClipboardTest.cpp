// The clipboard object: nesting opens, clearing, and a clipboard that another
// program holds open.
#include "desktop/Unit_Clipbrd.h"
#include "support/FakeClipboard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    ~ClipboardTest() override { ReleaseClipboardInstance(); }
    FakeClipboard system;
};

} // namespace

TEST_F(ClipboardTest, EachClearOpensEmptiesAndClosesTheSystemClipboardOnce)
{
    TClipboard* clipboard = ClipboardInstance();
    EXPECT_EQ(ClipboardInstance(), clipboard);
    clipboard->Clear();
    clipboard->Clear();
    EXPECT_EQ(system.opens, 2);
    EXPECT_EQ(system.empties, 2);
    EXPECT_EQ(system.closes, 2);
    EXPECT_EQ(clipboard->OpenCount(), 0);
}

TEST_F(ClipboardTest, AClearInsideAnOpenLeavesTheClipboardOpenForTheOuterUser)
{
    TClipboard* clipboard = ClipboardInstance();
    clipboard->Close();  // without an open: ignored
    EXPECT_EQ(system.closes, 0);
    clipboard->Open();
    clipboard->Clear();
    EXPECT_EQ(system.empties, 1);
    EXPECT_TRUE(system.isOpen);
    EXPECT_EQ(clipboard->OpenCount(), 1);
    clipboard->Close();
    EXPECT_FALSE(system.isOpen);
    EXPECT_EQ(system.opens, 1);
    EXPECT_EQ(system.closes, 1);
}

TEST_F(ClipboardTest, AClipboardHeldByAnotherProgramCannotBeOpenedAndStaysUntouched)
{
    system.heldByOtherProgram = true;
    TClipboard* clipboard = ClipboardInstance();
    try {
        clipboard->Clear();
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Cannot open clipboard");
    }
    EXPECT_EQ(clipboard->OpenCount(), 0);
    EXPECT_EQ(system.empties, 0);
    EXPECT_TRUE(system.holdsData);
}
