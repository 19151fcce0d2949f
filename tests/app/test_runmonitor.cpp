// The update loop and process control against a scripted instrument: the
// connect and process list, the phase rules with graphs and data log, the
// readings display, the slider rule and the link failure branches.
#include "app/buttontable.h"
#include "app/runmonitor.h"
#include "commands/readingsrecord.h"
#include "fakemonitorview.h"
#include "link/commnotifier.h"
#include "link/modcomm.h"
#include "runlog/datalog.h"
#include "scriptedinstrument.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

namespace {

class RunMonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
        SetDefaultParameters();
        Readings() = ReadingsRecord{};
        clock.setTimeOfDay(10 * 3600);
        inst.clock = &clock;
        Comm_UseInProcessPeer(&inst);
        view.monitor = &monitor;
    }
    void TearDown() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
    }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            clock.advance(0.5);
            monitor.tmrUpdate_Timer();
        }
    }
    // Connects and lets the first selection go back to the instrument.
    void connectStopped()
    {
        tick(2);
        inst.commands.clear();
    }
    void enableLog()
    {
        ASSERT_TRUE(dir.isValid());
        Config().LogFileName = dir.filePath(QStringLiteral("run.txt"));
        Config().LogType = Config().LogInterval = 1;
    }
    QString logText() const { return QString::fromLatin1(readFile(Config().LogFileName)); }
    int logCount(const char* what) const { return int(logText().count(QLatin1String(what))); }

    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    ScriptedInstrument inst;
    FakeMonitorView view;
    CountingHooks hooks;
    RunMonitor monitor{view, hooks};
    QTemporaryDir dir;
};

// An instrument gone quiet while the list is refilled (the process window
// closing after a download, say): three timeouts, not a hundred.
TEST_F(RunMonitorTest, ProcessListStopsAskingAfterThreeTimeoutsInARow)
{
    connectStopped();
    inst.silent = true;
    monitor.LoadProcesses();
    EXPECT_EQ(inst.commands.mid(0, 3), (QStringList{"C1? 1", "C2? 1", "C3? 1"}));
    EXPECT_EQ(inst.commands.count(QStringLiteral("C4? 1")), 0);
    ASSERT_EQ(view.processes.size(), 100);
    EXPECT_EQ(view.processes[0], "1. Process 1") << "processes[0]";
    EXPECT_EQ(view.processes[99], "100. Process 100") << "processes[99]";
}

