// Healing (AutoReconnect=1): pulled cables and every simulator fault end
// without a word to the operator, and a run goes on across the outage.
#include "app/runmonitor.h"
#include "fakemonitorview.h"
#include "link/modcomm.h"
#include "runlog/phasetext.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "tests/common/simfaultcases.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class FaultHeal : public ::testing::Test {
public:
    void SetUp() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
        Config().AutoReconnect = 1;
        SetDefaultParameters();
        sim.attachClock(&clock);
        Comm_SetTransportOverride(std::make_unique<SimConnection>(sim));
        QObject::connect(&sim, &SimInstrument::commandHandled, &sim, [this](const QByteArray& text, char) {
            commands << QString::fromLatin1(text);
            if (sim.faults().delayMs() > 0)
                QMetaObject::invokeMethod(
                    &sim, [this] { sim.faults().setDelayMs(0); }, Qt::QueuedConnection);
        });
        // Reply waits pass on the fake clock.
        QObject::connect(&time, &QTimer::timeout, &clock, [this] { clock.advanceMs(100); });
        time.start(0);
        view.monitor = &monitor;
        ticks(2);
        ASSERT_TRUE(Comm_Online());
    }
    void TearDown() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
    }

    void ticks(int n = 1)
    {
        for (; n > 0; --n) {
            clock.advance(0.5);
            monitor.tmrUpdate_Timer();
        }
    }
    bool monitoringWorks()
    {
        commands.clear();
        ticks();
        return Comm_GetStatus() == linkstatus::Ok && commands.contains(QStringLiteral("K1"));
    }

    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    QTimer time;
    SimInstrument sim;
    FakeMonitorView view;
    CountingHooks hooks;
    RunMonitor monitor{view, hooks};
    QStringList commands;
};

// The healing column of the fault matrix: each fault, once it stops, is
// gone within two ticks, and no one is asked anything.
TEST_F(FaultHeal, EveryFaultHealsWithinTwoTicks)
{
    for (const SimFaultCase& fault : kSimFaultCases) {
        SCOPED_TRACE(fault.name);
        fault.start(sim);
        ticks();
        sim.faults().clear();
        bool works = false;
        for (int i = 0; i < 2 && !works; ++i)
            works = monitoringWorks();
        EXPECT_TRUE(works) << "status " << Comm_GetStatus();
        EXPECT_FALSE(monitor.healer().lost()) << "healer state";
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
        dialogs.messages.clear();
    }
}

// Five pulls of 3 s during a run: five gap lines, a line a second outside
// them, one log section, the run going on, no dialog.
TEST_F(FaultHeal, RunGoesOnAcrossFiveOutages)
{
    QTemporaryDir dir;
    Config().LogFileName = dir.filePath(QStringLiteral("run.txt"));
    Config().LogType = 1;
    Config().LogInterval = 1;
    Config().LogStart = 0;
    Config().LogEnd = 0;
    monitor.cmdStart_Click();
    ticks(4);
    ASSERT_TRUE(IsActivePhase(monitor.CurrentPhase())) << "phase after start";
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        sim.unplug(3);
        ticks();
        EXPECT_TRUE(monitor.healer().lost()) << "lost after the pull";
        for (int i = 0; i < 30 && monitor.healer().lost(); ++i)
            ticks();
        EXPECT_FALSE(monitor.healer().lost()) << "restored";
        EXPECT_TRUE(IsActivePhase(monitor.CurrentPhase())) << "phase after the outage";
        ticks(6);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(hooks.gaps, 5) << "chart gaps";

    QFile f(Config().LogFileName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    double last = -1;
    for (const QString& line : lines) {
        bool number = false;
        const double t = line.section(QLatin1Char(','), 0, 0).toDouble(&number);
        EXPECT_TRUE(!number || last < 0 || t - last <= 1.01) << "interval before " << line.toStdString();
        // A gap line starts the count again.
        last = number ? t : (line.startsWith(QLatin1String("Link lost ")) ? -1 : last);
    }
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Link lost \\S+, restored \\S+$"))).size(), 5)
        << "gap lines";
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Start:"))).size(), 1) << "log sections";
    EXPECT_FALSE(lines.join(QString()).contains(QLatin1String("End:"))) << "the run did not end";
}

// AutoReconnect=0 keeps the plain rule: a pulled cable ends in the settings
// window and "Instrument not found.", and the loop then rests.
TEST_F(FaultHeal, WithoutHealingALostLinkAsksTheOperator)
{
    Config().AutoReconnect = 0;
    sim.unplug(3);
    ticks(3);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Instrument not found.")}) << "messages";
    EXPECT_FALSE(Comm_Online()) << "online";
    commands.clear();
    ticks(20);
    EXPECT_TRUE(commands.isEmpty()) << "the loop rests";
}

} // namespace
