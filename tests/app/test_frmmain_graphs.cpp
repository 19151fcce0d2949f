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

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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

TEST_F(MainWindowGraphs, StartUpTakesEachChartFromItsFile)
{
    writeFile("AVG_DEP.OC2", "[XAxis]\nMin=0\nMax=240\nGridSpacing=30\n[YAxis]\nMax=12\n");
    QFile::remove(file("DEV_DEP.OC2"));
    QFile::rename(file("PWR_DEP.OC2"), file("pwr_dep.oc2"));
    writeFile("CH_DEP.OC2", "not a chart settings file");

    frmMain w;
    stopTimer(w);
    cGraphSet& g = w.graphs();
    EXPECT_DOUBLE_EQ(g.graph(0).XWide(), 240.0);
    EXPECT_DOUBLE_EQ(g.graph(0).YMax(), 12.0);
    EXPECT_DOUBLE_EQ(g.graph(0).XDiv(), 30.0);
    auto* avg = w.findChild<QCustomPlot*>(QStringLiteral("AverageGraph"));
    ASSERT_NE(avg, nullptr);
    EXPECT_EQ(g.graph(0).GraphControl(), avg);
    EXPECT_DOUBLE_EQ(avg->xAxis->range().upper, 240.0);
    // Missing and unreadable files: built-in settings; the lower-case file is found.
    EXPECT_DOUBLE_EQ(g.graph(1).YMin(), -50.0);
    EXPECT_EQ(g.graph(2).chart().title, QStringLiteral("Output Power"));
    EXPECT_EQ(g.graph(3).chart().series[0].name, QStringLiteral("Sensor 1"));
    EXPECT_EQ(g.graph(3).Cfg_Filename(), file("CH_DEP.OC2"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g.graph(i).pointCount(), 0);
    EXPECT_TRUE(w.findChild<QAction*>(QStringLiteral("mnuEditGraph"))->isEnabled());
}

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

TEST_F(MainWindowGraphs, EditGraphOnTheSensorChartSavesOnlyItsFile)
{
    frmMain w;
    stopTimer(w);
    w.setDisplay(3);
    std::array<QByteArray, 4> before;
    for (int i = 0; i < 4; ++i)
        before[size_t(i)] = fileBytes(file(cGraphSet::FileNames[size_t(i)]));

    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* f = qobject_cast<frmGraphSet*>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        f->findChild<QSpinBox*>(QStringLiteral("spnSetup_5"))->setValue(25);
        f->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        answered = true;
    });
    w.findChild<QAction*>(QStringLiteral("mnuEditGraph"))->trigger();
    ASSERT_TRUE(answered);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fileBytes(file(cGraphSet::FileNames[size_t(i)])), before[size_t(i)]) << i;
    EXPECT_NE(fileBytes(file("CH_DEP.OC2")), before[3]);
    EXPECT_TRUE(fileBytes(file("CH_DEP.OC2")).contains("Max=25\n"));
    EXPECT_DOUBLE_EQ(w.graphs().graph(3).YMax(), 25.0);
    EXPECT_DOUBLE_EQ(w.graphs().graph(0).YMax(), 10.0);
}

TEST_F(MainWindowGraphs, EditDataLogOpensTheLogSettingsModal)
{
    frmMain w;
    stopTimer(w);
    auto* entry = w.findChild<QAction*>(QStringLiteral("mnuEditLog"));
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->isEnabled());
    Config().LogInterval = 1;
    QString opened;
    QTimer::singleShot(0, [&] {
        QWidget* f = QApplication::activeModalWidget();
        ASSERT_NE(f, nullptr);
        opened = f->objectName();
        f->findChild<QWidget*>(QStringLiteral("spnInterval"))->setProperty("value", 9);
        f->findChild<QPushButton*>(QStringLiteral("cmdForm"))->click();
    });
    entry->trigger();
    EXPECT_EQ(opened, QStringLiteral("frmDataLog"));
    EXPECT_EQ(Config().LogInterval, 9);
}
