// dcx700ctl monitor recording into the run archive and dcx700ctl runs reading
// it, against a scripted instrument on a local TCP port; the archive is also
// read with the sqlite3 program.
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/cli/clitestkit.h"
#include "tests/common/testfiles.h"

namespace {

using clitest::CtlRun;
using clitest::ScriptedInstrument;

const QByteArray kSensors = "0 2.48 1.23 5981234 0 0 6000000 -1 0 0 0.5 0.25 5500000.5";
const QByteArray kOutputs = "0 2.5 0.1 1.234 45.6 0 0 0 -1 3.25 -0.5 10 99.9 0 0 0 -1";

QStringList lines(const QByteArray& out)
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The sqlite3 program's answer to one statement on the archive.
QString Sqlite(const QString& db, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), db, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

class RunsCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeFile(ini, "[DataLog]\r\nType=0\r\n"));
        inst.replies["@"] = {"DCX-700 TEST"};
        inst.replies["K2"] = {kSensors};
    }
    CtlRun ctl(const QStringList& args)
    {
        return clitest::runCtl(dir.path(), QStringList{"--home", dir.path(), "--ini", ini} + args);
    }
    QStringList tcp() const { return {"--tcp", QStringLiteral("127.0.0.1:%1").arg(inst.port())}; }
    QString db() const { return dir.filePath(QStringLiteral("DCX700 Runs.db")); }

    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("test.ini"));
    ScriptedInstrument inst;
};

TEST_F(RunsCli, MonitorRecordsARunThatExportsAsPrintedAndTheToolsReadIt)
{
    // Stopped, a run of five ticks (one refused readings query), stopped.
    inst.replies["V"] = {"0 0 4 1 0",  "7 1.5 4 1 0",  "13 2.5 4 1 0",
                         "13 3 4 2 0", "13 3.5 4 2 0", "0 0 4 1 0"};
    inst.replies["K1"] = {kOutputs, kOutputs, kOutputs, "C:", kOutputs};
    // The design's loop: a refused query is one failed tick, not a reconnect.
    const CtlRun m = ctl(tcp() + QStringList{"monitor", "--count", "7", "--no-reconnect"});
    ASSERT_EQ(m.exitCode, 0) << m.err.toStdString();
    const QStringList out = lines(m.out);
    ASSERT_EQ(out.size(), 8);

    const CtlRun list = ctl({"runs", "list"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList rows = lines(list.out);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].section(QLatin1Char(','), 0, 0), QStringLiteral("1")) << "id";
    EXPECT_EQ(rows[0].section(QLatin1Char(','), 3, 3), QStringLiteral("4")) << "process";
    EXPECT_EQ(rows[0].section(QLatin1Char(','), 5), QStringLiteral("2,completed")) << "layers, end";
    EXPECT_EQ(Sqlite(db(), QStringLiteral("SELECT ended, gaps, samples FROM runs")),
              QStringLiteral("completed|1|5"))
        << "the archive through sqlite3";

    // The export is what monitor printed for the run's ticks.
    const QString csv = dir.filePath(QStringLiteral("run1.csv"));
    const CtlRun ex = ctl({"runs", "export", "1", "--csv", csv});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(readFile(csv)),
              (QStringList{out[0]} + out.mid(2, 5)).join(QLatin1Char('\n')) + '\n');

    const CtlRun show = ctl({"runs", "show", "1", "--json"});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(show.out).object();
    EXPECT_EQ(o.value("instrument").toString(), QStringLiteral("DCX-700 TEST")) << "instrument";
    EXPECT_EQ(o.value("snapshot").toObject().value("source").toString(), QStringLiteral("PC")) << "snapshot";

    const QString pdf = dir.filePath(QStringLiteral("run1.pdf"));
    const CtlRun rep = ctl({"runs", "report", "1", "--pdf", pdf});
    ASSERT_EQ(rep.exitCode, 0) << rep.err.toStdString();
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF")) << "report";
    EXPECT_EQ(ctl({"runs", "show", "9"}).exitCode, 6) << "unknown run";
    EXPECT_EQ(ctl({"runs", "list", "--process", "3"}).out, QByteArray()) << "filtered out";
}

TEST_F(RunsCli, AFolderInTheArchivesPlaceStopsRecordingNotMonitoring)
{
    ASSERT_TRUE(QDir().mkpath(db()));
    inst.replies["V"] = {"0 0 4 1 0", "13 2.5 4 1 0"};
    inst.replies["K1"] = {kOutputs};
    const CtlRun m = ctl(tcp() + QStringList{"monitor", "--count", "3"});
    EXPECT_EQ(m.exitCode, 0) << "exit";
    EXPECT_EQ(lines(m.out).size(), 4) << "lines";
    EXPECT_TRUE(m.err.contains("Run history stopped: ")) << m.err.toStdString();
    EXPECT_TRUE(QFileInfo(db()).isDir()) << "left as it was";
}

TEST_F(RunsCli, AMonitorKilledDuringARunLeavesEveryPrintedTick)
{
    inst.replies["V"] = {"0 0 4 1 0", "13 2.5 4 1 0"};
    inst.replies["K1"] = {kOutputs};
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(clitest::binDir() + QStringLiteral("/dcx700ctl"),
            QStringList{"--home", dir.path(), "--ini", ini} + tcp() + QStringList{"monitor"});
    QByteArray printed;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, &loop, [&] {
        printed += p.readAllStandardOutput();
        if (printed.count('\n') >= 7)
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    p.kill(); // SIGKILL
    p.waitForFinished();
    printed += p.readAllStandardOutput();
    // Header and the stopped tick are not in the run.
    const int runLines = int(lines(printed).size()) - 2;
    ASSERT_GE(runLines, 5);
    EXPECT_EQ(Sqlite(db(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok")) << "integrity";
    const int stored = Sqlite(db(), QStringLiteral("SELECT count(*) FROM samples")).toInt();
    // Each tick is stored before it is printed; the kill may fall between.
    EXPECT_GE(stored, runLines) << "stored ticks";
    EXPECT_LE(stored, runLines + 1) << "stored ticks";
}

} // namespace
