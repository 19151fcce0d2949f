#include "support/cfiledialog.h"
#include "support/clock.h"
#include "support/cshellexecute.h"
#include "support/modbitops.h"
#include "support/modfileutil.h"
#include "support/modstrings.h"
#include "support/modutil.h"
#include "support/scripteddialogs.h"
#include "support/shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Strings, DelimitedWords)
{
    EXPECT_EQ(GetDelimitedWord("1,25", 2, ","), "25");
    EXPECT_EQ(GetDelimitedWord("1,25", 1, ","), "1");
    EXPECT_EQ(GetDelimitedWord("a  b", 2, " "), "");
    EXPECT_EQ(GetDelimitedWord("a  b", 3, " "), "b");
    EXPECT_EQ(GetDelimitedWord("a  b", 4, " "), "");
    EXPECT_EQ(GetDelimitedWord("a  b", 0, " "), "");
    EXPECT_EQ(GetDelimitedWord("V 3 12 1", 4, " "), "1");
    EXPECT_EQ(GetDelimitedWord("x::y::z", 3, "::"), "z");
    EXPECT_EQ(GetDelimitedWord(",", 2, ","), "");
    EXPECT_EQ(CountDelimitedWords("", ","), 1);
    EXPECT_EQ(CountDelimitedWords("a,,", ","), 3);
    // Occurrences do not overlap, as the fields of GetDelimitedWord do not.
    EXPECT_EQ(CountDelimitedWords("a:::b", "::"), 2);
    EXPECT_EQ(GetDelimitedWord("a:::b", 2, "::"), ":b");
    EXPECT_EQ(CountDelimitedWords("1,0.5 2,0.7 3,0.9", " "), 3);
    EXPECT_EQ(StripChars("1,234,567", QLatin1Char(',')), "1234567");
    EXPECT_EQ(StripChars("abc", QLatin1Char('x')), "abc");
    const QStringList entries{"Process 1", "ABC123", "abc"};
    EXPECT_EQ(FindStringInList(entries, "abc", false), 1);
    EXPECT_EQ(FindStringInList(entries, "ABC", true), 2);
    EXPECT_EQ(FindStringInList(entries, "process 1", true), 0);
    EXPECT_EQ(FindStringInList(entries, "xyz", false), -1);
}

TEST(BitOps, ShiftsAndBytes)
{
    EXPECT_EQ(Shri(0x3FFF, 7), 0x7F);
    EXPECT_EQ(Shri(0x3FFF, 16), 0);
    EXPECT_EQ(Shri(0x3FFF, 40), 0);
    EXPECT_EQ(Shri(0x3FFF, 0), 0x3FFF);
    // Logical shift of the 16-bit pattern: no sign bits come in.
    EXPECT_EQ(Shri(-1, 1), 0x7FFF);
    EXPECT_EQ(Shri(qint16(-32768), 15), 1);
    EXPECT_EQ(Shri(qint16(-32768), 4), 0x0800);
    EXPECT_EQ(IntToLong(-1), 65535);
    EXPECT_EQ(IntToLong(-32768), 32768);
    EXPECT_EQ(IntToLong(32767), 32767);
    EXPECT_EQ(LoByte(0x1234), 0x34);
    EXPECT_EQ(LoByte(-1), 0xFF);
}

TEST(TimeTexts, SecondsToTimeAndBack)
{
    EXPECT_EQ(SecondsToTime(0), "0:00:00");
    EXPECT_EQ(SecondsToTime(75), "0:01:15");
    EXPECT_EQ(SecondsToTime(3600), "1:00:00");
    EXPECT_EQ(SecondsToTime(3725), "1:02:05");
    EXPECT_EQ(SecondsToTime(59), "0:00:59");
    EXPECT_EQ(SecondsToTime(360000), "100:00:00");
    for (int s : {0, 1, 59, 60, 61, 599, 3599, 3725, 32767, 86399})
        EXPECT_EQ(TimeToSeconds(SecondsToTime(s)), s) << s;
    EXPECT_EQ(TimeToSeconds("1:02:05"), 3725);
    // Seconds are rounded half to even.
    EXPECT_EQ(TimeToSeconds("0:00:59.5"), 60);
    EXPECT_EQ(TimeToSeconds("0:00:58.5"), 58);
    EXPECT_EQ(TimeToSeconds("2:3:4"), 7384);
    // Not made by SecondsToTime: read from the right, junk reads as 0.
    EXPECT_EQ(TimeToSeconds("1:30"), 90);
    EXPECT_EQ(TimeToSeconds("45"), 45);
    EXPECT_EQ(TimeToSeconds(""), 0);
    EXPECT_EQ(TimeToSeconds("a:b:c"), 0);
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
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(clock.monotonicMs(), 1000);

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
    EXPECT_EQ(dlg.messages[0].text, "Critical Error: Database template missing.\nApplication must close!");
    EXPECT_EQ(dlg.messages[0].icon, MsgIcon::Critical);
}