TEST_F(RunMonitorTest, FirstTickConnectsFillsTheProcessListAndSendsTheRunningProcessBack)
{
    inst.process = 2;
    inst.layers[2] = 4;
    inst.names[1] = QStringLiteral("Al Mirror");
    inst.refusedNames.insert(3);
    tick();

    EXPECT_TRUE(Comm_Online());
    EXPECT_TRUE(view.onlineFrame);
    ASSERT_EQ(view.processes.size(), 100);
    EXPECT_EQ(view.processes.mid(0, 3),
              (QStringList{"1. Al Mirror       ", "2. Proc 2          ", "3. Process 3"}));
    EXPECT_EQ(view.processes[99], QStringLiteral("100. Proc 100        "));
    EXPECT_EQ(view.selected, 1);
    // The selection queued the select-process code; stopped is shown.
    EXPECT_EQ(monitor.PendingCode(), OperateCode::SelectProcess) << "PendingCode";
    EXPECT_EQ(monitor.CurrentPhase(), 0) << "CurrentPhase";
    EXPECT_EQ(view.phase, QString("Stopped")) << "phase";
    EXPECT_EQ(inst.commands.mid(inst.commands.size() - 4), (QStringList{"V", "V", "K2", "K1"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // The list read names only: no layers known yet.
    EXPECT_EQ(view.layerTotal, QString("0")) << "layerTotal";
    EXPECT_EQ(view.colourChanges, 4) << "colourChanges";

    // The layer count arrives with the selection; the row colours follow it once.
    inst.commands.clear();
    tick();
    const QStringList selection{"T 2", "C2? 1", "C2? 2", "C2? 3", "C2? 4"};
    EXPECT_EQ(inst.operateCommands(), selection);
    EXPECT_EQ(monitor.PendingCode(), OperateCode::None) << "PendingCode";
    EXPECT_EQ(view.layerTotal, QString("4")) << "layerTotal";
    EXPECT_EQ(view.colourChanges, 8) << "colourChanges";
    tick();
    EXPECT_EQ(view.colourChanges, 8);
    EXPECT_EQ(inst.operateCommands(), selection);
}

TEST_F(RunMonitorTest, PhaseChangesResetGraphsAndWriteTheLogAsARunGoes)
{
    enableLog();
    connectStopped();
    EXPECT_EQ(hooks.inits, 0);
    // Reaching Stopped, even from start-up, ends a log section.
    EXPECT_TRUE(logText().startsWith(QStringLiteral("\r\nEnd:     Date: ")));
    EXPECT_EQ(logCount("Start:"), 0);
    const double start = clock.secondsSinceMidnight();

    // 0 -> 6: a run begins.
    inst.phase = 6;
    tick();
    EXPECT_DOUBLE_EQ(monitor.RunStartTime(), start + 0.5);
    // The end line is overwritten.
    EXPECT_EQ(hooks.inits, 1) << "inits";
    EXPECT_EQ(logCount("Start:"), 1) << "Start:";
    EXPECT_EQ(logCount("End:"), 0) << "End:";
    EXPECT_EQ(hooks.samples, 1) << "samples";
    EXPECT_EQ(hooks.advances, 1) << "advances";
    tick(2);
    EXPECT_EQ(hooks.samples, 3);

    // 6 -> 13: graphs and start time again, no new section.
    inst.phase = 13;
    tick();
    EXPECT_EQ(view.buttons, ButtonsForPhase(13, OperateCode::None));
    EXPECT_DOUBLE_EQ(monitor.RunStartTime(), start + 2.0);
    EXPECT_EQ(hooks.inits, 2) << "inits";
    EXPECT_EQ(logCount("Start:"), 1) << "Start:";
    const int lines = int(logText().count(QLatin1String("\r\n")));
    tick(2);
    EXPECT_GT(logText().count(QLatin1String("\r\n")), lines);

    // 13 -> 0: the end line, no sample.
    inst.phase = 0;
    const int samples = hooks.samples;
    tick();
    EXPECT_EQ(logCount("End:"), 1) << "End:";
    EXPECT_EQ(hooks.samples, samples) << "samples";
    EXPECT_EQ(hooks.inits, 2) << "inits";
    tick();
    EXPECT_EQ(logCount("End:"), 1);
    EXPECT_EQ(view.phaseHistory, (QStringList{"Stopped", "PreCondition", "Deposit", "Stopped"}));
}

TEST_F(RunMonitorTest, SlidersFollowThePowerUnlessFocusedAndSendOnlyAChange)
{
    inst.outputs = QStringLiteral("0 1 0 0 10.4 2 0 0 45.6 0 0 0 -1 0 0 0 -1");
    connectStopped();
    // Sliders are hidden while stopped: they keep their values.
    tick();
    EXPECT_EQ(view.slider, (std::array<int, 4>{0, 0, 0, 0}));

    // Shown with the manual power phase and moved by the same refresh, which
    // queues a power code that sends nothing: the slider equals the power shown.
    inst.phase = 26;
    tick();
    EXPECT_TRUE(view.slidersShown);
    EXPECT_EQ(view.slider, (std::array<int, 4>{10, 46, 0, 0}));
    EXPECT_EQ(monitor.PendingCode(), OperateCode::ManualPower1 + 1);
    inst.commands.clear();
    tick(2);
    EXPECT_TRUE(inst.operateCommands().isEmpty())
        << inst.operateCommands().join(QLatin1Char('|')).toStdString();

    // The operator holds slider 2 at 50: it stays, and the change is sent once.
    view.sliderFocus[1] = true;
    view.slider[1] = 50;
    monitor.sldManPwr_Change(1);
    tick();
    EXPECT_EQ(inst.operateCommands(), QStringList{"S2 500"});
    EXPECT_EQ(view.slider[1], 50);
    tick();
    EXPECT_EQ(inst.operateCommands(), QStringList{"S2 500"});

    // Queued at the power shown: nothing goes out.
    view.sliderFocus[1] = false;
    tick();
    inst.commands.clear();
    view.slider[1] = 46;
    monitor.sldManPwr_Change(1);
    tick();
    EXPECT_TRUE(inst.operateCommands().isEmpty());
}

TEST_F(RunMonitorTest, TheTimeoutBranchReconnectsAndASilentInstrumentBringsTheSettingsWindow)
{
    QSignalSpy settings(&Comm_Notifier(), &CommNotifier::showSettingsRequested);
    QSignalSpy caption(&Comm_Notifier(), &CommNotifier::captionChanged);
    connectStopped();

    // One reply lost: the next tick reconnects and goes on.
    inst.silent = true;
    tick();
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Timeout);
    EXPECT_EQ(inst.commands, QStringList{"V"});
    inst.silent = false;
    inst.commands.clear();
    tick();
    EXPECT_EQ(inst.commands.value(0), QStringLiteral("@"));
    EXPECT_EQ(inst.commands.count(QStringLiteral("C1? 1")), 1); // the list is reloaded
    EXPECT_EQ(inst.commands.mid(inst.commands.size() - 3), (QStringList{"V", "K2", "K1"}));

    // It stays silent: the reconnect fails with the settings window and the
    // message, and no later tick sends anything.
    inst.silent = true;
    tick(2);
    EXPECT_FALSE(Comm_Online());
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(dialogs.texts(), QStringList{"Instrument not found."});
    EXPECT_EQ(caption.last().at(0).toString(), QStringLiteral("DCX700 Comm - [Off Line]"));
    inst.commands.clear();
    tick(2);
    EXPECT_TRUE(inst.commands.isEmpty());
}

// The button layout per phase, written out row by row from the table the
// window follows: Next, Man Layer, Start Layer, Stop Layer, Start, Abort
// (V/H/- for unchanged), list enabled, Auto -> Manual, Manual -> Auto, sliders.
struct LayoutRow {
    qint16 phase;
    const char* buttons;
    bool list, autoMan, manAuto, sliders;
};

Show showOf(char c)
{
    return c == 'V' ? Show::Visible : c == 'H' ? Show::Hidden : Show::Unchanged;
}

TEST(ButtonTable, EveryPhaseGetsItsRowAndAPendingManualSwapsTheButtons)
{
    const LayoutRow rows[] = {
        {0, "VHVHVH", true, true, false, false},    {3, "HVHVHV", false, true, false, false},
        {5, "HHHVHV", false, true, false, false},   {22, "HHHVHV", false, true, false, false},
        {25, "VHVHHV", false, true, false, false},  {26, "HHHVHV", false, false, true, true},
        {24, "HHHVHV", false, false, false, false}, {23, "------", false, true, false, false},
        {1, "------", false, true, false, false},   {2, "------", false, true, false, false},
        {4, "------", false, true, false, false},   {-1, "------", false, true, false, false},
        {27, "------", false, true, false, false},
    };
    for (const LayoutRow& r : rows) {
        const ButtonLayout l = ButtonsForPhase(r.phase, OperateCode::None);
        const Show got[6] = {l.nextLayer, l.startManLayer, l.startLayer, l.stopLayer, l.start, l.abort};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(got[i], showOf(r.buttons[i])) << "phase " << r.phase << " button " << i;
        EXPECT_EQ(l.processListEnabled, r.list) << r.phase;
        EXPECT_EQ(l.autoMan, r.autoMan) << r.phase;
        EXPECT_EQ(l.manAuto, r.manAuto) << r.phase;
        EXPECT_EQ(l.sliders, r.sliders) << r.phase;
    }
    // Auto -> Manual queued: the swap shows only in the stopped states.
    for (qint16 p : {0, 3, 25}) {
        const ButtonLayout l = ButtonsForPhase(p, OperateCode::AutoToManual);
        EXPECT_FALSE(l.autoMan) << p;
        EXPECT_TRUE(l.manAuto) << p;
    }
    for (qint16 p : {13, 26, 24, 23})
        EXPECT_EQ(ButtonsForPhase(p, OperateCode::AutoToManual), ButtonsForPhase(p, OperateCode::None)) << p;
    EXPECT_EQ(StartLayerCode(0), OperateCode::StartProcess) << "StartLayerCode(0)";
    EXPECT_EQ(StartLayerCode(25), OperateCode::StartManLayer) << "StartLayerCode(25)";
    EXPECT_EQ(StartLayerCode(-1), OperateCode::StartManLayer) << "StartLayerCode(-1)";
}

// Each control queues its code (start codes reset the graphs at once) and the
// next tick sends it, once.
TEST_F(RunMonitorTest, ControlsQueueTheirCodesAndTheNextTickSendsThem)
{
    connectStopped();
    view.slider = {12, 0, 7, 0};
    using Handler = void (RunMonitor::*)();
    const std::tuple<Handler, qint16, QStringList> table[] = {
        {&RunMonitor::cmdStart_Click, 0, {"U 0"}},
        {&RunMonitor::cmdAbort_Click, 1, {"U 1"}},
        {&RunMonitor::cmdStartManLayer_Click, 2, {"U 2"}},
        {&RunMonitor::cmdStopLayer_Click, 3, {"U 3"}},
        {&RunMonitor::cmdNextLayer_Click, 4, {"U 4"}},
        {&RunMonitor::cmdZero_Click, 32, {"U 32"}},
        {&RunMonitor::cmdManAuto_Click, 90, {"S0"}},
        {&RunMonitor::cmdAutoMan_Click, 95, {"S1 120", "S2 0", "S3 70", "S4 0"}},
        {&RunMonitor::cboProcess_Click, 35, {"T 1", "C1? 1", "C1? 2", "C1? 3", "C1? 4"}},
    };
    for (const auto& [handler, code, sent] : table) {
        const int inits = hooks.inits;
        inst.commands.clear();
        (monitor.*handler)();
        EXPECT_EQ(monitor.PendingCode(), code);
        EXPECT_EQ(hooks.inits, inits + (code == 0 || code == 2 ? 1 : 0)) << code;
        EXPECT_TRUE(inst.commands.isEmpty()) << code;
        tick(2);
        EXPECT_EQ(inst.operateCommands(), sent) << code;
    }
    for (int i = 0; i < 4; ++i) {
        monitor.sldManPwr_Change(i);
        EXPECT_EQ(monitor.PendingCode(), 91 + i);
    }
    // Two clicks before one tick: only the last goes out.
    inst.commands.clear();
    monitor.cmdNextLayer_Click();
    monitor.cmdAbort_Click();
    tick();
    EXPECT_EQ(inst.operateCommands(), QStringList{"U 1"});
}

TEST_F(RunMonitorTest, ATickFiringWhileAnotherWaitsSendsNothing)
{
    connectStopped();
    int nested = 0;
    inst.onCommand = [&](const QString& text) {
        // The timer fires while the status query waits for its reply.
        if (text == QLatin1String("V") && nested++ == 0)
            monitor.tmrUpdate_Timer();
    };
    monitor.cmdZero_Click();
    tick();
    EXPECT_EQ(inst.commands, (QStringList{"U 32", "V", "K2", "K1"}));
    EXPECT_EQ(nested, 1);
}

} // namespace
