#include "support/clock.h"
#include "support/modfileutil.h"
#include "support/modutil.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(TimeTexts, SecondsToTimeAndBack)
{
    EXPECT_EQ(SecondsToTime(3600), "1:00:00") << "SecondsToTime(3600)";
    EXPECT_EQ(SecondsToTime(3725), "1:02:05") << "SecondsToTime(3725)";
    EXPECT_EQ(SecondsToTime(360000), "100:00:00") << "SecondsToTime(360000)";
    for (int s : {0, 1, 59, 60, 61, 599, 3599, 3725, 32767, 86399})
        EXPECT_EQ(TimeToSeconds(SecondsToTime(s)), s) << s;
    // Seconds are rounded half to even. Texts not made by SecondsToTime are
    // read from the right; junk reads as 0.
    for (auto [text, seconds] : {std::pair("0:00:59.5", 60),
                                 {"0:00:58.5", 58},
                                 {"2:3:4", 7384},
                                 {"1:30", 90},
                                 {"45", 45},
                                 {"", 0},
                                 {"a:b:c", 0}})
        EXPECT_EQ(TimeToSeconds(text), seconds) << text;
}

TEST(Wait, WaitSecondsRunsEventsUntilTheFakeClockHasMoved)
{
    FakeClock clock;
    ScopedClock scope(clock);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        clock.advance(0.25);
    });
    ticker.start();

    WaitSeconds(1.0);
    // Four quarter seconds, and not one event loop pass more.
    EXPECT_EQ(ticks, 4) << "ticks";
    EXPECT_EQ(clock.monotonicMs(), 1000) << "monotonicMs";

    // Across midnight the start moves back a day instead of waiting for ever.
    clock.setTimeOfDay(86399.5);
    ticks = 0;
    WaitSeconds(1.0);
    EXPECT_EQ(ticks, 4);
    EXPECT_NEAR(clock.secondsSinceMidnight(), 0.5, 1e-9);

    // Nothing to wait for: at most the pending events run.
    ticker.stop();
    const qint64 before = clock.monotonicMs();
    WaitSeconds(0);
    EXPECT_EQ(clock.monotonicMs(), before);
}

TEST(Critical, CriticalErrorShowsAndEndsThroughTheExitAction)
{
    ScriptedDialogs dlg;
    ScopedDialogs ds(dlg);
    int exits = 0;
    {
        ScopedCriticalExit ex([&] { ++exits; });
        CriticalError("Database template missing.");
    }
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text,
              QString("Critical Error: Database template missing.\nApplication must close!"))
        << "messages[0].text";
    EXPECT_EQ(dlg.messages[0].icon, MsgIcon::Critical) << "messages[0].icon";
}

TEST(Files, AppendCopyAndKill)
{
    QTemporaryDir dir;
    ScriptedDialogs dlg;
    ScopedDialogs ds(dlg);
    const QString log = dir.filePath("log.txt");
    EXPECT_FALSE(FileExists(log));
    EXPECT_TRUE(AppendToTextFile(log, "first"));
    EXPECT_TRUE(AppendToTextFile(log, "second"));
    EXPECT_EQ(readFile(log), "first\r\nsecond\r\n");
    EXPECT_FALSE(FileExists(dir.path())) << "directory exists";
    EXPECT_EQ(GetFileSize(log), 15) << "GetFileSize(log)";
    EXPECT_TRUE(dlg.messages.isEmpty()) << "messages.isEmpty";

    // A binary copy keeps every byte and replaces what was there.
    const QByteArray bytes("a\0b\r\nc\n\xff", 9);
    const QString src = dir.filePath("src.bin"), dst = dir.filePath("dst.bin");
    ASSERT_TRUE(writeFile(src, bytes));
    ASSERT_TRUE(writeFile(dst, "old content that is longer"));
    EXPECT_TRUE(CopyFileByte(src, dst));
    EXPECT_EQ(readFile(dst), bytes);
    // A missing source leaves the destination alone and says so.
    EXPECT_FALSE(CopyFileByte(dir.filePath("none.bin"), dst));
    EXPECT_EQ(GetFileSize(dst), 9);
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_TRUE(dlg.messages[0].title == "CopyFileByte") << "dlg.messages[0].title == 'CopyFileByte'";
    EXPECT_TRUE(dlg.messages[0].text.startsWith("Error: 53. "))
        << "dlg.messages[0].text.startsWith('Error: 53. ')";

    EXPECT_EQ(GetFileSize(dir.filePath("none.bin")), 0);
    EXPECT_EQ(dlg.messages.last().title, "GetFileSize");
    EXPECT_FALSE(AppendToTextFile(dir.filePath("no/such/dir/x.txt"), "x"));
    EXPECT_TRUE(dlg.messages.last().title == "AppendToTextFile")
        << "dlg.messages.last().title == 'AppendToTextFile'";
    EXPECT_TRUE(dlg.messages.last().text.startsWith("Error: 75. "))
        << "dlg.messages.last().text.startsWith('Error: 75. ')";

    EXPECT_TRUE(KillFile(src));
    EXPECT_FALSE(FileExists(src));
    EXPECT_TRUE(KillFile(src)); // already gone

    EXPECT_EQ(GetFileDate(src), "");
}
