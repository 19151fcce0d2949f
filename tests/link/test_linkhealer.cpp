// The back-off between reconnect attempts and the status bar texts.
#include "link/linkhealer.h"
#include "support/clock.h"

#include <gtest/gtest.h>

TEST(LinkHealer, BackOffAndStatusTexts)
{
    FakeClock clock;
    ScopedClock useClock(clock);
    LinkHealer healer;
    const QString id = QStringLiteral("DCX-700 SIM 4.20 ");
    EXPECT_EQ(healer.statusText(id), QString()) << "before the first connect";
    healer.online();
    healer.failed();
    for (const qint64 step : {500, 1000, 2000, 4000}) {
        clock.advanceMs(step - 1);
        EXPECT_FALSE(healer.attemptDue()) << "due before " << step;
        clock.advanceMs(1);
        EXPECT_TRUE(healer.attemptDue()) << "due after " << step;
        healer.attemptFailed();
    }
    EXPECT_EQ(healer.statusText(id),
              QStringLiteral("Link lost at 10:00:00: reconnecting (attempt 4, next try in 8 s)"))
        << "lost";
    EXPECT_EQ(LinkHealer::backoffMs(5), 8000) << "fifth step";
    EXPECT_EQ(LinkHealer::backoffMs(9), 10000) << "later steps";
    clock.advanceMs(8000);
    healer.restored();
    EXPECT_EQ(healer.statusText(id), QStringLiteral("Link restored at 10:00:15 after 16 s")) << "restored";
    EXPECT_EQ(healer.gapText(), QStringLiteral("Link lost 10:00:00, restored 10:00:15")) << "gap line";
    clock.advanceMs(60000);
    EXPECT_EQ(healer.statusText(id), QStringLiteral("Online: DCX-700 SIM 4.20")) << "a minute later";
}