TEST(Files, NameAndPathParts)
{
    EXPECT_EQ(GetNamePart("/home/op/DCX700.mdb"), "DCX700.mdb");
    EXPECT_EQ(GetPathPart("/home/op/DCX700.mdb"), "/home/op/");
    EXPECT_EQ(PathFromFullPath("/home/op/DCX700.mdb"), "/home/op");
    EXPECT_EQ(PathFromFullPath("/DCX700.mdb"), "/");
    EXPECT_EQ(GetNamePart("DCX700.mdb"), "DCX700.mdb");
    EXPECT_EQ(GetPathPart("DCX700.mdb"), "");
    // Names from old configuration files.
    EXPECT_EQ(GetNamePart("C:\\Program Files\\DCX700\\DCX700.txt"), "DCX700.txt");
    EXPECT_EQ(GetPathPart("C:\\Program Files\\DCX700\\DCX700.txt"), "C:\\Program Files\\DCX700\\");
    EXPECT_EQ(DriveFromPath("/a/b"), "/");
    EXPECT_EQ(DriveFromPath("a/b"), "");
}

TEST(Files, AppendCopyKillAndCanonicalPaths)
{
    QTemporaryDir dir;
    ScriptedDialogs dlg;
    ScopedDialogs ds(dlg);
    const QString log = dir.filePath("log.txt");
    EXPECT_FALSE(FileExists(log));
    EXPECT_TRUE(AppendToTextFile(log, "first"));
    EXPECT_TRUE(AppendToTextFile(log, "second"));
    {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "first\r\nsecond\r\n");
    }
    EXPECT_TRUE(FileExists(log));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_EQ(GetFileSize(log), 15);
    EXPECT_TRUE(dlg.messages.isEmpty());

    // A binary copy keeps every byte and replaces what was there.
    const QByteArray bytes("a\0b\r\nc\n\xff", 9);
    const QString src = dir.filePath("src.bin"), dst = dir.filePath("dst.bin");
    {
        QFile f(src);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        QFile g(dst);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("old content that is longer");
    }
    EXPECT_TRUE(CopyFileByte(src, dst));
    {
        QFile f(dst);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }
    // A missing source leaves the destination alone and says so.
    EXPECT_FALSE(CopyFileByte(dir.filePath("none.bin"), dst));
    EXPECT_EQ(GetFileSize(dst), 9);
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].title, "CopyFileByte");
    EXPECT_TRUE(dlg.messages[0].text.startsWith("Error: 53. "));

    EXPECT_EQ(GetFileSize(dir.filePath("none.bin")), 0);
    EXPECT_EQ(dlg.messages.last().title, "GetFileSize");
    EXPECT_FALSE(AppendToTextFile(dir.filePath("no/such/dir/x.txt"), "x"));
    EXPECT_EQ(dlg.messages.last().title, "AppendToTextFile");
    EXPECT_TRUE(dlg.messages.last().text.startsWith("Error: 75. "));

    EXPECT_TRUE(KillFile(src));
    EXPECT_FALSE(FileExists(src));
    EXPECT_TRUE(KillFile(src)); // already gone

    EXPECT_TRUE(IsAttrSet(dir.path(), AttrDirectory));
    EXPECT_FALSE(IsAttrSet(dst, AttrDirectory));
    EXPECT_FALSE(IsAttrSet(src, AttrReadOnly));

    // Canonical absolute paths stand for the short and network forms.
    QDir(dir.path()).mkdir("sub");
    const QString canonicalDir = QDir(dir.path()).canonicalPath();
    EXPECT_EQ(ConvertPathToUNC(dir.filePath("sub/../dst.bin")), canonicalDir + "/dst.bin");
    ASSERT_TRUE(QFile::link(dst, dir.filePath("sub/link.bin")));
    EXPECT_EQ(GetShortFileName(dir.filePath("sub/link.bin")), canonicalDir + "/dst.bin");
    EXPECT_EQ(ConvertPathToUNC(dir.filePath("sub/./new.bin")), QDir::cleanPath(dir.path() + "/sub/new.bin"));
    EXPECT_TRUE(GetFileDateTime(dst).isValid());
    EXPECT_FALSE(GetFileDateTime(src).isValid());
    EXPECT_EQ(GetFileDate(src), "");
}

TEST(Wrappers, FileDialogAndShellGoThroughTheSeams)
{
    ScriptedDialogs dlg;
    ScopedDialogs ds(dlg);
    cFileDialog fd;
    fd.DialogTitle = "Open Database";
    fd.Filter = "Database (*.mdb)|*.mdb|All Files (*.*)|*.*";
    fd.FilterIndex = 2;
    fd.FileName = "DCX700.mdb";
    dlg.answerOpen(QStringLiteral("/data/films/Run 7.mdb"));
    EXPECT_TRUE(fd.Show(true));
    EXPECT_EQ(fd.FileName, "/data/films/Run 7.mdb");
    EXPECT_EQ(fd.FileTitle, "Run 7.mdb");
    ASSERT_EQ(dlg.fileRequests.size(), 1);
    EXPECT_EQ(dlg.fileRequests[0].title, "Open Database");
    EXPECT_EQ(dlg.fileRequests[0].filterIndex, 2);
    EXPECT_EQ(dlg.fileRequests[0].fileName, "DCX700.mdb");
    // Cancelled: false, the name stays.
    EXPECT_FALSE(fd.Show(false));
    EXPECT_EQ(fd.FileName, "/data/films/Run 7.mdb");

    RecordingShell rs;
    setShell(&rs);
    cShellExecute sh;
    EXPECT_TRUE(sh.LaunchEmail("support@example.com"));
    EXPECT_TRUE(sh.LaunchDocument("/tmp/DCX700.txt"));
    setShell(nullptr);
    EXPECT_EQ(rs.urls, QStringList{"mailto:support@example.com"});
    EXPECT_EQ(rs.documents, QStringList{"/tmp/DCX700.txt"});
}
