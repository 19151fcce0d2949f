// The chart wrapper on a real QCustomPlot (offscreen): what the plot shows,
// saving without a visible jump, image and data export.
#include "runlog/cgraph.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <qcustomplot.h>

#include <gtest/gtest.h>

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
    QFile f(g.Cfg_Filename());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[XAxis]\nLabel=Time (s)\nMin=0\nMax=300\n")) << text.constData();

    // Read back as at start-up: XMin 0 and XWide 300.
    ChartModel back(DefaultChartConfig(QStringLiteral("AVG_DEP.OC2")));
    back.setCfg_Filename(g.Cfg_Filename());
    ASSERT_TRUE(back.Cfg_Load());
    back.takeSettingsFromChart();
    EXPECT_DOUBLE_EQ(back.XMin(), 0.0);
    EXPECT_DOUBLE_EQ(back.XWide(), 300.0);

    // A folder that cannot be written: false, the display unchanged.
    g.setCfg_Filename(dir.filePath(QStringLiteral("missing/sub/AVG_DEP.OC2")));
    EXPECT_FALSE(g.Cfg_Save());
    EXPECT_DOUBLE_EQ(w.plots[0]->xAxis->range().lower, 75.0);
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
    g.setXMin(1);
    g.appendPoint(ChartPoint{0.5, {1, 1, 1, 1}, {1, 1, 1, 1}}); // left of the window
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
