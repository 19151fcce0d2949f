// The graph settings window, driven through its controls by object name.
#include "runlog/cgraph.h"
#include "runlog/frmgraphset.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <gtest/gtest.h>


namespace {

// The sensor chart with its shipped settings file in a folder of its own.
struct Chart {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("CH_DEP.OC2"));
    QCustomPlot plot;
    cGraph g{&plot, DefaultChartConfig(QStringLiteral("CH_DEP.OC2"))};

    Chart()
    {
        QFile::copy(qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/CH_DEP.OC2"), file);
        g.setCfg_Filename(file);
        g.Cfg_Load();
        g.takeSettingsFromChart();
    }
};

template <typename T>
T* child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

} // namespace

TEST(frmGraphSet, OkAppliesAndSavesTheSettings)
{
    Chart chart;
    cGraph& g = chart.g;
    // A run at 200 s: the window shows 125..225.
    g.setXMin(125);

    frmGraphSet f(g);
    child<QSpinBox>(f, "spnSetup_2")->setValue(60);
    child<QSpinBox>(f, "spnSetup_3")->setValue(5);
    child<QSpinBox>(f, "spnSetup_4")->setValue(30);  // above the maximum: taken as entered
    child<QSpinBox>(f, "spnSetup_5")->setValue(20);
    child<QSpinBox>(f, "spnSetup_6")->setValue(0);
    child<QCheckBox>(f, "chkXDiv")->setChecked(false);
    child<QPushButton>(f, "cmdOK")->click();
    EXPECT_EQ(f.result(), QDialog::Accepted);

    // The chart shows the new settings at once.
    EXPECT_DOUBLE_EQ(g.xAxisMin(), 125.0);
    EXPECT_DOUBLE_EQ(g.xAxisMax(), 185.0);
    EXPECT_DOUBLE_EQ(g.YMin(), 30.0);
    EXPECT_DOUBLE_EQ(g.YMax(), 20.0);
    EXPECT_DOUBLE_EQ(g.YDiv(), 1.0);
    EXPECT_FALSE(g.GraphControl()->xAxis->grid()->visible());

    auto saved = LoadChartConfig(chart.file, ChartConfig{});
    ASSERT_TRUE(saved);
    EXPECT_DOUBLE_EQ(saved->xAxis.min, 0.0);
    EXPECT_DOUBLE_EQ(saved->xAxis.max, 60.0);
    EXPECT_DOUBLE_EQ(saved->xAxis.gridSpacing, 5.0);
    EXPECT_FALSE(saved->xAxis.gridVisible);
    EXPECT_DOUBLE_EQ(saved->yAxis.min, 30.0);
    EXPECT_DOUBLE_EQ(saved->yAxis.max, 20.0);
    EXPECT_DOUBLE_EQ(saved->yAxis.gridSpacing, 1.0);
    EXPECT_EQ(saved->series[0].name, QStringLiteral("Sensor 1"));
}
