// The chart wrapper on a real QCustomPlot (offscreen): what the plot shows,
// one replot per tick, hidden charts catching up, image and data export.
#include "runlog/cgraph.h"
#include "runlog/livegraphs.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const std::array<const char*, 4> kFiles{"AVG_DEP.OC2", "DEV_DEP.OC2", "PWR_DEP.OC2", "CH_DEP.OC2"};

// Four plots stacked in one window, as the main window holds them, with the
// rate chart the only one visible.
struct Window {
    QWidget top;
    std::array<QCustomPlot*, 4> plots{};
    std::array<std::unique_ptr<cGraph>, 4> graphs;
    std::array<int, 4> replots{};
    std::unique_ptr<LiveGraphs> live;

    Window()
    {
        auto* layout = new QVBoxLayout(&top);
        for (int g = 0; g < 4; ++g) {
            plots[size_t(g)] = new QCustomPlot(&top);
            layout->addWidget(plots[size_t(g)]);
            plots[size_t(g)]->setVisible(g == 0);
            graphs[size_t(g)] = std::make_unique<cGraph>(plots[size_t(g)], DefaultChartConfig(QLatin1String(kFiles[size_t(g)])));
            graphs[size_t(g)]->setCfg_Filename(QStringLiteral("/nonexistent/") + QLatin1String(kFiles[size_t(g)]));
            QObject::connect(plots[size_t(g)], &QCustomPlot::afterReplot, &top, [this, g] { ++replots[size_t(g)]; });
        }
        top.resize(640, 900);
        top.show();
        std::array<ChartModel*, 4> models{};
        for (int g = 0; g < 4; ++g)
            models[size_t(g)] = graphs[size_t(g)].get();
        live = std::make_unique<LiveGraphs>(models);
    }
};

QColor penColour(QCustomPlot* p, int s)
{
    return p->graph(s)->pen().color();
}

} // namespace

TEST(cGraph, PlotShowsTheChartSettings)
{
    QCustomPlot plot;
    cGraph g(&plot, DefaultChartConfig(QStringLiteral("CH_DEP.OC2")));
    ASSERT_EQ(plot.graphCount(), 4);
    EXPECT_EQ(penColour(&plot, 0), QColor(0, 255, 0));
    EXPECT_EQ(penColour(&plot, 1), QColor(255, 255, 0));
    EXPECT_EQ(penColour(&plot, 2), QColor(0, 0, 255));
    EXPECT_EQ(penColour(&plot, 3), QColor(255, 0, 0));
    EXPECT_EQ(plot.graph(3)->name(), QStringLiteral("Sensor 4"));

    g.setXWide(300);
    g.setXMin(100);
    EXPECT_DOUBLE_EQ(plot.xAxis->range().lower, 100.0);
    EXPECT_DOUBLE_EQ(plot.xAxis->range().upper, 400.0);
    g.setYMin(-5);
    g.setYMax(25);
    EXPECT_DOUBLE_EQ(plot.yAxis->range().lower, -5.0);
    EXPECT_DOUBLE_EQ(plot.yAxis->range().upper, 25.0);

    g.setYDiv(0);
    auto yTicker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(plot.yAxis->ticker());
    ASSERT_TRUE(yTicker);
    EXPECT_DOUBLE_EQ(yTicker->tickStep(), 1.0);
    g.setXDiv(20);
    auto xTicker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(plot.xAxis->ticker());
    ASSERT_TRUE(xTicker);
    EXPECT_DOUBLE_EQ(xTicker->tickStep(), 20.0);

    g.setXGrid_Enable(false);
    EXPECT_FALSE(plot.xAxis->grid()->visible());
    EXPECT_TRUE(plot.yAxis->grid()->visible());
    g.setXGrid_Enable(true);
    EXPECT_TRUE(plot.xAxis->grid()->visible());
}

TEST(cGraph, SaveKeepsTheDisplayedWindow)
{
    QTemporaryDir dir;
    Window w;
    cGraph& g = *w.graphs[0];
    g.setCfg_Filename(dir.filePath(QStringLiteral("AVG_DEP.OC2")));
    g.setXWide(300);
    g.setXMin(75);
    w.replots[0] = 0;
    ASSERT_TRUE(g.Cfg_Save());
    EXPECT_EQ(w.replots[0], 1);
    EXPECT_DOUBLE_EQ(w.plots[0]->xAxis->range().lower, 75.0);
    EXPECT_DOUBLE_EQ(w.plots[0]->xAxis->range().upper, 375.0);
    auto saved = LoadChartConfig(g.Cfg_Filename(), ChartConfig{});
    ASSERT_TRUE(saved);
    EXPECT_DOUBLE_EQ(saved->xAxis.min, 0.0);
    EXPECT_DOUBLE_EQ(saved->xAxis.max, 300.0);
}

