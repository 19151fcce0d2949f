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

#include <memory>

namespace {

const std::array<const char*, 4> kFiles{"AVG_DEP.OC2", "DEV_DEP.OC2", "PWR_DEP.OC2", "CH_DEP.OC2"};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The four charts with the shipped settings files in a program folder of
// their own.
struct Charts {
    QTemporaryDir dir;
    std::array<std::unique_ptr<QCustomPlot>, 4> plots;
    std::array<std::unique_ptr<cGraph>, 4> graphs;

    Charts()
    {
        const QString data = qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/");
        for (int g = 0; g < 4; ++g) {
            const QString name = QLatin1String(kFiles[size_t(g)]);
            QFile::copy(data + name, dir.filePath(name));
            plots[size_t(g)] = std::make_unique<QCustomPlot>();
            graphs[size_t(g)] = std::make_unique<cGraph>(plots[size_t(g)].get(), DefaultChartConfig(name));
            graphs[size_t(g)]->setCfg_Filename(dir.filePath(name));
            graphs[size_t(g)]->Cfg_Load();
            graphs[size_t(g)]->takeSettingsFromChart();
        }
    }
    QByteArray bytes(int g) const { return fileBytes(dir.filePath(QLatin1String(kFiles[size_t(g)]))); }
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
    Charts charts;
    cGraph& g = *charts.graphs[3];
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

    auto saved = LoadChartConfig(charts.dir.filePath(QStringLiteral("CH_DEP.OC2")), ChartConfig{});
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
