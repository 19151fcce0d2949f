// bench_history [folder] [runs]: builds (or reuses) an archive of `runs`
// one-hour runs (7,200 ticks each, default 1,000) in folder, then measures:
// opening the list (archive query, and the Run History window built and
// filled offscreen), drawing one run's four charts, `dcx700ctl runs export`
// of one run, the cost of recording per tick beside the tick itself against
// the in-process simulator, and the archive's bytes per sample.
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "history/frmrunhistory.h"
#include "history/runarchive.h"
#include "history/runexport.h"
#include "history/runrecorder.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "support/clock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kTicksPerRun = 7200;

double round(double v, double step)
{
    return std::round(v / step) * step;
}

// A plausible hour: two outputs depositing near 2.5 and 1.2 Å/s, two unused.
std::vector<RunSample> makeRun(const QDateTime& start, std::mt19937& rng)
{
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<RunSample> out(kTicksPerRun);
    double thick[2] = {0, 0};
    double freq[2] = {5990000.0, 5985000.0};
    for (int i = 0; i < kTicksPerRun; ++i) {
        RunSample& s = out[size_t(i)];
        s.time = start.addMSecs(qint64(i) * 500);
        ReadingsRecord& r = s.readings;
        r.ElapsedTime = round(i * 0.5, 0.1);
        r.Phase = qint16(i < 60 ? 7 : 13);
        r.RunLayer = qint16(1 + i / 1800);
        for (int k = 0; k < 2; ++k) {
            const double rate = (k == 0 ? 2.5 : 1.2) + noise(rng);
            thick[k] += rate * 0.5 / 1000.0;
            freq[k] -= rate * 0.8;
            r.OutRate[size_t(k)] = round(rate, 0.01);
            r.OutDeviation[size_t(k)] = round(noise(rng) * 20, 0.1);
            r.OutThickness[size_t(k)] = round(thick[k], 0.001);
            r.OutPower[size_t(k)] = round(45.6 + noise(rng) * 10, 0.1);
            r.SensorRate[size_t(k)] = round(rate, 0.01);
            r.SensorThickness[size_t(k)] = round(thick[k], 0.001);
            r.SensorFrequency[size_t(k)] = round(freq[k], 0.01);
        }
        for (size_t k = 2; k < 4; ++k)
            r.OutPower[k] = -1;
    }
    return out;
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

template <typename F>
double median(int n, F&& f)
{
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(f());
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/dcx_bench_history";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1000;
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/DCX700 Runs.db");

    {
        RunArchive archive(path);
        if (!archive.open(true)) {
            std::fprintf(stderr, "%s\n", qPrintable(archive.error()));
            return 1;
        }
        const int have = int(archive.listRuns().size());
        std::mt19937 rng(7);
        QElapsedTimer t;
        t.start();
        for (int i = have; i < runs; ++i) {
            RunRow row;
            row.start = QDateTime(QDate(2026, 1, 1), QTime(8, 0)).addSecs(qint64(i) * 3 * 3600);
            row.process = 1 + i % 10;
            row.name = QStringLiteral("Process %1").arg(row.process);
            row.layers = 4;
            const std::optional<qint64> id = archive.beginRun(row, QByteArrayLiteral("{\"source\":\"PC\"}"));
            const std::vector<RunSample> samples = makeRun(row.start, rng);
            if (!id || !archive.addSamples(*id, samples, 0) ||
                !archive.endRun(*id, samples.back().time, RunEnd::Completed, 0)) {
                std::fprintf(stderr, "%s\n", qPrintable(archive.error()));
                return 1;
            }
        }
        if (have < runs)
            std::printf("generated %d runs in %.1f s\n", runs - have, ms(t) / 1000.0);
        const double samples = double(runs) * kTicksPerRun;
        std::printf("archive: %d runs, %.0f samples, %.1f MB, %.1f bytes per sample\n", runs, samples,
                    double(archive.sizeBytes()) / 1e6, double(archive.sizeBytes()) / samples);
    }

    const double listQuery = median(5, [&] {
        QElapsedTimer t;
        t.start();
        RunArchive archive(path);
        archive.open(false);
        const auto rows = archive.listRuns();
        return ms(t);
    });
    double windowOpen = 0;
    double charts = 0;
    {
        QElapsedTimer t;
        t.start();
        frmRunHistory w(path);
        w.show();
        QApplication::processEvents();
        windowOpen = ms(t);
        const qint64 id = runs / 2;
        charts = median(5, [&] {
            QElapsedTimer c;
            c.start();
            w.ShowRun(id);
            QApplication::processEvents();
            return ms(c);
        });
    }
    std::printf("list: archive query %.1f ms, window opened and filled %.1f ms (goal < 100)\n", listQuery,
                windowOpen);
    std::printf("one run's four charts drawn: %.1f ms (goal < 150)\n", charts);

    const QString ctl = QCoreApplication::applicationDirPath() + QStringLiteral("/dcx700ctl");
    const double exportCli = median(3, [&] {
        QElapsedTimer t;
        t.start();
        QProcess::execute(ctl, {"--home", folder, "runs", "export", QString::number(runs / 2), "--csv",
                                folder + QStringLiteral("/export.csv")});
        return ms(t);
    });
    std::printf("dcx700ctl runs export of a one-hour run: %.0f ms (goal < 500), %lld bytes\n", exportCli,
                QFileInfo(folder + QStringLiteral("/export.csv")).size());

    // Ticks against the in-process simulator, with and without recording,
    // alternating blocks of the same run.
    FakeClock clock;
    ScopedClock useClock(clock);
    SimPeer peer;
    peer.instrument().attachClock(&clock);
    Comm_UseInProcessPeer(&peer);
    Comm_Connect();
    QDir(folder).remove(QStringLiteral("tick.db"));
    RunRecorder recorder(folder + QStringLiteral("/tick.db"));
    Comm_SendCommand(QStringLiteral("U 0"));
    std::vector<double> tickUs;
    std::vector<double> recordUs;
    for (int i = 0; i < 4000; ++i) {
        clock.advance(0.5);
        QElapsedTimer t;
        t.start();
        Operate_GetStatus();
        if (Data_GetSensors() == 0)
            Data_GetOutputs();
        tickUs.push_back(double(t.nsecsElapsed()) / 1e3);
        t.restart();
        recorder.tick(clock.now(), Readings(), Comm_GetStatus());
        recordUs.push_back(double(t.nsecsElapsed()) / 1e3);
        if (Readings().Phase == 0)
            Comm_SendCommand(QStringLiteral("U 0"));
    }
    std::sort(tickUs.begin(), tickUs.end());
    std::sort(recordUs.begin(), recordUs.end());
    const auto pct = [](const std::vector<double>& v, double p) { return v[size_t(double(v.size() - 1) * p)]; };
    std::printf("per tick: readings (V, K2, K1 in-process) median %.1f us p99 %.1f us; recording median %.1f us "
                "p99 %.1f us max %.1f us (goal <= 300 us)\n",
                pct(tickUs, 0.5), pct(tickUs, 0.99), pct(recordUs, 0.5), pct(recordUs, 0.99), recordUs.back());
    Comm_ResetLink();
    return 0;
}
