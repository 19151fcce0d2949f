// Soak: the main window runs the simulator's process 1 again and again on a
// manual clock (each update tick is half a second of instrument time, taken
// as fast as the machine allows), logging every tick and plotting all four
// charts in turn. Reports resident memory after each run and the tick time
// of the first and the last minute.
//   bench_soak [minutes]   (default 60)
// Exit status 0 when memory grew less than 5 MB after the first four runs
// (one with each chart shown: each chart's first paint allocates its buffers)
// and the last minute's median tick is no slower than the first minute's
// (10 % for noise).
#include "app/frmmain.h"
#include "link/modcomm.h"
#include "sim/simcontrol.h"
#include "sim/simpeer.h"
#include "support/clock.h"
#include "support/dialogs.h"
#include "support/programfolder.h"
#include "support/shell.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct Stats {
    double median = 0, p90 = 0, max = 0;
};

Stats stats(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double minutes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 60.0;
    const qint64 limitMs = qint64(minutes * 60000);

    QStandardPaths::setTestModeEnabled(true);
    const QTemporaryDir home;
    const QDir bin(qEnvironmentVariableIsEmpty("DCX_BIN_DIR") ? QStringLiteral(DCX_BIN_DIR_DEFAULT)
                                                              : qEnvironmentVariable("DCX_BIN_DIR"));
    for (const QString& f : bin.entryList({QStringLiteral("*.OC2")}, QDir::Files))
        QFile::copy(bin.filePath(f), QDir(home.path()).filePath(f));
    {
        // Overwrite mode: a fresh log each run, a line every tick.
        QFile ini(QDir(home.path()).filePath(QStringLiteral("DCX700 Comm.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[DataLog]\r\nFile=soak.txt\r\nType=1\r\nInterval=0\r\n");
    }
    SetProgramFolder(home.path());
    QDir::setCurrent(home.path());
    RecordingShell shell;
    setShell(&shell);

    FakeClock clock;
    ScopedClock useClock(clock);
    SimPeer peer;
    peer.instrument().setSpeed(4);
    peer.instrument().attachClock(&clock);
    Comm_UseInProcessPeer(&peer);

    frmMain w;
    w.findChild<QTimer*>(QStringLiteral("tmrUpdate"))->stop();
    w.show();

    QElapsedTimer wall;
    wall.start();
    std::vector<double> firstMinute, lastMinute, window;
    qint64 minuteStart = 0;
    int runs = 0;
    long ticks = 0;
    double afterFirstRun = 0, peak = 0;
    bool running = false;
    bool stalled = false;
    int crystalChanges = 0;
    qint16 lastPhase = -1;
    long lastChange = 0;
    int stoppedTicks = 0;
    std::printf("soak: %.1f minutes; run, ticks, resident MB\n", minutes);
    // The ticks run inside the event loop, as the timer's would: objects the
    // windows hand to deleteLater() are only deleted there.
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &w, [&] {
        if (wall.elapsed() >= limitMs)
            return QCoreApplication::quit();
        clock.advance(0.5);
        QElapsedTimer t;
        t.start();
        w.tmrUpdate_Timer();
        QCoreApplication::processEvents(); // the repaint of the visible chart
        const double ms = double(t.nsecsElapsed()) / 1e6;
        ++ticks;
        window.push_back(ms);
        if (wall.elapsed() - minuteStart >= 60000) {
            if (firstMinute.empty())
                firstMinute = window;
            lastMinute = window;
            window.clear();
            minuteStart = wall.elapsed();
        }
        const qint16 phase = w.currentPhase();
        if (phase != lastPhase) {
            lastPhase = phase;
            lastChange = ticks;
        } else if (ticks - lastChange > 4000) {
            // No phase change for half an hour of instrument time: the update
            // loop has stopped asking (a refused reply leaves it resting).
            std::printf("soak: stalled at run %d in phase %d: link status %d after %s; %s\n", runs + 1, phase,
                        Comm_GetStatus(), Comm_LastFrame().mid(2, Comm_LastFrame().size() - 4).constData(),
                        qPrintable(SimControl(peer.instrument()).execute(QStringLiteral("show"))));
            stalled = true;
            return QCoreApplication::quit();
        }
        if (phase == 24 && ticks - lastChange == 20) {
            // Worn crystals fail a run, as on the instrument: the operator
            // fits new ones and aborts the run.
            SimControl control(peer.instrument());
            for (int c = 1; c <= 4; ++c)
                control.execute(QStringLiteral("crystal-new %1").arg(c));
            w.cmdAbort_Click();
            ++crystalChanges;
        }
        if (phase > 0) {
            running = true;
            stoppedTicks = 0;
        } else if (phase == 0 && ++stoppedTicks % 4 == 2) {
            if (running) {
                ++runs;
                const double mb = residentMb();
                peak = std::max(peak, mb);
                if (runs == 4)
                    afterFirstRun = mb;
                if (runs <= 8 || runs % 100 == 0) {
                    std::printf("soak: run %d, %ld ticks, %.1f min, %.2f MB resident, %.2f MB heap in use\n",
                                runs, ticks, double(wall.elapsed()) / 60000.0, mb,
                                double(mallinfo2().uordblks) / (1024.0 * 1024.0));
                    std::fflush(stdout);
                }
                running = false;
                w.setDisplay(qint16(runs % 4));
            }
            w.cmdStart_Click();
        }
    });
    driver.start(0);
    QApplication::exec();
    if (lastMinute.empty())
        lastMinute = window;
    if (firstMinute.empty())
        firstMinute = lastMinute;
    const double end = residentMb();
    const Stats a = stats(firstMinute);
    const Stats b = stats(lastMinute);
    const double growth = end - afterFirstRun;
    std::printf("soak: %d runs, %ld ticks in %.1f min; resident %.1f MB after run 4, %.1f MB at the end "
                "(growth %.2f MB, peak %.1f MB)\n",
                runs, ticks, double(wall.elapsed()) / 60000.0, afterFirstRun, end, growth, peak);
    std::printf("soak: tick ms first minute median %.3f p90 %.3f max %.1f; last minute median %.3f p90 %.3f "
                "max %.1f\n",
                a.median, a.p90, a.max, b.median, b.p90, b.max);
    Comm_UseInProcessPeer(nullptr);
    setShell(nullptr);
    const bool ok = !stalled && runs >= 4 && growth < 5.0 && b.median <= a.median * 1.1;
    std::printf("soak: crystals renewed %d times\n", crystalChanges);
    std::printf("soak: %s\n", ok ? "goal met" : "goal missed");
    return ok ? 0 : 1;
}
