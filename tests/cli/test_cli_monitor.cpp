// dcx700ctl monitor against a scripted instrument on a local TCP port (frames
// built here, independently of the link code).
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/cli/clitestkit.h"
#include "tests/common/testfiles.h"

namespace {

using clitest::CtlRun;
using clitest::ScriptedInstrument;

// Runs dcx700ctl in dir (German number locale, to show it does not matter)
// while this process keeps serving the instrument.
CtlRun runCtl(const QString& dir, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LANG"})
        env.insert(QLatin1String(name), QStringLiteral("de_DE.UTF-8"));
    return clitest::runCtl(dir, args, env);
}

const char* const kHeader =
    "time,elapsed,phase,phase_text,"
    "out1_rate,out1_dev,out1_thick,out1_power,out2_rate,out2_dev,out2_thick,out2_power,"
    "out3_rate,out3_dev,out3_thick,out3_power,out4_rate,out4_dev,out4_thick,out4_power,"
    "sens1_rate,sens1_thick,sens1_freq,sens2_rate,sens2_thick,sens2_freq,"
    "sens3_rate,sens3_thick,sens3_freq,sens4_rate,sens4_thick,sens4_freq";

const QByteArray kSensors = "0 2.48 1.23 5981234 0 0 6000000 -1 0 0 0.5 0.25 5500000.5";
const QByteArray kOutputs = "0 2.5 0.1 1.234 45.6 0 0 0 -1 3.25 -0.5 10 99.9 0 0 0 -1";
// The values above as the monitor prints them (after time and elapsed).
const char* const kCsvValues =
    "2.50,0.1,1.234,45.6,0.00,0.0,0.000,-1.0,3.25,-0.5,10.000,99.9,0.00,0.0,0.000,-1.0,"
    "2.48,1.230,5981234.00,0.00,0.000,6000000.00,-1.00,0.000,0.00,0.50,0.250,5500000.50";
// And as the data log writes them (after e and the phase).
const char* const kLogValues =
    "2.50,0.1,1.234,45.6, 0.00,0.0,0.000,-1.0, 3.25,-0.5,10.00,99.9, 0.00,0.0,0.000,-1.0,"
    " Sensors:, 2.48,1.230,5981234.000, 0.00,0.000,6000000.000, -1.00,0.000,0.000,"
    " 0.50,0.250,5500000.500";

const QRegularExpression kTime(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));

QStringList lines(const QByteArray& out)
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(CliMonitor, LinesForKnownReadingsFailedTicksAndTheDataLog)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("test.ini"));
    ASSERT_TRUE(writeFile(ini, "[DataLog]\r\nType=1\r\nStart=0\r\nEnd=0\r\nInterval=0\r\n"));
    const QString log = dir.filePath(QStringLiteral("run.txt"));
    ASSERT_TRUE(writeFile(log, "an older run\r\n")); // overwrite mode: gone at the run start

    ScriptedInstrument inst;
    inst.replies["@"] = {"DCX-700 TEST"};
    // Stopped, then a run: deposit for three ticks, then stopped again.
    inst.replies["V"] = {"0 0 2 1 0", "13 125.4 2 5 0", "13 125.4 2 5 0", "13 125.4 2 5 0", "0 0 2 1 0"};
    inst.replies["K2"] = {kSensors};
    // The fourth tick's outputs query is refused.
    inst.replies["K1"] = {kOutputs, kOutputs, kOutputs, "C:", kOutputs};

    const CtlRun r =
        runCtl(dir.path(), {"--ini", ini, "--tcp", QStringLiteral("127.0.0.1:%1").arg(inst.port()), "monitor",
                            "--count", "6", "--log", log, "--no-reconnect"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 7) << r.out.toStdString();
    EXPECT_EQ(out[0], kHeader);
    for (const QString& l : out.mid(1)) {
        EXPECT_EQ(l.count(QLatin1Char(',')), 31) << l.toStdString();
        EXPECT_TRUE(kTime.match(l.section(QLatin1Char(','), 0, 0)).hasMatch()) << l.toStdString();
    }
    EXPECT_EQ(out[2].section(QLatin1Char(','), 1), QStringLiteral("125.4,13,Deposit,") + kCsvValues);
    EXPECT_EQ(out[1].section(QLatin1Char(','), 1, 3), "0.0,0,Stopped");
    EXPECT_EQ(out[4].section(QLatin1Char(','), 1),
              QStringLiteral(",,Bad Command") + QString(28, QLatin1Char(',')));
    // V, then K2, then K1 on every tick, each once.
    EXPECT_EQ(inst.commands.mid(0, 4), (QList<QByteArray>{"@", "V", "K2", "K1"}));
    EXPECT_EQ(inst.commands.count("V"), 6) << "V commands";
    EXPECT_EQ(inst.commands.count("K1"), 6) << "K1 commands";

    // The log: one section for the run, a line on each active tick (the failed
    // one logs the previous values), the end line at "Stopped".
    const QList<QByteArray> logLines = readFile(log).split('\n');
    ASSERT_GE(logLines.size(), 12);
    EXPECT_TRUE(logLines[0].startsWith("Start:   Date: ")) << logLines[0].toStdString();
    EXPECT_TRUE(logLines[2].startsWith("Time,Phase, Out1Rate,")) << logLines[2].toStdString();
    EXPECT_EQ(logLines[1], QByteArray("\r")) << "logLines[1]";
    EXPECT_EQ(logLines[3], QByteArray("\r")) << "logLines[3]";
    for (int i = 4; i < 7; ++i)
        EXPECT_TRUE(logLines[i].endsWith(QByteArray(", Deposit, ") + kLogValues + "\r"))
            << logLines[i].toStdString();
    EXPECT_EQ(logLines[7], "\r");
    EXPECT_TRUE(logLines[8].startsWith("End:     Date: ")) << logLines[8].toStdString();
    EXPECT_EQ(logLines.mid(9), (QList<QByteArray>{"\r", "\r", ""}));
}
