// The main window running against the simulated instrument: the readings and
// buttons of a run, the operate buttons and sliders by name, and windows
// closed inside a tick's reply wait.
#include "app/frmmain.h"
#include "app/frmsensors.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "support/waitguard.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "tests/app/programhome.h"

namespace {

class MainWindowRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Config() = AppConfig{};
        Comm_ResetLink();
        SetDefaultParameters();
        Readings() = ReadingsRecord{};
        peer.instrument().attachClock(&clock);
        QObject::connect(&peer.instrument(), &SimInstrument::commandHandled, &peer,
                         [this](const QByteArray& text, char) { commands << QString::fromLatin1(text); });
        Comm_UseInProcessPeer(&peer);
        w = std::make_unique<frmMain>();
        timer()->stop();
    }
    void TearDown() override
    {
        w.reset();
        Comm_ResetLink();
        Config() = AppConfig{};
    }
    template <class T>
    T* child(const char* name) const
    {
        T* c = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QTimer* timer() const { return child<QTimer>("tmrUpdate"); }
    QString text(const char* name) const { return child<QLineEdit>(name)->text(); }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisibleTo(w.get()); }
    // The operate buttons shown, in the window's order.
    QString buttonsShown() const
    {
        QStringList out;
        for (const char* b : {"cmdNextLayer", "cmdStartManLayer", "cmdStartLayer", "cmdStopLayer", "cmdStart",
                              "cmdAbort", "cmdAutoMan", "cmdManAuto"})
            if (shown(b))
                out << QLatin1String(b);
        return out.join(QLatin1Char(' '));
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            clock.advance(0.5);
            w->tmrUpdate_Timer();
        }
    }
    bool runUntil(const QString& phase, int limit = 2000)
    {
        for (int i = 0; i < limit && text("txtPhase") != phase; ++i)
            tick();
        return text("txtPhase") == phase;
    }
    QStringList operate() const
    {
        QStringList out;
        for (const QString& c : commands)
            if (c != QLatin1String("V") && c != QLatin1String("K1") && c != QLatin1String("K2"))
                out << c;
        return out;
    }

    ProgramHome home;
    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    SimPeer peer;
    QStringList commands;
    std::unique_ptr<frmMain> w;
};

