// The self-healing link, measured.
//   bench_heal latency [outages]  (default 15) real clock, dcx700-sim on
//       loopback: the tick's cost with AutoReconnect 1 against 0 while the
//       link is up (alternate ticks, same run), then pulls of 1 to 4.9 s
//       during a run and the time from the simulator accepting again to fresh
//       readings, against one tick plus the back-off step then current.
//   bench_heal soak [minutes]     (default 60) the main window against the
//       in-process simulator on a manual clock for that much instrument time,
//       a pull of 2 to 5 s every 30 s: gap lines, log lines, dialogs, memory.
#include "app/frmmain.h"
#include "app/runmonitor.h"
#include "link/modcomm.h"
#include "runlog/phasetext.h"
#include "sim/siminstrument.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/programfolder.h"
#include "support/scripteddialogs.h"
#include "support/shell.h"
#include "tests/app/fakemonitorview.h"
#include "tests/common/simfaultcases.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(double(v.size()) * p))];
}

// Waits on the real clock while the event loop runs (the simulator's socket).
void pause(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, ms - int(t.elapsed()));
}

int latency(int outages)
{
    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/dcx700-sim"),
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--control"), QStringLiteral("0")});
    QString banner;
    while (sim.waitForReadyRead(5000) && !banner.contains(QLatin1String("control on")))
        banner += QString::fromLocal8Bit(sim.readAll());
    const QRegularExpression port(QStringLiteral("127.0.0.1:(\\d+)"));
    auto it = port.globalMatch(banner);
    const QString linkPort = it.hasNext() ? it.next().captured(1) : QString();
    const QString controlPort = it.hasNext() ? it.next().captured(1) : QString();
    QTcpSocket control;
    control.connectToHost(QStringLiteral("127.0.0.1"), controlPort.toUShort());
    if (controlPort.isEmpty() || !control.waitForConnected(3000)) {
        std::fprintf(stderr, "dcx700-sim did not start: %s\n", qPrintable(banner));
        return 2;
    }
    const auto say = [&control](const QString& line) {
        control.write(line.toLatin1() + '\n');
        control.waitForReadyRead(3000);
        control.readAll();
    };
    Config().CommType = 2;
    Config().EAddress = QStringLiteral("127.0.0.1");
    Config().EPort = linkPort;
    Config().AutoReconnect = 1;
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    FakeMonitorView view;
    CountingHooks hooks;
    RunMonitor monitor(view, hooks);
    view.monitor = &monitor;
    monitor.tmrUpdate_Timer();

    // Tick cost while the link is up, AutoReconnect 1 and 0 on alternate ticks.
    std::vector<double> cost[2];
    for (int k = 0; k < 2000; ++k) {
        Config().AutoReconnect = qint16(k % 2);
        QElapsedTimer t;
        t.start();
        monitor.tmrUpdate_Timer();
        cost[k % 2].push_back(double(t.nsecsElapsed()) / 1000.0);
    }
    Config().AutoReconnect = 1;
    std::printf("heal: tick while up (us): AutoReconnect=1 median %.1f p90 %.1f; AutoReconnect=0 median %.1f "
                "p90 %.1f\n",
                percentile(cost[1], 0.5), percentile(cost[1], 0.9), percentile(cost[0], 0.5),
                percentile(cost[0], 0.9));

    const double lengths[] = {1.0, 2.0, 3.0, 4.0, 4.9};
    int within = 0, short15 = 0, shortCount = 0;
    for (int n = 0; n < outages; ++n) {
        if (!IsActivePhase(monitor.CurrentPhase()))
            monitor.cmdStart_Click();
        pause(1000 + 97 * n % 500); // lands the pull anywhere within a tick
        const double d = lengths[n % 5];
        QElapsedTimer since;
        since.start();
        say(QStringLiteral("unplug %1").arg(d));
        bool seenLost = false;
        qint64 longest = 0;
        while (since.elapsed() < 60000) {
            QElapsedTimer t;
            t.start();
            monitor.tmrUpdate_Timer();
            longest = std::max(longest, t.elapsed());
            if (monitor.healer().lost())
                seenLost = true;
            else if (seenLost)
                break;
            pause(500);
        }
        // The wait before the attempt that succeeded.
        const qint64 step = LinkHealer::backoffMs(monitor.healer().attempts());
        const double late = double(since.elapsed()) / 1000.0 - d;
        const bool ok = late <= 0.5 + double(step) / 1000.0;
        within += ok ? 1 : 0;
        if (d < 5) {
            ++shortCount;
            short15 += late <= 1.5 ? 1 : 0;
        }
        std::printf(
            "heal: pull %.1f s: fresh readings %.2f s after it ended (step %.1f s, longest tick %lld ms)%s\n",
            d, late, double(step) / 1000.0, qlonglong(longest), ok ? "" : " LATE");
    }
    std::printf("heal: %d of %d within one tick plus the step; %d of %d under 5 s healed within 1.5 s; %lld "
                "dialogs\n",
                within, outages, short15, shortCount, qlonglong(dialogs.messages.size()));
    Comm_CloseTransports();
    sim.terminate();
    sim.waitForFinished(3000);
    return within == outages && dialogs.messages.isEmpty() ? 0 : 1;
}

