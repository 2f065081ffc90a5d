#include "desktop/Unit_Clipbrd.h"
#include "platform/ApplicationWindow.h"
#include "runtime/Application.h"
#include "support/FakeClipboard.h"

#include <gtest/gtest.h>

namespace {

TEST(Clipboard, ClearOpensEmptiesAndClosesOncePerCall)
{
    FakeClipboard system;
    TClipboard clipboard;
    clipboard.Clear();
    clipboard.Clear();
    EXPECT_EQ(system.opens, 2);
    EXPECT_EQ(system.empties, 2);
    EXPECT_EQ(system.closes, 2);
    EXPECT_FALSE(system.holdsData);
    EXPECT_EQ(clipboard.OpenCount(), 0);
}

TEST(Clipboard, OpensNestAndOnlyTheLastCloseClosesTheSystemClipboard)
{
    FakeClipboard system;
    TClipboard clipboard;
    clipboard.Open();
    clipboard.Clear();  // empties, leaves it open for the outer user
    EXPECT_TRUE(system.isOpen);
    EXPECT_EQ(system.opens, 1);
    EXPECT_EQ(clipboard.OpenCount(), 1);
    clipboard.Close();
    clipboard.Close();  // unmatched: ignored
    EXPECT_EQ(system.closes, 1);
    EXPECT_EQ(clipboard.OpenCount(), 0);
}

TEST(Clipboard, HeldByAnotherProgramRaisesAndLeavesItUntouched)
{
    FakeClipboard system;
    system.heldByOtherProgram = true;
    TClipboard clipboard;
    try {
        clipboard.Clear();
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Cannot open clipboard");
    }
    EXPECT_EQ(clipboard.OpenCount(), 0);
    EXPECT_TRUE(system.holdsData);
    EXPECT_EQ(system.empties, 0);
}

TEST(Clipboard, OwnerIsTheApplicationWindowOrAPrivateOneWithoutAnApplication)
{
    FakeClipboard system;
    {
        TClipboard clipboard;
        clipboard.Open();
        const platform::WindowHandle privateWindow = clipboard.OwnerWindow();
        EXPECT_EQ(system.owner, privateWindow);
        EXPECT_TRUE(platform::IsWindow(privateWindow));
        clipboard.Close();
        EXPECT_FALSE(platform::IsWindow(privateWindow));
        EXPECT_EQ(clipboard.OwnerWindow(), platform::WindowHandle::None);
    }
    TApplication application(QStringLiteral("/tmp/Kestrelle"));
    TClipboard clipboard;
    clipboard.Open();
    EXPECT_EQ(system.owner, platform::ApplicationWindow::instance().handle());
    clipboard.Close();
}

TEST(Clipboard, InstanceIsMadeOnceAndReleasedAtTheEnd)
{
    TClipboard* first = ClipboardInstance();
    EXPECT_EQ(ClipboardInstance(), first);
    ReleaseClipboardInstance();
    EXPECT_NE(ClipboardInstance(), nullptr);
    ReleaseClipboardInstance();
}

} // namespace
