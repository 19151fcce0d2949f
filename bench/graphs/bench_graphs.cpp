// Times one update tick's chart work: store a sample, append it to the four
// charts (four series each, about 500 points), scroll, drop old points and
// replot the visible chart, as the main window does every 500 ms.
//
//   bench_graphs [ticks]       default 2000 timed ticks after a warm-up
#include "runlog/cgraphset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Stats {
    double median, p90, max;
};

// CPU time of this thread: on a shared machine wall time also counts the
// time slices other processes take.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
}

// A deposition-like reading for tick i.
void fill(ReadingsRecord& r, int i)
{
    for (int k = 0; k < 4; ++k) {
        const double phase = 0.05 * i + k;
        r.OutRate[size_t(k)] = 2.0 + k + 0.4 * std::sin(phase);
        r.OutDeviation[size_t(k)] = 8.0 * std::sin(phase * 1.3);
        r.OutThickness[size_t(k)] = 0.01 * i;
        r.OutPower[size_t(k)] = 30.0 + 10.0 * k + 2.0 * std::cos(phase);
        r.SensorRate[size_t(k)] = r.OutRate[size_t(k)] * 1.02;
        r.SensorThickness[size_t(k)] = 0.01 * i;
        r.SensorFrequency[size_t(k)] = 5.98e6 - 10.0 * i;
    }
}

// Runs `ticks` ticks with the given X window and reports per-tick times.
void run(const char* label, double xWide, int ticks, bool paint)
{
    QStackedWidget area;
    std::array<QCustomPlot*, GraphCount> plots{};
    for (auto& p : plots) {
        p = new QCustomPlot(&area);
        area.addWidget(p);
    }
    area.resize(900, 420);
    area.show();

    QTemporaryDir folder; // no settings files: built-in settings
    cGraphSet set(plots, folder.path());
    for (int g = 0; g < GraphCount; ++g)
        set.graph(g).setXWide(xWide);
    LiveGraphs& live = set.live();

    ReadingsRecord r;
    double now = 36000.0;
    const double start = now;
    fill(r, 0);
    live.InitGraph(r, now, start);
    auto tick = [&](int i) {
        now += 0.5;
        fill(r, i);
        live.UpdateGraph(r, now, start);
        live.AdvancePointIndex();
        if (paint)
            QCoreApplication::processEvents();
    };
    int i = 1;
    for (; i <= 1200; ++i) // charts full, ring wrapped
        tick(i);

    std::vector<double> ms, cpu;
    ms.reserve(size_t(ticks));
    cpu.reserve(size_t(ticks));
    QElapsedTimer t;
    for (int n = 0; n < ticks; ++n, ++i) {
        const double c0 = threadCpuMs();
        t.start();
        tick(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - c0);
    }
    int minPts = 1 << 30, maxPts = 0;
    for (int g = 0; g < GraphCount; ++g) {
        minPts = std::min(minPts, set.graph(g).pointCount());
        maxPts = std::max(maxPts, set.graph(g).pointCount());
    }
    const Stats s = stats(ms);
    const Stats c = stats(cpu);
    std::printf("%-34s points/series %d..%d\n    wall: median %.3f ms  p90 %.3f ms  max %.3f ms\n"
                "    cpu:  median %.3f ms  p90 %.3f ms  max %.3f ms\n",
                label, minPts, maxPts, s.median, s.p90, s.max, c.median, c.p90, c.max);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.runlog.debug=false"));
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    std::printf("%d ticks, platform %s\n", ticks, qPrintable(QGuiApplication::platformName()));
    run("window 1000 s (drop every tick)", 1000.0, ticks, false);
    run("window 1000 s, with repaint", 1000.0, ticks, true);
    run("window 300 s", 300.0, ticks, false);
    return 0;
}
