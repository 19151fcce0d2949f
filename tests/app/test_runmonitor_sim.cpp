// The update loop and process control against the simulated instrument: a
// whole run as the window shows it, every operate control's commands, and
// lost replies with the reconnect and the settings window's Find.
#include "app/runmonitor.h"
#include "commands/readingsrecord.h"
#include "fakemonitorview.h"
#include "link/commnotifier.h"
#include "link/commsettingslogic.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modutil.h"
#include "support/scripteddialogs.h"

#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class RunOnSimulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
        SetDefaultParameters();
        Readings() = ReadingsRecord{};
        peer.instrument().attachClock(&clock);
        QObject::connect(&peer.instrument(), &SimInstrument::commandHandled, &peer,
                         [this](const QByteArray& text, char) { commands << QString::fromLatin1(text); });
        Comm_UseInProcessPeer(&peer);
        view.monitor = &monitor;
    }
    void TearDown() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
    }

    void tick()
    {
        clock.advance(0.5);
        monitor.tmrUpdate_Timer();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            tick();
    }
    // Ticks until the instrument reports phase p (at most limit ticks).
    bool runUntil(int p, int limit = 2000)
    {
        for (int i = 0; i < limit && monitor.CurrentPhase() != p; ++i)
            tick();
        return monitor.CurrentPhase() == p;
    }
    // The commands other than the polling ones.
    QStringList operate() const
    {
        QStringList out;
        for (const QString& c : commands)
            if (c != QLatin1String("V") && c != QLatin1String("K1") && c != QLatin1String("K2"))
                out << c;
        return out;
    }
    // The effect of one click: the commands the next tick sends for it.
    QStringList click(void (RunMonitor::*handler)())
    {
        commands.clear();
        (monitor.*handler)();
        tick();
        return operate();
    }

    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    SimPeer peer;
    FakeMonitorView view;
    CountingHooks hooks;
    RunMonitor monitor{view, hooks};
    QStringList commands;
};

TEST_F(RunOnSimulator, AWholeRunShowsItsPhasesTimeLayersAndOutputs)
{
    ticks(2);
    ASSERT_EQ(view.phase, QStringLiteral("Stopped"));
    EXPECT_EQ(view.processes.value(0).left(12), QStringLiteral("1. Al Mirror"));
    EXPECT_EQ(view.layerTotal, QStringLiteral("2"));
    EXPECT_TRUE(view.start && view.startLayer && view.next && !view.abort && !view.stopLayer);

    EXPECT_EQ(click(&RunMonitor::cmdStart_Click), QStringList{QStringLiteral("U 0")});
    QStringList phases;
    QSet<QString> layers;
    int lastSeconds = 0;
    double maxRate = 0;
    double maxThickness = 0;
    bool timeRose = true;
    bool depositShown = false;
    for (int i = 0; i < 3000 && (phases.isEmpty() || view.phase != QStringLiteral("Stopped")); ++i) {
        tick();
        if (phases.isEmpty() || phases.last() != view.phase)
            phases << view.phase;
        layers.insert(view.layerNum);
        const int seconds = TimeToSeconds(view.time);
        if (view.phase != QStringLiteral("Stopped") && seconds < lastSeconds)
            timeRose = false;
        lastSeconds = qMax(lastSeconds, seconds);
        for (const QStringList& row : view.row) {
            maxRate = qMax(maxRate, row.value(0).toDouble());
            maxThickness = qMax(maxThickness, row.value(2).toDouble());
        }
        if (view.phase == QStringLiteral("Deposit")) {
            depositShown = true;
            // Running: the stop buttons and the rate of the depositing output.
            EXPECT_TRUE(view.abort && view.stopLayer && !view.start && !view.startLayer && !view.listEnabled);
        }
    }
    ASSERT_EQ(view.phase, QStringLiteral("Stopped")) << phases.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(depositShown);
    EXPECT_TRUE(timeRose);
    EXPECT_GT(lastSeconds, 60);
    EXPECT_EQ(layers, (QSet<QString>{QStringLiteral("1"), QStringLiteral("2")}));
    const int deposits = int(phases.count(QStringLiteral("Deposit")));
    EXPECT_GE(deposits, 2) << phases.join(QLatin1Char(',')).toStdString();
    for (const QString& p : phases)
        EXPECT_FALSE(p.isEmpty());
    // Each layer: its deposit comes after the phases that prepare it.
    const qsizetype firstDeposit = phases.indexOf(QStringLiteral("Deposit"));
    ASSERT_GT(firstDeposit, 0);
    EXPECT_NE(phases.first(), QStringLiteral("Deposit"));
    // The graphs: reset at the start click, the run start and each deposit.
    EXPECT_EQ(hooks.inits, 1 + 1 + deposits);
    EXPECT_GT(hooks.samples, 100);
    // Back to the stopped layout.
    EXPECT_TRUE(view.start && view.startLayer && view.next && !view.abort && !view.stopLayer);
    EXPECT_EQ(operate(), QStringList{QStringLiteral("U 0")});
    // The aluminium layer's kA reached its output's thickness field.
    EXPECT_GT(maxThickness, 0.9);
    EXPECT_GT(maxRate, 1.0);
}

