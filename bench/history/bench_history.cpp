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

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numeric>
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

// CPU time of this thread, ms: on a shared machine the wall time mostly
// measures the other processes.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// CPU time of finished child processes, ms.
double childCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
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
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/dcx_bench_history";
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
        archive.checkpoint();
        std::printf("archive: %d runs, %.0f samples, %.1f MB, %.1f bytes per sample\n", runs, samples,
                    double(archive.sizeBytes()) / 1e6, double(archive.sizeBytes()) / samples);
    }

    double listCpu = 0;
    const double listQuery = median(5, [&] {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        RunArchive archive(path);
        archive.open(false);
        const auto rows = archive.listRuns();
        listCpu = cpuMs() - c;
        return ms(t);
    });
    double windowOpen = 0;
    double windowCpu = 0;
    double refresh = 0;
    double refreshCpu = 0;
    double charts = 0;
    double chartsCpu = 0;
    double samplesRead = 0;
    {
        QElapsedTimer t;
        t.start();
        double c = cpuMs();
        frmRunHistory w(path);
        w.show();
        QApplication::processEvents();
        windowOpen = ms(t);
        windowCpu = cpuMs() - c;
        refresh = median(5, [&] {
            QElapsedTimer r;
            r.start();
            const double c0 = cpuMs();
            w.Refresh();
            QApplication::processEvents();
            refreshCpu = cpuMs() - c0;
            return ms(r);
        });
        const qint64 id = runs / 2;
        charts = median(5, [&] {
            QElapsedTimer r;
            r.start();
            const double c0 = cpuMs();
            w.ShowRun(id);
            QApplication::processEvents();
            chartsCpu = cpuMs() - c0;
            return ms(r);
        });
        RunArchive archive(path);
        archive.open(false);
        samplesRead = median(5, [&] {
            QElapsedTimer r;
            r.start();
            const auto samples = archive.samples(id);
            return ms(r);
        });
    }
    std::printf(
        "list: archive query %.1f ms (cpu %.1f); list filled again %.1f ms (cpu %.1f); window opened with "
        "the newest run drawn %.1f ms (cpu %.1f) (goal < 100)\n",
        listQuery, listCpu, refresh, refreshCpu, windowOpen, windowCpu);
    std::printf("one run's four charts drawn: %.1f ms (cpu %.1f), of which reading its samples %.1f ms (goal "
                "< 150)\n",
                charts, chartsCpu, samplesRead);

    const QString ctl = QCoreApplication::applicationDirPath() + QStringLiteral("/dcx700ctl");
    double exportCpu = 0;
    const double exportCli = median(3, [&] {
        QElapsedTimer t;
        t.start();
        const double c = childCpuMs();
        QProcess::execute(ctl, {"--home", folder, "runs", "export", QString::number(runs / 2), "--csv",
                                folder + QStringLiteral("/export.csv")});
        exportCpu = childCpuMs() - c;
        return ms(t);
    });
    std::printf("dcx700ctl runs export of a one-hour run: %.0f ms (cpu %.0f) (goal < 500), %lld bytes\n",
                exportCli, exportCpu, QFileInfo(folder + QStringLiteral("/export.csv")).size());

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
    double recordCpu = 0;
    for (int i = 0; i < 4000; ++i) {
        clock.advance(0.5);
        QElapsedTimer t;
        t.start();
        Operate_GetStatus();
        if (Data_GetSensors() == 0)
            Data_GetOutputs();
        tickUs.push_back(double(t.nsecsElapsed()) / 1e3);
        t.restart();
        const double c = cpuMs();
        recorder.tick(clock.now(), Readings(), Comm_GetStatus());
        recordCpu += cpuMs() - c;
        recordUs.push_back(double(t.nsecsElapsed()) / 1e3);
        if (Readings().Phase == 0)
            Comm_SendCommand(QStringLiteral("U 0"));
    }
    std::sort(tickUs.begin(), tickUs.end());
    const double recordMean =
        std::accumulate(recordUs.begin(), recordUs.end(), 0.0) / double(recordUs.size());
    std::sort(recordUs.begin(), recordUs.end());
    const auto pct = [](const std::vector<double>& v, double p) {
        return v[size_t(double(v.size() - 1) * p)];
    };
    std::printf(
        "per tick: readings (V, K2, K1 in-process) median %.1f us p99 %.1f us; recording median %.1f us "
        "p99 %.1f us max %.1f us, mean %.1f us (cpu %.1f us) (goal <= 300 us)\n",
        pct(tickUs, 0.5), pct(tickUs, 0.99), pct(recordUs, 0.5), pct(recordUs, 0.99), recordUs.back(),
        recordMean, recordCpu * 1e3 / double(recordUs.size()));
    Comm_ResetLink();
    return 0;
}
