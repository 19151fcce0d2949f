// The chart wrapper's settings file and its text, without a display.
#include "runlog/chartmodel.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    ASSERT_TRUE(writeFile(path, text));
}

} // namespace

TEST(GraphModel, MissingOrGarbageFileKeepsTheChart)
{
    QTemporaryDir dir;
    ChartModel c(DefaultChartConfig(QStringLiteral("CH_DEP.OC2")));
    c.setYMax(33);
    const ChartConfig before = c.chart();

    c.setCfg_Filename(dir.filePath(QStringLiteral("CH_DEP.OC2")));
    EXPECT_FALSE(c.Cfg_Load());
    EXPECT_EQ(c.chart(), before);

    writeText(dir.filePath(QStringLiteral("CH_DEP.OC2")),
              QByteArray("\x00\xff\xfe garbage\nno sections", 23));
    EXPECT_FALSE(c.Cfg_Load());
    EXPECT_EQ(c.chart(), before);

    // A file with bad values: the good keys apply, the bad ones keep the
    // built-in setting.
    writeText(dir.filePath(QStringLiteral("CH_DEP.OC2")),
              "[yaxis]\nMin=abc\nMax=12.5\nGridSpacing=\n[SERIES2]\nColour=#12345\n"
              "Name=Crystal 2\n[Series9]\nName=ignored\n");
    ASSERT_TRUE(c.Cfg_Load());
    EXPECT_EQ(c.yAxisMin(), 0.0) << "yAxisMin";
    EXPECT_EQ(c.yAxisMax(), 12.5) << "yAxisMax";
    EXPECT_EQ(c.YDiv(), 1.0) << "YDiv";
    EXPECT_EQ(c.chart().series[1].name, QString("Crystal 2")) << "series[1].name";
    EXPECT_EQ(c.chart().series[1].colour, 0xFFFF00u) << "series[1].colour";
}

TEST(GraphModel, SettingsTextRoundTripsAndShippedFilesMatchTheCharts)
{
    ChartConfig cfg = DefaultChartConfig(QStringLiteral("DEV_DEP.OC2"));
    cfg.title = QString("Rate, deviation = \"x\"");
    cfg.yAxis.min = -12.75;
    cfg.series[2].colour = 0x1A2B3Cu;
    cfg.xAxis.gridVisible = false;
    auto back = ChartConfigFromText(ChartConfigToText(cfg), DefaultChartConfig(QString()));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, cfg);

    const QString data = qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/");
    for (const char* file : {"AVG_DEP.OC2", "DEV_DEP.OC2", "PWR_DEP.OC2", "CH_DEP.OC2"}) {
        const QString name = QString::fromLatin1(file);
        auto shipped = LoadChartConfig(data + name, ChartConfig{});
        ASSERT_TRUE(shipped) << file;
        // The shipped file and the built-in settings agree.
        EXPECT_EQ(*shipped, DefaultChartConfig(name)) << file;
    }
}