TEST_F(RunOnSimulator, EveryControlSendsItsCommandsOnce)
{
    ticks(2);
    ASSERT_EQ(monitor.CurrentPhase(), 0);
    EXPECT_EQ(click(&RunMonitor::cmdZero_Click), QStringList{QStringLiteral("U 32")});

    // Choosing a process.
    commands.clear();
    view.selectProcess(2);
    tick();
    EXPECT_EQ(operate(), (QStringList{QStringLiteral("T 3"), QStringLiteral("C3? 1"), QStringLiteral("C3? 2"),
                                      QStringLiteral("C3? 3"), QStringLiteral("C3? 4")}));
    view.selectProcess(0);
    tick();

    // Start Layer while stopped starts the process (and resets the graphs at once).
    const int inits = hooks.inits;
    commands.clear();
    monitor.cmdStartLayer_Click();
    EXPECT_EQ(monitor.PendingCode(), OperateCode::StartProcess);
    EXPECT_EQ(hooks.inits, inits + 1);
    tick();
    EXPECT_EQ(operate(), QStringList{QStringLiteral("U 0")});
    ASSERT_TRUE(runUntil(13));

    EXPECT_EQ(click(&RunMonitor::cmdStopLayer_Click), QStringList{QStringLiteral("U 3")});
    ASSERT_TRUE(runUntil(25));
    EXPECT_TRUE(view.next && view.startLayer && view.abort && !view.stopLayer && !view.start);
    // Start Layer in a stopped layer queues the manual layer start.
    monitor.cmdStartLayer_Click();
    EXPECT_EQ(monitor.PendingCode(), OperateCode::StartManLayer);
    EXPECT_EQ(click(&RunMonitor::cmdStartLayer_Click), QStringList{QStringLiteral("U 2")});
    ASSERT_TRUE(runUntil(13));
    EXPECT_EQ(click(&RunMonitor::cmdStopLayer_Click), QStringList{QStringLiteral("U 3")});
    ASSERT_TRUE(runUntil(25));
    EXPECT_EQ(click(&RunMonitor::cmdNextLayer_Click), QStringList{QStringLiteral("U 4")});
    ticks(2);

    // Two clicks before one tick: only the last goes out.
    commands.clear();
    monitor.cmdNextLayer_Click();
    monitor.cmdAbort_Click();
    tick();
    EXPECT_EQ(operate(), QStringList{QStringLiteral("U 1")});
    ASSERT_TRUE(runUntil(0));

    // Auto -> Manual: the four sliders, and the button swaps at once.
    view.slider = {12, 0, 7, 0};
    monitor.cmdAutoMan_Click();
    EXPECT_TRUE(view.buttons.autoMan);
    commands.clear();
    tick();
    EXPECT_EQ(operate().mid(0, 4), (QStringList{QStringLiteral("S1 120"), QStringLiteral("S2 0"),
                                                QStringLiteral("S3 70"), QStringLiteral("S4 0")}));
    ASSERT_TRUE(runUntil(26));
    EXPECT_TRUE(view.slidersShown);
    EXPECT_TRUE(view.buttons.manAuto && !view.buttons.autoMan);
    ticks(3);
    EXPECT_EQ(operate(), (QStringList{QStringLiteral("S1 120"), QStringLiteral("S2 0"), QStringLiteral("S3 70"),
                                      QStringLiteral("S4 0")}));

    // Moving a slider sends that output's power; Manual -> Auto sends S0.
    commands.clear();
    view.slider[2] = 30;
    monitor.sldManPwr_Change(2);
    tick();
    EXPECT_EQ(operate(), QStringList{QStringLiteral("S3 300")});
    EXPECT_EQ(click(&RunMonitor::cmdManAuto_Click), QStringList{QStringLiteral("S0")});
    ASSERT_TRUE(runUntil(0));
    EXPECT_TRUE(view.buttons.autoMan && !view.buttons.manAuto && !view.slidersShown);
}

