// The chart wrapper's settings rules, its settings file and the batch flag,
// without a display.
#include "runlog/chartmodel.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>


namespace {

class CountingChart : public ChartModel {
public:
    using ChartModel::ChartModel;
    int draws = 0;
    unsigned last = 0;
protected:
    void changed(unsigned c) override
    {
        ++draws;
        last = c;
    }
};

void writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

TEST(GraphModel, AxisSettersFollowTheWrapperRules)
{
    CountingChart c;
    c.setXWide(300);
    c.setXMin(100);
    EXPECT_DOUBLE_EQ(c.xAxisMin(), 100.0);
    EXPECT_DOUBLE_EQ(c.xAxisMax(), 400.0);
    // XWide works from the axis minimum as the chart has it.
    c.setXWide(60);
    EXPECT_DOUBLE_EQ(c.xAxisMax(), 160.0);

    c.setYDiv(0);
    EXPECT_DOUBLE_EQ(c.YDiv(), 1.0);
    EXPECT_DOUBLE_EQ(c.chart().yAxis.gridSpacing, 1.0);
    c.setXDiv(0);
    EXPECT_DOUBLE_EQ(c.XDiv(), 1.0);
    c.setYDiv(2.5);
    EXPECT_DOUBLE_EQ(c.YDiv(), 2.5);

    c.setYGrid_Enable(false);
    EXPECT_FALSE(c.chart().yAxis.gridVisible);
    EXPECT_TRUE(c.XGrid_Enable());

    // A minimum above the maximum is kept as entered.
    c.setYMin(50);
    c.setYMax(20);
    EXPECT_DOUBLE_EQ(c.yAxisMin(), 50.0);
    EXPECT_DOUBLE_EQ(c.yAxisMax(), 20.0);
}

TEST(GraphModel, LoadFindsTheFileIgnoringCase)
{
    QTemporaryDir dir;
    writeText(dir.filePath(QStringLiteral("pwr_dep.oc2")),
              "[Chart]\nTitle=Lower case\n[YAxis]\nMax=42\n");
    CountingChart c(DefaultChartConfig(QStringLiteral("PWR_DEP.OC2")));
    c.setCfg_Filename(dir.filePath(QStringLiteral("PWR_DEP.OC2")));
    ASSERT_TRUE(c.Cfg_Load());
    EXPECT_EQ(c.chart().title, QStringLiteral("Lower case"));
    EXPECT_DOUBLE_EQ(c.yAxisMax(), 42.0);
    // Keys the file leaves out keep the chart's built-in settings.
    EXPECT_EQ(c.chart().series[3].name, QStringLiteral("Output 4"));
    EXPECT_EQ(c.chart().series[3].colour, 0xFF0000u);

    // Saving goes under the name as given; that spelling then wins.
    c.setYMax(55);
    ASSERT_TRUE(c.Cfg_Save());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("PWR_DEP.OC2"))));
    CountingChart d(DefaultChartConfig(QStringLiteral("PWR_DEP.OC2")));
    d.setCfg_Filename(dir.filePath(QStringLiteral("PWR_DEP.OC2")));
    ASSERT_TRUE(d.Cfg_Load());
    EXPECT_DOUBLE_EQ(d.yAxisMax(), 55.0);
}

TEST(GraphModel, MissingOrGarbageFileKeepsTheChart)
{
    QTemporaryDir dir;
    CountingChart c(DefaultChartConfig(QStringLiteral("CH_DEP.OC2")));
    c.setYMax(33);
    const ChartConfig before = c.chart();

    c.setCfg_Filename(dir.filePath(QStringLiteral("CH_DEP.OC2")));
    EXPECT_FALSE(c.Cfg_Load());
    EXPECT_EQ(c.chart(), before);

    writeText(dir.filePath(QStringLiteral("CH_DEP.OC2")), QByteArray("\x00\xff\xfe garbage\nno sections", 23));
    EXPECT_FALSE(c.Cfg_Load());
    EXPECT_EQ(c.chart(), before);

    // A file with bad values: the good keys apply, the bad ones keep the
    // built-in setting.
    writeText(dir.filePath(QStringLiteral("CH_DEP.OC2")),
              "[yaxis]\nMin=abc\nMax=12.5\nGridSpacing=\n[SERIES2]\nColour=#12345\n"
              "Name=Crystal 2\n[Series9]\nName=ignored\n");
    ASSERT_TRUE(c.Cfg_Load());
    EXPECT_DOUBLE_EQ(c.yAxisMin(), 0.0);
    EXPECT_DOUBLE_EQ(c.yAxisMax(), 12.5);
    EXPECT_DOUBLE_EQ(c.YDiv(), 1.0);
    EXPECT_EQ(c.chart().series[1].name, QStringLiteral("Crystal 2"));
    EXPECT_EQ(c.chart().series[1].colour, 0xFFFF00u);
}

