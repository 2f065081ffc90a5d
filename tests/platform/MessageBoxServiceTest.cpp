#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

using platform::MessageButtons;
using platform::MessageResult;

TEST(ScriptedMessageBoxes, AnswersFromScriptThenSafely)
{
    ScriptedMessageBoxes boxes;
    boxes.answer(MessageResult::Yes);
    EXPECT_EQ(platform::messageBoxes().show({"a", "c", MessageButtons::YesNo}), MessageResult::Yes);
    EXPECT_EQ(platform::messageBoxes().show({"b", "c", MessageButtons::YesNo}), MessageResult::No);
    EXPECT_EQ(platform::messageBoxes().show({"c", "c", MessageButtons::Ok}), MessageResult::Ok);
    EXPECT_EQ(boxes.texts(), (QStringList{"a", "b", "c"}));
}
