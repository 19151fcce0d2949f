// The run recorder against the simulated instrument and the fake clock: run
// rows with their ends, sample counts and recipe snapshots; overlay
// alignment; an archive that cannot be used.
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "history/runarchive.h"
#include "history/runcharts.h"
#include "history/runrecorder.h"
#include "history/runsnapshot.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class RecorderRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Comm_ResetLink();
        Config() = AppConfig{};
        SetDefaultParameters();
        Readings() = ReadingsRecord{};
        peer.instrument().attachClock(&clock);
        Comm_UseInProcessPeer(&peer);
        ASSERT_TRUE(Comm_Connect());
    }
    void TearDown() override { Comm_ResetLink(); }

    // One update tick as the loop makes it; returns the phase it saw.
    int tick(RunRecorder& rec)
    {
        clock.advance(0.5);
        Operate_GetStatus();
        if (Data_GetSensors() == 0)
            Data_GetOutputs();
        rec.tick(clock.now(), Readings(), Comm_GetStatus());
        return Readings().Phase;
    }
    // Ticks until the phase is one of those wanted; the ticks made.
    int tickUntil(RunRecorder& rec, std::initializer_list<int> phases, int limit = 20000)
    {
        for (int n = 1; n <= limit; ++n)
            if (std::find(phases.begin(), phases.end(), tick(rec)) != phases.end())
                return n;
        ADD_FAILURE() << "phase never reached";
        return limit;
    }
    QString path() const { return dir.filePath(QStringLiteral("DCX700 Runs.db")); }

    QTemporaryDir dir;
    FakeClock clock;
    ScopedClock useClock{clock};
    SimPeer peer;
};

// A small recipe in the PC's model for process 1: two layers, two films,
// one material shared.
void FillProcessOne(ParameterModel& m)
{
    m.ProcessTable[1].Process_Name = "Al Mirror";
    m.ProcessTable[1].Number_Layers = 2;
    m.ProcessTable[1].First_Layer = 7;
    m.ProcessTable[1].Number_Act_Layers = 2;
    m.LayerTable[7].Rate = 12.5;
    m.LayerTable[7].Film_Number = 3;
    m.LayerTable[7].Next_Layer = 9;
    m.LayerTable[7].Layer_Free = 0;
    m.LayerTable[9].Final_Thick = 1.25;
    m.LayerTable[9].Film_Number = 4;
    m.LayerTable[9].Layer_Free = 0;
    m.FilmTable[3].Film_Name = "Aluminium";
    m.FilmTable[3].Material_Index = 5;
    m.FilmTable[4].Film_Name = "Protect";
    m.FilmTable[4].Material_Index = 5;
    m.FilmTable[4].Soak1_Time = 30;
    m.MaterialTable[5].Material = "Al";
    m.MaterialTable[5].Density = 2.7;
}

TEST_F(RecorderRun, CompletedAbortedAndGappedRunsGiveTheirRowsSamplesAndSnapshots)
{
    FillProcessOne(Model());
    std::vector<qint64> ticks;
    {
        RunRecorder rec(path());
        rec.setInstrument(QStringLiteral("DCX-700 sim"));
        tick(rec);
        // Completed: every tick from the run start to "Stopped".
        Comm_SendCommand(QStringLiteral("U 0"));
        ticks.push_back(tickUntil(rec, {0}));
        // Aborted in the first deposit.
        Comm_SendCommand(QStringLiteral("U 0"));
        int n = tickUntil(rec, {13});
        Comm_SendCommand(QStringLiteral("U 1"));
        ticks.push_back(n + tickUntil(rec, {0}));
        // A gap of three failed ticks while depositing; the run goes on to its end.
        Comm_SendCommand(QStringLiteral("U 0"));
        n = tickUntil(rec, {13});
        for (int i = 0; i < 3; ++i)
            rec.tick(clock.now(), Readings(), linkstatus::Timeout);
        ticks.push_back(n + 3 + tickUntil(rec, {0}));
        // Closed during a gap: the link was lost.
        Comm_SendCommand(QStringLiteral("U 0"));
        tickUntil(rec, {13});
        rec.linkLost();
        rec.tick(clock.now(), Readings(), linkstatus::Timeout);
    }

    RunArchive archive(path());
    ASSERT_TRUE(archive.open(false)) << archive.error().toStdString();
    const std::vector<RunRow> rows = archive.listRuns();
    ASSERT_EQ(rows.size(), 4u);
    struct Case {
        const char* name;
        RunEnd ended;
        int gaps;
    };
    const Case cases[] = {{"completed", RunEnd::Completed, 0},
                          {"aborted", RunEnd::Aborted, 0},
                          {"gap", RunEnd::Completed, 1},
                          {"closed in a gap", RunEnd::LinkLost, 1}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].name);
        const RunRow& row = rows[3 - i]; // newest first
        EXPECT_EQ(RunEndText(row.ended), RunEndText(cases[i].ended)) << "ended";
        EXPECT_EQ(row.gaps, cases[i].gaps) << "gaps";
        EXPECT_EQ(row.process, 1) << "process";
        EXPECT_EQ(row.name, QStringLiteral("Al Mirror")) << "name";
        EXPECT_EQ(row.instrument, QStringLiteral("DCX-700 sim")) << "instrument";
        if (i < 3) {
            EXPECT_EQ(row.samples, ticks[i]) << "samples";
        }
        EXPECT_EQ(qint64(archive.samples(row.id).size()), row.samples) << "stored samples";

        int process = 0;
        const std::unique_ptr<ParameterModel> snap = SnapshotModel(archive.snapshot(row.id), &process);
        ASSERT_TRUE(snap);
        EXPECT_EQ(process, 1) << "snapshot process";
        EXPECT_TRUE(snap->ProcessTable[1] == Model().ProcessTable[1]) << "process record";
        EXPECT_TRUE(snap->LayerTable[7] == Model().LayerTable[7]) << "layer 7";
        EXPECT_TRUE(snap->LayerTable[9] == Model().LayerTable[9]) << "layer 9";
        EXPECT_TRUE(snap->FilmTable[3] == Model().FilmTable[3]) << "film 3";
        EXPECT_TRUE(snap->FilmTable[4] == Model().FilmTable[4]) << "film 4";
        EXPECT_TRUE(snap->MaterialTable[5] == Model().MaterialTable[5]) << "material 5";
    }
    // The gap's ticks are kept as failed ticks.
    int failed = 0;
    for (const RunSample& s : archive.samples(rows[1].id))
        failed += s.status != 0 ? 1 : 0;
    EXPECT_EQ(failed, 3) << "failed ticks of the gap";
}