int soak(double minutes)
{
    QStandardPaths::setTestModeEnabled(true);
    const QTemporaryDir home;
    {
        QFile ini(QDir(home.path()).filePath(QStringLiteral("DCX700 Comm.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[CommSettings]\r\nAutoReconnect=1\r\n[DataLog]\r\nFile=soak.txt\r\nType=2\r\nInterval="
                      "1\r\n");
    }
    SetProgramFolder(home.path());
    QDir::setCurrent(home.path());
    RecordingShell shell;
    setShell(&shell);
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    FakeClock clock;
    ScopedClock useClock(clock);
    SimInstrument sim;
    sim.attachClock(&clock);
    Comm_SetTransportOverride(std::make_unique<SimConnection>(sim));
    // Reply waits pass on the manual clock, only inside a tick.
    QTimer waits;
    QObject::connect(&waits, &QTimer::timeout, &clock, [&clock] { clock.advanceMs(100); });

    frmMain w;
    w.findChild<QTimer*>(QStringLiteral("tmrUpdate"))->stop();
    w.show();
    const qint64 endMs = qint64(minutes * 60000);
    qint64 nextPull = 30000;
    int pulls = 0; // those during a run: a pull between runs leaves no gap to mark
    quint32 seed = 7;
    std::vector<double> memory;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &w, [&] {
        const qint64 now = clock.monotonicMs();
        if (now >= endMs)
            return QCoreApplication::quit();
        if (now >= nextPull) {
            seed = seed * 1103515245u + 12345u;
            sim.unplug(2.0 + double(seed >> 16 & 0xFFFF) / 65535.0 * 3.0);
            pulls += IsActivePhase(w.currentPhase()) ? 1 : 0;
            nextPull += 30000;
        }
        if (now / 60000 >= qint64(memory.size()))
            memory.push_back(residentMb());
        if (w.currentPhase() == 0 && !w.monitor().healer().lost())
            w.cmdStart_Click();
        clock.advance(0.5);
        waits.start(0);
        w.tmrUpdate_Timer();
        waits.stop();
        QCoreApplication::processEvents();
    });
    QElapsedTimer wall;
    wall.start();
    driver.start(0);
    QApplication::exec();

    QFile f(QDir(home.path()).filePath(QStringLiteral("soak.txt")));
    f.open(QIODevice::ReadOnly);
    int gaps = 0, lines = 0, late = 0;
    double last = -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("Link lost ")) {
            ++gaps;
            last = -1;
            continue;
        }
        bool number = false;
        const double t = line.left(line.indexOf(',')).toDouble(&number);
        if (!number)
            continue;
        ++lines;
        late += last >= 0 && t - last > 1.01 && t > last ? 1 : 0;
        last = t;
    }
    const double settled = memory.size() > 5 ? memory[5] : memory.front();
    std::printf("heal soak: %.0f min of instrument time in %.1f s; %d pulls, %d gap lines, %d log lines, %d "
                "intervals over 1 s outside gaps, %lld dialogs\n",
                minutes, double(wall.elapsed()) / 1000.0, pulls, gaps, lines, late,
                qlonglong(dialogs.messages.size()));
    std::printf("heal soak: resident MB at minute 1 %.1f, 5 %.1f, end %.1f\n", memory.front(), settled,
                memory.back());
    Comm_SetTransportOverride(nullptr);
    setShell(nullptr);
    const bool ok = gaps == pulls && late == 0 && dialogs.messages.isEmpty() && memory.back() - settled < 2.0;
    std::printf("heal soak: %s\n", ok ? "goal met" : "goal missed");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("latency");
    const QString count = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == QLatin1String("soak"))
        return soak(count.isEmpty() ? 60.0 : count.toDouble());
    return latency(count.isEmpty() ? 15 : count.toInt());
}
