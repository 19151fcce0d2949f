#include "support/clock.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

TEST(Seams, ScriptedDialogsAnswerInOrderThenRefuse)
{
    ScriptedDialogs d;
    ScopedDialogs scope(d);
    d.answer(MsgResult::Retry);
    EXPECT_EQ(dialogs().message("again?", MsgButtons::RetryCancel), MsgResult::Retry);
    // Nobody answering never confirms.
    EXPECT_EQ(dialogs().message("again?", MsgButtons::RetryCancel), MsgResult::Cancel);
    EXPECT_EQ(dialogs().message("sure?", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(d.messages.size(), 3);
}

TEST(Seams, FakeClockWrapsAtMidnightButMonotonicGoesOn)
{
    FakeClock c;
    c.setTimeOfDay(86399.5);
    const qint64 m0 = c.monotonicMs();
    c.advance(1.0);
    EXPECT_NEAR(c.secondsSinceMidnight(), 0.5, 1e-9);
    EXPECT_EQ(c.monotonicMs() - m0, 1000);
}