RunSample Sample(double t, int phase, int layer, double rate)
{
    RunSample s;
    s.time = QDateTime(QDate(2026, 12, 5), QTime(10, 0)).addMSecs(qint64(t * 1000));
    s.readings.Phase = qint16(phase);
    s.readings.RunLayer = qint16(layer);
    s.readings.OutRate[0] = rate;
    return s;
}

TEST(RunOverlay, AlignsTheSecondRunAtTheChosenLayersDeposit)
{
    // Layer 2 starts depositing 30 s into the first run and 50 s into the second.
    const std::vector<RunSample> base = {Sample(0, 7, 1, 0), Sample(10, 13, 1, 1), Sample(30, 13, 2, 2),
                                         Sample(40, 0, 2, 0)};
    const std::vector<RunSample> over = {Sample(0, 7, 1, 0), Sample(20, 13, 1, 1), Sample(45, 12, 2, 0),
                                         Sample(50, 14, 2, 3), Sample(60, 0, 2, 0)};
    EXPECT_EQ(OverlayShift(base, over, 0).value_or(-1), 0.0) << "run start";
    EXPECT_EQ(OverlayShift(base, over, 1).value_or(-1), -10.0) << "layer 1";
    const std::optional<double> shift = OverlayShift(base, over, 2);
    ASSERT_TRUE(shift);
    const RunCharts charts = BuildRunCharts(over, *shift);
    EXPECT_EQ(charts[0][0].x[3], 30.0) << "layer 2 deposit of the overlay";
    EXPECT_EQ(charts[0][0].y[3], 3.0) << "its rate";
    EXPECT_FALSE(OverlayShift(base, over, 3)) << "a layer neither deposited";
    EXPECT_EQ(RunCursorText(BuildRunCharts(base)[0], 29.0),
              QStringLiteral("t = 30.0 s   1: 2.00   2: 0.00   3: 0.00   4: 0.00"));
}

TEST_F(RecorderRun, AnArchiveThatCannotBeUsedStopsRecordingAndIsLeftAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* why;
    };
    const Case cases[] = {
        {"text file", [](const QString& p) { writeFile(p, "not a database\n"); }, "database format"},
        {"folder", [](const QString& p) { QDir().mkpath(p); }, "a folder"},
        {"truncated",
         [](const QString& p) { writeFile(p, QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\1')); },
         "cannot be used"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        const QString p = home.filePath(QStringLiteral("DCX700 Runs.db"));
        c.make(p);
        const QByteArray before = QFileInfo(p).isFile() ? readFile(p) : QByteArray();
        RunRecorder rec(p);
        tick(rec);
        Comm_SendCommand(QStringLiteral("U 0"));
        tickUntil(rec, {13});
        EXPECT_TRUE(rec.stopped()) << "stopped";
        EXPECT_TRUE(rec.statusText().startsWith(QStringLiteral("Run history stopped: "))) << "status";
        EXPECT_TRUE(rec.statusText().contains(QLatin1String(c.why), Qt::CaseInsensitive))
            << rec.statusText().toStdString();
        EXPECT_EQ(QFileInfo(p).isFile() ? readFile(p) : QByteArray(), before) << "file untouched";
        Comm_SendCommand(QStringLiteral("U 1"));
        tickUntil(rec, {0});
    }
    if (::geteuid() != 0) { // root writes into read-only folders
        QTemporaryDir home;
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::ExeOwner);
        RunRecorder rec(home.filePath(QStringLiteral("DCX700 Runs.db")));
        Comm_SendCommand(QStringLiteral("U 0"));
        tickUntil(rec, {13});
        EXPECT_TRUE(rec.stopped()) << "read-only folder";
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

} // namespace