// Stands in for the main window behind the settings window: Find reloads
// the process list through the monitor.
class MonitorHost final : public CommSettingsHost {
public:
    explicit MonitorHost(RunMonitor& m) : monitor(m) {}
    void stopUpdates() override { ++stops; }
    void resumeUpdates() override { ++resumes; }
    void reloadProcesses() override { monitor.LoadProcesses(); }
    RunMonitor& monitor;
    int stops = 0;
    int resumes = 0;
};

TEST_F(RunOnSimulator, LostRepliesReconnectAndFindResumesTheLoop)
{
    // While a reply is missing, the wait sees time pass.
    QTimer time;
    QObject::connect(&time, &QTimer::timeout, &clock, [this] { clock.advanceMs(100); });
    time.start(0);
    QSignalSpy settings(&Comm_Notifier(), &CommNotifier::showSettingsRequested);
    ticks(2);
    ASSERT_TRUE(Comm_Online());

    // One dropped reply: a timeout, then a reconnect on the next tick.
    peer.instrument().faults().dropNext(1);
    commands.clear();
    tick();
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Timeout);
    tick();
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);
    EXPECT_EQ(operate().value(0), QStringLiteral("@"));
    EXPECT_EQ(settings.count(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(view.processes.size(), 100);

    // Silent from now on: the reconnect fails once, then the loop rests.
    peer.instrument().faults().setDropRate(1.0);
    ticks(4);
    EXPECT_FALSE(Comm_Online());
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Instrument not found.")});
    commands.clear();
    ticks(3);
    EXPECT_TRUE(commands.isEmpty());

    // The fault cleared, Find in the settings window brings it back.
    peer.instrument().faults().clear();
    MonitorHost host(monitor);
    setCommSettingsHost(&host);
    CommSettingsLogic settingsWindow;
    settingsWindow.beginLoad();
    settingsWindow.endLoad();
    EXPECT_EQ(host.stops, 1);
    view.processes.clear();
    const CommSettingsLogic::FindResult found = settingsWindow.find();
    EXPECT_TRUE(found.online);
    EXPECT_TRUE(found.reply.startsWith(QStringLiteral("DCX")));
    EXPECT_EQ(view.processes.size(), 100);
    settingsWindow.unload();
    EXPECT_EQ(host.resumes, 1);
    setCommSettingsHost(nullptr);
    commands.clear();
    tick();
    EXPECT_TRUE(commands.contains(QStringLiteral("V")));
    EXPECT_TRUE(commands.contains(QStringLiteral("K1")));
    EXPECT_EQ(dialogs.texts().size(), 1);
}

} // namespace
