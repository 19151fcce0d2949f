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
    // A minimum of 30, above the maximum, is taken as entered.
    for (auto [name, value] : {std::pair("spnSetup_2", 60),
                               {"spnSetup_3", 5},
                               {"spnSetup_4", 30},
                               {"spnSetup_5", 20},
                               {"spnSetup_6", 0}})
        child<QSpinBox>(f, name)->setValue(value);
    child<QCheckBox>(f, "chkXDiv")->setChecked(false);
    child<QPushButton>(f, "cmdOK")->click();
    EXPECT_EQ(f.result(), QDialog::Accepted);

    // The chart shows the new settings at once (whole numbers, exact as doubles).
    EXPECT_EQ(g.xAxisMin(), 125.0) << "xAxisMin";
    EXPECT_EQ(g.xAxisMax(), 185.0) << "xAxisMax";
    EXPECT_EQ(g.YMin(), 30.0) << "YMin";
    EXPECT_EQ(g.YMax(), 20.0) << "YMax";
    EXPECT_EQ(g.YDiv(), 1.0) << "YDiv";
    EXPECT_FALSE(g.GraphControl()->xAxis->grid()->visible()) << "visible";

    auto saved = LoadChartConfig(chart.file, ChartConfig{});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->xAxis.min, 0.0) << "min";
    EXPECT_EQ(saved->xAxis.max, 60.0) << "max";
    EXPECT_EQ(saved->xAxis.gridSpacing, 5.0) << "gridSpacing";
    EXPECT_FALSE(saved->xAxis.gridVisible) << "gridVisible";
    EXPECT_EQ(saved->yAxis.min, 30.0) << "min";
    EXPECT_EQ(saved->yAxis.max, 20.0) << "max";
    EXPECT_EQ(saved->yAxis.gridSpacing, 1.0) << "gridSpacing";
    EXPECT_EQ(saved->series[0].name, QString("Sensor 1")) << "series[0].name";
}