TEST_F(MainWindowRun, ARunIsShownAndSteeredFromTheButtons)
{
    auto* list = child<QComboBox>("cboProcess");
    EXPECT_FALSE(shown("fraOnLine")) << "fraOnLine";
    EXPECT_FALSE(list->isEnabled()) << "list.isEnabled";
    tick();
    EXPECT_TRUE(w->windowTitle().startsWith(QStringLiteral("DCX700 Comm - ["))) << "caption";
    EXPECT_TRUE(shown("fraOnLine")) << "fraOnLine";
    ASSERT_EQ(list->count(), 100);
    EXPECT_TRUE(list->itemText(0).startsWith(QStringLiteral("1. Al Mirror")));
    EXPECT_EQ(list->currentIndex(), 0) << "currentIndex";
    EXPECT_EQ(text("txtPhase"), QString("Stopped")) << "txtPhase";
    EXPECT_TRUE(list->isEnabled()) << "list.isEnabled";
    EXPECT_EQ(buttonsShown(), "cmdNextLayer cmdStartLayer cmdStart cmdAutoMan");
    tick();
    EXPECT_EQ(text("txtLayerTotal"), QStringLiteral("2"));

    // Choosing the second process sends it; back to the first.
    commands.clear();
    list->setCurrentIndex(1);
    tick();
    EXPECT_EQ(operate().value(0), QStringLiteral("T 2"));
    list->setCurrentIndex(0);
    tick();

    commands.clear();
    child<QPushButton>("cmdStart")->click();
    ASSERT_TRUE(runUntil(QStringLiteral("Deposit")));
    EXPECT_EQ(operate(), QStringList{"U 0"});
    EXPECT_EQ(buttonsShown(), QString("cmdStopLayer cmdAbort cmdAutoMan")) << "buttonsShown";
    EXPECT_FALSE(list->isEnabled()) << "list.isEnabled";
    EXPECT_EQ(text("txtLayerNum"), QString("1")) << "txtLayerNum";
    EXPECT_NE(text("txtTime"), QStringLiteral("0:00:00"));
    // The depositing output shows a power; its row carries its colour.
    bool powered = false;
    for (int i = 0; i < 4; ++i)
        powered = powered || child<QLineEdit>(QStringLiteral("txtOutPower_%1").arg(i).toLatin1().constData())
                                     ->text()
                                     .toDouble() > 0;
    EXPECT_TRUE(powered);
    // The ticks feed the chart on show (the feeding rules: runlog/test_livegraphs).
    tick(2);
    EXPECT_GT(child<QCustomPlot>("AverageGraph")->graph(0)->dataCount(), 0);
    EXPECT_TRUE(child<QLabel>("LblOutput_0")->styleSheet().contains(QStringLiteral("#00ff00")) ||
                child<QLabel>("LblOutput_1")->styleSheet().contains(QStringLiteral("#ffff00")));

    // Stop the layer, then abort.
    commands.clear();
    child<QPushButton>("cmdStopLayer")->click();
    ASSERT_TRUE(runUntil(QStringLiteral("Stop Layer")));
    EXPECT_EQ(buttonsShown(), "cmdNextLayer cmdStartLayer cmdAbort cmdAutoMan");
    child<QPushButton>("cmdAbort")->click();
    ASSERT_TRUE(runUntil(QStringLiteral("Stopped")));
    EXPECT_EQ(operate(), (QStringList{"U 3", "U 1"}));

    // Manual power: the button swaps, the sliders appear and a moved one is sent.
    commands.clear();
    child<QPushButton>("cmdAutoMan")->click();
    tick();
    EXPECT_TRUE(buttonsShown().endsWith(QStringLiteral("cmdManAuto")));
    ASSERT_TRUE(runUntil(QStringLiteral("Manual Power")));
    EXPECT_TRUE(shown("sldManPwr_0")) << "sldManPwr_0";
    EXPECT_TRUE(shown("sldManPwr_3")) << "sldManPwr_3";
    EXPECT_EQ(operate().mid(0, 4), (QStringList{"S1 0", "S2 0", "S3 0", "S4 0"}));
    commands.clear();
    child<QSlider>("sldManPwr_0")->setValue(30);
    tick();
    child<QPushButton>("cmdManAuto")->click();
    ASSERT_TRUE(runUntil(QStringLiteral("Stopped")));
    EXPECT_EQ(operate(), (QStringList{"S1 300", "S0"}));
    EXPECT_FALSE(shown("sldManPwr_0")) << "sldManPwr_0";
    EXPECT_TRUE(shown("cmdAutoMan")) << "cmdAutoMan";

    commands.clear();
    child<QPushButton>("cmdZero")->click();
    tick();
    EXPECT_EQ(operate(), QStringList{"U 32"});
}

// Windows closed by code while a tick waits for a reply that never comes:
// the sensor window is deleted and the main window closes only after the
// tick has returned.
TEST_F(MainWindowRun, ClosingWindowsInsideATicksWaitTakesEffectAfterIt)
{
    tick(2);
    w->show();
    child<QAction>("mnuViewSensorRdg")->trigger();
    QPointer<frmSensors> sensors = w->findChild<frmSensors*>();
    ASSERT_FALSE(sensors.isNull());

    peer.instrument().faults().setDropRate(1.0);
    bool closedInWait = false;
    QTimer time;
    QObject::connect(&time, &QTimer::timeout, &clock, [&] {
        if (!closedInWait && WaitActive()) {
            closedInWait = true;
            sensors->close();
            w->close();
            // As a message box's loop inside the wait would.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        clock.advanceMs(100);
    });
    time.start(0);
    tick();
    time.stop();
    EXPECT_TRUE(closedInWait);
    EXPECT_FALSE(sensors.isNull());
    EXPECT_TRUE(w->isVisible());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sensors.isNull());
    EXPECT_FALSE(w->isVisible());
}

} // namespace
