// The main window's live graphs: built from the settings files in the program
// folder, fed sample by sample as the update tick feeds them, and the graph
// settings window opened from Edit, "&Graph".
#include "app/frmmain.h"
#include "commands/readingsrecord.h"
#include "runlog/cgraphset.h"
#include "runlog/frmgraphset.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/programfolder.h"
#include "tests/common/programfolder_env.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <memory>

namespace {

class MainWindowGraphs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        QStandardPaths::setTestModeEnabled(true);
        previousDir = QDir::currentPath();
        SetProgramFolder(home.path());
        QDir::setCurrent(home.path());
        Config() = AppConfig{};
        Readings() = ReadingsRecord{};
        // Graph times count from the run start; at start-up that is midnight.
        clock.setTimeOfDay(0.0);
        const QString data = qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/");
        for (const char* name : cGraphSet::FileNames)
            QFile::copy(data + QLatin1String(name), file(name));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        SetProgramFolder(dcxTestProgramFolder());
        Config() = AppConfig{};
        Readings() = ReadingsRecord{};
    }
    QString file(const char* name) const { return home.filePath(QLatin1String(name)); }
    void writeFile(const char* name, const QByteArray& text) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    // The tests drive the graphs themselves: no timer ticks in between.
    static void stopTimer(frmMain& w) { w.findChild<QTimer*>(QStringLiteral("tmrUpdate"))->stop(); }
    // One active tick as the update loop runs it.
    static void tick(frmMain& w, FakeClock& clock)
    {
        clock.advanceMs(500);
        w.UpdateGraph();
        w.AdvancePointIndex();
    }

    QTemporaryDir home;
    QString previousDir;
    FakeClock clock;
    ScopedClock scopedClock{clock};
};

} // namespace

TEST_F(MainWindowGraphs, TicksFeedAllFourChartsAndDrawTheVisibleOne)
{
    frmMain w;
    stopTimer(w);
    w.show();
    auto* avg = w.findChild<QCustomPlot*>(QStringLiteral("AverageGraph"));
    auto* ch = w.findChild<QCustomPlot*>(QStringLiteral("ChannelGraph"));
    int avgReplots = 0, chReplots = 0;
    QObject::connect(avg, &QCustomPlot::afterReplot, [&] { ++avgReplots; });
    QObject::connect(ch, &QCustomPlot::afterReplot, [&] { ++chReplots; });

    ReadingsRecord& r = Readings();
    r.OutPower = {40, 55, -1, 70};
    r.SensorRate = {2, 2.5, 0, 0};
    w.InitGraph();
    tick(w, clock);
    EXPECT_EQ(avg->graph(0)->dataCount(), 0);
    for (int i = 2; i <= 300; ++i) {
        r.OutRate = {1.0 + 0.01 * i, 2, 3, 20};
        avgReplots = chReplots = 0;
        tick(w, clock);
        ASSERT_EQ(avgReplots, 1) << "tick " << i;
        ASSERT_EQ(chReplots, 0) << "tick " << i;
    }
    // 299 samples reach the plot, t = 0.5 .. 149.5, and its axis scrolls with
    // them (the scrolling, clamping and gap rules: test_livegraphs).
    ASSERT_EQ(avg->graph(0)->dataCount(), 299);
    EXPECT_DOUBLE_EQ(avg->graph(0)->data()->at(298)->key, 149.5);
    EXPECT_DOUBLE_EQ(avg->xAxis->range().upper, 150.0);

    // Switching the view shows the sensor chart with the same points.
    w.setDisplay(3);
    QApplication::processEvents();
    EXPECT_GE(chReplots, 1);
    EXPECT_EQ(ch->graph(1)->dataCount(), 299);
    EXPECT_DOUBLE_EQ(ch->graph(1)->data()->at(0)->value, 2.5);
    EXPECT_FALSE(std::isnan(ch->graph(2)->data()->at(0)->value));
}