TEST(cGraph, OneReplotPerTickOnTheVisibleChartHiddenOnesCatchUp)
{
    Window w;
    ReadingsRecord r;
    r.OutPower = {50, -1, 50, 50};
    w.live->InitGraph(r, 1000.0, 1000.0);
    // 600 ticks of 0.5 s: scrolling, dropping points and a ring wrap included.
    for (int i = 1; i <= 600; ++i) {
        r.OutRate = {1.0 * i, 2, 3, 4};
        r.SensorRate = {5, 6, 7, 8};
        w.replots = {};
        w.live->UpdateGraph(r, 1000.0 + 0.5 * i, 1000.0);
        w.live->AdvancePointIndex();
        if (i >= 2) {
            ASSERT_EQ(w.replots[0], 1) << "tick " << i;
            ASSERT_EQ(w.replots[1] + w.replots[2] + w.replots[3], 0) << "tick " << i;
        }
    }
    const int n = w.graphs[0]->pointCount();
    ASSERT_GT(n, 100);
    EXPECT_EQ(w.plots[0]->graph(0)->dataCount(), n);
    // The unused output 2 is a gap on the plot.
    EXPECT_TRUE(std::isnan(w.plots[0]->graph(1)->data()->at(0)->value));
    EXPECT_DOUBLE_EQ(w.plots[0]->graph(2)->data()->at(0)->value, 3.0);

    // Showing the sensor chart draws it with everything it was fed.
    w.plots[0]->hide();
    w.plots[3]->show();
    QCoreApplication::processEvents();
    EXPECT_GE(w.replots[3], 1);
    EXPECT_EQ(w.plots[3]->graph(1)->dataCount(), n);
    EXPECT_FALSE(std::isnan(w.plots[3]->graph(1)->data()->at(0)->value));
    EXPECT_DOUBLE_EQ(w.plots[3]->xAxis->range().lower, w.graphs[0]->xAxisMin());
}

TEST(cGraph, RightClickSavesImageAndCopiesData)
{
    QTemporaryDir dir;
    Window w;
    cGraph& g = *w.graphs[0];
    QMenu menu;
    g.populateContextMenu(menu);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("Save Image..."));
    EXPECT_EQ(menu.actions()[1]->text(), QStringLiteral("Copy Data"));

    g.setXWide(100);
    g.setXMin(0);
    g.appendPoint(ChartPoint{1.5, {1, ChartModel::holeValue(), 3, 4}, {1, 2, 3, 4}});
    g.appendPoint(ChartPoint{2.0, {10, 2, 3, 4}, {12.5, 2, 3, 4}});
    g.drawNewPoints();
    menu.actions()[1]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Time (s),Output 1,Output 2,Output 3,Output 4\r\n"
                             "1.5,1.00,,3.00,4.00\r\n"
                             "2.0,12.50,2.00,3.00,4.00\r\n"));

    ScriptedDialogs d;
    ScopedDialogs scope(d);
    const QString png = dir.filePath(QStringLiteral("rate.png"));
    d.answerSave(png);
    menu.actions()[0]->trigger();
    ASSERT_EQ(d.fileRequests.size(), 1);
    EXPECT_EQ(d.fileRequests[0].fileName, QStringLiteral("AVG_DEP.png"));
    EXPECT_EQ(d.fileRequests[0].defaultExt, QStringLiteral("png"));
    QImage img(png);
    ASSERT_FALSE(img.isNull());
    EXPECT_GT(img.width(), 100);

    d.answerSave(std::nullopt);
    EXPECT_FALSE(g.SaveImage());
    EXPECT_TRUE(d.messages.isEmpty());

    d.answerSave(dir.filePath(QStringLiteral("no/such/folder/x.png")));
    EXPECT_FALSE(g.SaveImage());
    ASSERT_EQ(d.messages.size(), 1);
    EXPECT_TRUE(d.messages[0].text.contains(QStringLiteral("could not be saved")));
}
