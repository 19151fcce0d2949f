#include "runlog/datalog.h"
#include "runlog/datalogsettings.h"
#include "runlog/phasetext.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const kHeader = "Time,Phase, Out1Rate,Out1Dev,Out1Thk,Out1Pwr, Out2Rate........"
                            "Sens1Rate,Sens1Thk,Sens1Freq, Sens2rate.........";

// Values chosen so that each field shows one formatting rule; the expected
// line below was written out by hand.
ReadingsRecord knownReading()
{
    ReadingsRecord r;
    r.OutRate = {2.5, 0.004, 12.346, 0.0};
    r.OutDeviation = {0.1, -1.25, 3.0, 0.0};
    r.OutThickness = {1.234, 10.0, 123.456, 1000.0}; // kA
    r.OutPower = {45.6, 0.0, 99.94, -1.0};
    r.SensorRate = {2.48, 0.0, 1.006, 0.0};
    r.SensorThickness = {0.0126, 99.99, 999.94, 1234.5};
    r.SensorFrequency = {5981234.5678, 0.0, 6000000.0, 5500000.1};
    return r;
}

const char* const kKnownLine =
    "60.0, Deposit, 2.50,0.1,1.234,45.6, 0.00,-1.3,10.00,0.0, 12.35,3.0,123.5,99.9, 0.00,0.0,,-1.0"
    ", Sensors:, 2.48,0.013,5981234.568, 0.00,99.99,0.000, 1.01,999.9,6000000.000, 0.00,,5500000.100";

// Data lines of a log file (lines that start with a digit).
QStringList dataLines(const QString& path)
{
    QStringList out;
    for (const QString& l : QString::fromUtf8(readFile(path)).split(QStringLiteral("\r\n")))
        if (!l.isEmpty() && l[0].isDigit())
            out << l;
    return out;
}

class DataLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        saved = Config();
        Config().LogFileName = dir.filePath(QStringLiteral("run.txt"));
        Config().LogType = 2;
        Config().LogStart = 0;
        Config().LogEnd = 0;
        Config().LogInterval = 0;
        DataLog() = DataLogger();
    }
    void TearDown() override
    {
        Config() = saved;
        DataLog() = DataLogger();
    }
    // One 500 ms update tick in the given phase.
    bool tick(int phase)
    {
        clock.advance(0.5);
        return DataLogSample(phase, reading);
    }
    QString path() const { return Config().LogFileName; }

    QTemporaryDir dir;
    AppConfig saved;
    FakeClock clock;
    ScopedClock clockScope{clock};
    ScriptedDialogs dlg;
    ScopedDialogs dlgScope{dlg};
    ReadingsRecord reading = knownReading();
};

} // namespace

TEST(PhaseText, TextsAndGroups)
{
    const char* texts[27] = {"Stopped",
                             "Crystal Verify",
                             "",
                             "Man. Start Layer",
                             "",
                             "Rotate Pocket",
                             "PreCondition",
                             "Rise 1",
                             "Soak 1",
                             "Rise 2",
                             "Soak 2",
                             "Soak Hold",
                             "Shutter Delay",
                             "Deposit",
                             "Rate Ramp",
                             "Ramp Deposit",
                             "TP Recovery",
                             "",
                             "",
                             "",
                             "Feed Ramp",
                             "Feed Soak",
                             "Idle Ramp",
                             "Start Layer",
                             "Crystal Fail",
                             "Stop Layer",
                             "Manual Power"};
    for (int c = 0; c < 27; ++c)
        EXPECT_EQ(PhaseText(c), QString::fromLatin1(texts[c])) << c;
    for (int c : {-1, 27, 32767})
        EXPECT_EQ(PhaseText(c), QString()) << c;

    for (int c : {0, 1, 2, 3, 4, 5, 25}) {
        EXPECT_TRUE(IsIdlePhase(c)) << c;
        EXPECT_FALSE(IsActivePhase(c)) << c;
    }
    for (int c : {6, 13, 17, 22, 26}) {
        EXPECT_TRUE(IsActivePhase(c)) << c;
        EXPECT_FALSE(IsIdlePhase(c)) << c;
    }
    for (int c : {-1, 23, 24, 27}) {
        EXPECT_FALSE(IsActivePhase(c)) << c;
        EXPECT_FALSE(IsIdlePhase(c)) << c;
    }
    // Above 5 is enough, whatever the group (25 -> 23).
    EXPECT_TRUE(IsRunStart(0, 6)) << "IsRunStart(0, 6)";
    EXPECT_TRUE(IsRunStart(25, 23)) << "IsRunStart(25, 23)";
    EXPECT_FALSE(IsRunStart(-1, 6)) << "IsRunStart(-1, 6)";
    EXPECT_FALSE(IsRunStart(23, 13)) << "IsRunStart(23, 13)";
    EXPECT_FALSE(IsRunStart(0, 5)) << "IsRunStart(0, 5)";
}