TEST(GraphModel, SettingsTextRoundTripsAndShippedFilesMatchTheCharts)
{
    ChartConfig cfg = DefaultChartConfig(QStringLiteral("DEV_DEP.OC2"));
    cfg.title = QStringLiteral("Rate, deviation = \"x\"");
    cfg.yAxis.min = -12.75;
    cfg.series[2].colour = 0x1A2B3C;
    cfg.xAxis.gridVisible = false;
    auto back = ChartConfigFromText(ChartConfigToText(cfg), DefaultChartConfig(QString()));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, cfg);

    const QString data = qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/");
    struct Expect { const char* file; const char* title; const char* series1; };
    for (const Expect& e : {Expect{"AVG_DEP.OC2", "Output Rate", "Output 1"},
                            Expect{"DEV_DEP.OC2", "Output Rate Deviation", "Output 1"},
                            Expect{"PWR_DEP.OC2", "Output Power", "Output 1"},
                            Expect{"CH_DEP.OC2", "Sensor Rate", "Sensor 1"}}) {
        const QString name = QString::fromLatin1(e.file);
        auto shipped = LoadChartConfig(data + name, ChartConfig{});
        ASSERT_TRUE(shipped) << e.file;
        EXPECT_EQ(shipped->title, QLatin1String(e.title));
        EXPECT_EQ(shipped->series[0].name, QLatin1String(e.series1));
        EXPECT_EQ(shipped->series[0].colour, 0x00FF00u);
        EXPECT_EQ(shipped->series[1].colour, 0xFFFF00u);
        EXPECT_EQ(shipped->series[2].colour, 0x0000FFu);
        EXPECT_EQ(shipped->series[3].colour, 0xFF0000u);
        EXPECT_DOUBLE_EQ(shipped->xAxis.min, 0.0);
        // The shipped file and the built-in settings agree.
        EXPECT_EQ(*shipped, DefaultChartConfig(name)) << e.file;
    }
}

TEST(GraphModel, InitEmptiesSeriesReInitResetsWindowBatchDrawsOnce)
{
    CountingChart c;
    c.setCfg_Filename(QStringLiteral("/nonexistent/AVG_DEP.OC2"));
    c.setXWide(120);
    c.setXMin(40);
    for (int i = 0; i < 10; ++i)
        c.appendPoint(ChartPoint{double(i), {1, 2, 3, 4}, {1, 2, 3, 4}});
    c.draws = 0;
    c.Init();
    EXPECT_EQ(c.draws, 1);
    EXPECT_EQ(c.pointCount(), 0);
    EXPECT_DOUBLE_EQ(c.xAxisMin(), 40.0);
    c.ReInit();
    EXPECT_DOUBLE_EQ(c.xAxisMin(), 0.0);
    EXPECT_DOUBLE_EQ(c.xAxisMax(), 120.0);

    for (int i = 0; i < 10; ++i)
        c.appendPoint(ChartPoint{double(i), {1, 2, 3, 4}, {1, 2, 3, 4}});
    c.draws = 0;
    {
        ChartBatch outer(c);
        ChartBatch inner(c);
        c.keepNewest(3);
        c.setYMax(9);
    }
    EXPECT_EQ(c.draws, 1);
    EXPECT_EQ(c.last, unsigned(ChartModel::Data | ChartModel::Axes));
    ASSERT_EQ(c.pointCount(), 3);
    EXPECT_DOUBLE_EQ(c.point(0).x, 7.0);
    EXPECT_DOUBLE_EQ(c.point(2).x, 9.0);
}
