// The back-off between reconnect attempts and the status bar texts.
#include "link/linkhealer.h"
#include "support/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkHealer, BacksOffThenTriesEveryTenSeconds)
{
    FakeClock clock;
    ScopedClock useClock(clock);
    LinkHealer healer;
    healer.online();
    healer.failed();
    const qint64 expected[] = {500, 1000, 2000, 4000, 8000, 10000, 10000};
    for (const qint64 step : expected) {
        SCOPED_TRACE(step);
        clock.advanceMs(step - 1);
        EXPECT_FALSE(healer.attemptDue()) << "due early";
        clock.advanceMs(1);
        EXPECT_TRUE(healer.attemptDue()) << "due on time";
        healer.attemptFailed();
    }
}

TEST(LinkHealer, StatusTexts)
{
    FakeClock clock;
    ScopedClock useClock(clock);
    LinkHealer healer;
    const QString id = QStringLiteral("DCX-700 SIM 4.20 ");
    EXPECT_EQ(healer.statusText(id), QString()) << "before the first connect";
    healer.online();
    EXPECT_EQ(healer.statusText(id), QStringLiteral("Online: DCX-700 SIM 4.20")) << "online";
    healer.failed();
    for (int i = 0; i < 4; ++i) {
        clock.advanceMs(LinkHealer::backoffMs(i + 1));
        healer.attemptFailed();
    }
    EXPECT_EQ(healer.statusText(id),
              QStringLiteral("Link lost at 10:00:00: reconnecting (attempt 4, next try in 8 s)"))
        << "lost";
    clock.advanceMs(8000);
    healer.restored();
    EXPECT_EQ(healer.statusText(id), QStringLiteral("Link restored at 10:00:15 after 16 s")) << "restored";
    EXPECT_EQ(healer.gapText(), QStringLiteral("Link lost 10:00:00, restored 10:00:15")) << "gap line";
    clock.advanceMs(60000);
    EXPECT_EQ(healer.statusText(id), QStringLiteral("Online: DCX-700 SIM 4.20")) << "a minute later";
}

} // namespace