TEST(PhaseText, FormatThicknessSwitchesAtTenHundredAndThousandKiloAngstrom)
{
    // 9999.6: the switch looks at the unrounded value.
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.000"},     {9999.4, "9.999"},   {9999.6, "10.000"},  {10000.0, "10.00"},
        {99994.0, "99.99"}, {100000.0, "100.0"}, {999940.0, "999.9"}, {999999.0, "1000.0"},
        {1000000.0, ""},    {5.0e7, ""},         {-1234.0, "-1.234"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(FormatThickness(v), text) << v;
}

TEST(DataLogText, KnownReadingStartHeaderAndEndLines)
{
    EXPECT_EQ(DataLogLine(60.0, 13, knownReading()), kKnownLine);
    // e rounds to one decimal; an unknown phase leaves the phase field empty.
    EXPECT_TRUE(DataLogLine(0.04, 17, ReadingsRecord()).startsWith("0.0, , 0.00,0.0,0.000,0.0, 0.00"));
    const QDateTime when(QDate(2026, 3, 7), QTime(9, 5, 3));
    EXPECT_EQ(DataLogStartText(when), "Start:   Date: 2026-03-07   Time: 9:05:03\r\n");
}

TEST_F(DataLogTest, RunSectionBytesAndPhaseRules)
{
    // FakeClock starts at 2026-01-01 10:00:00.
    Config().LogInterval = 1;
    DataLogPhaseChange(0, 6);  // run start: section
    EXPECT_FALSE(tick(6));     // e = 0.5, interval not reached
    EXPECT_TRUE(tick(6));      // e = 1.0
    DataLogPhaseChange(6, 13); // deposit: no new section
    EXPECT_FALSE(tick(13));
    EXPECT_FALSE(tick(24)); // crystal fail: neither sampled nor logged
    clock.advance(0.5);
    DataLogPhaseChange(13, 0); // stopped: end line at 10:00:02.5
    const QByteArray line1 = DataLogLine(1.0, 6, reading).toUtf8();
    const QByteArray expected = "Start:   Date: 2026-01-01   Time: 10:00:00\r\n\r\n" + QByteArray(kHeader) +
                                "\r\n\r\n" + line1 + "\r\n" +
                                "\r\nEnd:     Date: 2026-01-01   Time: 10:00:02\r\n\r\n\r\n";
    EXPECT_EQ(readFile(path()), expected);

    // 23 -> 13 and -1 -> 6 start no section; equal phases do nothing.
    QFile::remove(path());
    DataLogPhaseChange(23, 13);
    DataLogPhaseChange(-1, 6);
    DataLogPhaseChange(0, 0);
    EXPECT_FALSE(QFile::exists(path()));

    // With logging off nothing is written at all.
    Config().LogType = 0;
    DataLogPhaseChange(0, 6);
    EXPECT_FALSE(tick(6));
    DataLogPhaseChange(6, 0);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(DataLogTest, WindowRuleLogsFromStartToEndMinusStart)
{
    Config().LogStart = 60;
    Config().LogEnd = 300;
    InitDataLog();
    for (int i = 1; i <= 800; ++i) // 400 s of ticks
        tick(13);
    // e + 60 > 300 closes the window; every tick, interval 0.
    const QStringList lines = dataLines(path());
    ASSERT_EQ(lines.size(), 361);
    EXPECT_TRUE(lines.first().startsWith("60.0, Deposit, ")) << "first line";
    EXPECT_TRUE(lines.last().startsWith("240.0, Deposit, ")) << "last line";

    // Interval 1 on the 500 ms grid: one line per second, 0 to 300 s.
    DataLog() = DataLogger();
    QFile::remove(path());
    Config().LogStart = 0;
    Config().LogEnd = 300;
    Config().LogInterval = 1;
    InitDataLog();
    for (int i = 1; i <= 700; ++i)
        tick(13);
    const QStringList perSecond = dataLines(path());
    ASSERT_EQ(perSecond.size(), 300);
    EXPECT_TRUE(perSecond.first().startsWith("1.0, ")) << "first line";
    EXPECT_TRUE(perSecond.last().startsWith("300.0, ")) << "last line";
}

TEST_F(DataLogTest, RunCrossingMidnightKeepsIncreasingTimes)
{
    Config().LogInterval = 1;
    clock.setTimeOfDay(86399.0);
    InitDataLog();
    for (int i = 0; i < 8; ++i)
        tick(13);
    QStringList firstFields;
    for (const QString& l : dataLines(path()))
        firstFields << l.section(QLatin1Char(','), 0, 0);
    EXPECT_EQ(firstFields, QStringList({"1.0", "2.0", "3.0", "4.0"}));
    EXPECT_DOUBLE_EQ(DataLog().LogStartTime, -1.0);
}

TEST_F(DataLogTest, OverwriteDeletesAppendKeeps)
{
    ASSERT_TRUE(writeFile(path(), "old run\r\n"));
    Config().LogType = 2;
    InitDataLog();
    EXPECT_TRUE(readFile(path()).startsWith("old run\r\nStart:   Date: "));

    Config().LogType = 1;
    InitDataLog();
    const QByteArray bytes = readFile(path());
    EXPECT_TRUE(bytes.startsWith("Start:   Date: "));
    EXPECT_EQ(bytes.count("Start:"), 1);
    EXPECT_TRUE(dlg.messages.isEmpty());
}

TEST_F(DataLogTest, SizeQuestionAboveOneMillionBytes)
{
    // Exactly the limit: no question.
    ASSERT_TRUE(writeFile(path(), QByteArray(1000000, 'x')));
    InitDataLog();
    EXPECT_TRUE(dlg.messages.isEmpty());

    // One byte more: asked once per section start; No keeps the file.
    ASSERT_TRUE(writeFile(path(), QByteArray(1000001, 'x')));
    dlg.answer(MsgResult::No);
    InitDataLog();
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text, QString("Log file size is 1000001. Delete?")) << "messages[0].text";
    EXPECT_EQ(dlg.messages[0].buttons, MsgButtons::YesNo) << "messages[0].buttons";
    EXPECT_TRUE(readFile(path()).startsWith(QByteArray(1000001, 'x') + "Start:"));
    for (int i = 0; i < 10; ++i)
        tick(13);

    // Yes deletes it: the file holds only the new section.
    ASSERT_TRUE(writeFile(path(), QByteArray(1000001, 'x')));
    dlg.answer(MsgResult::Yes);
    InitDataLog();
    EXPECT_EQ(dlg.messages.size(), 2);
    EXPECT_TRUE(readFile(path()).startsWith("Start:   Date: "));
}

TEST_F(DataLogTest, FailingWriteIsReportedOnceAndLoggingGoesOn)
{
    const QString missing = dir.filePath(QStringLiteral("gone"));
    Config().LogFileName = missing + QStringLiteral("/run.txt");
    InitDataLog(); // start line and header both fail: one message
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(tick(13)); // each line is due, each is lost
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].title, "AppendToTextFile");
    EXPECT_TRUE(dlg.messages[0].text.startsWith("Error: "));
    EXPECT_TRUE(dlg.messages[0].text.contains(missing));

    // The folder comes back: logging resumes without a new section.
    ASSERT_TRUE(QDir().mkpath(missing));
    tick(13);
    tick(13);
    EXPECT_EQ(dataLines(Config().LogFileName).size(), 2);
    EXPECT_FALSE(readFile(Config().LogFileName).contains("Start:"));

    // A later failure, after a success, is worth one new message.
    Config().LogFileName = dir.filePath(QStringLiteral("other/run.txt"));
    for (int i = 0; i < 5; ++i)
        tick(13);
    EXPECT_EQ(dlg.messages.size(), 2);
}
