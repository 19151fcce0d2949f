// The chart wrapper's right-click menu: Save Image through the file dialog and
// Copy Data as comma-separated text of the samples inside the X window.
#include "runlog/cgraph.h"
#include "runlog/chartconfig.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

TEST(cGraph, RightClickSavesImageAndCopiesData)
{
    QTemporaryDir dir;
    QCustomPlot plot;
    plot.resize(400, 300);
    cGraph g(&plot, DefaultChartConfig(QStringLiteral("AVG_DEP.OC2")));
    g.setCfg_Filename(dir.filePath(QStringLiteral("AVG_DEP.OC2")));
    QMenu menu;
    g.populateContextMenu(menu);
    auto* save = menu.findChild<QAction*>(QStringLiteral("mnuSaveImage"));
    auto* copy = menu.findChild<QAction*>(QStringLiteral("mnuCopyData"));
    ASSERT_NE(save, nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("Save Image...")) << "save caption";
    EXPECT_EQ(copy->text(), QStringLiteral("Copy Data")) << "copy caption";

    g.setXWide(100);
    g.setXMin(1);
    g.appendPoint(ChartPoint{0.5, {1, 1, 1, 1}, {1, 1, 1, 1}}); // left of the window
    g.appendPoint(ChartPoint{1.5, {1, ChartModel::holeValue(), 3, 4}, {1, 2, 3, 4}});
    g.appendPoint(ChartPoint{2.0, {10, 2, 3, 4}, {12.5, 2, 3, 4}}); // true value 12.5, drawn at 10
    g.drawNewPoints();
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Time (s),Output 1,Output 2,Output 3,Output 4\r\n"
                             "1.5,1.00,,3.00,4.00\r\n"
                             "2.0,12.50,2.00,3.00,4.00\r\n"));

    ScriptedDialogs d;
    ScopedDialogs scope(d);
    const QString png = dir.filePath(QStringLiteral("rate.png"));
    d.answerSave(png);
    save->trigger();
    ASSERT_EQ(d.fileRequests.size(), 1);
    EXPECT_EQ(d.fileRequests[0].fileName, QStringLiteral("AVG_DEP.png")) << "proposed name";
    EXPECT_EQ(d.fileRequests[0].defaultExt, QStringLiteral("png")) << "default extension";
    EXPECT_FALSE(QImage(png).isNull()) << "saved image";

    d.answerSave(std::nullopt);
    EXPECT_FALSE(g.SaveImage()) << "cancelled";
    EXPECT_TRUE(d.messages.isEmpty()) << "a cancel says nothing";
    d.answerSave(dir.filePath(QStringLiteral("no/such/folder/x.png")));
    EXPECT_FALSE(g.SaveImage()) << "unwritable folder";
    ASSERT_EQ(d.messages.size(), 1);
    EXPECT_TRUE(d.messages[0].text.contains(QStringLiteral("could not be saved"))) << "message";
}

} // namespace
