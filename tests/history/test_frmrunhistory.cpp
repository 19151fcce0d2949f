// The Run History window offscreen, driven by its controls' names: the list
// and its filter, a run's charts, an overlay in the legend, the CSV export
// and a confirmed delete, answered through the dialog seam.
#include "history/frmrunhistory.h"
#include "history/runexport.h"
#include "support/dialogs.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

std::vector<RunSample> Ticks(int n, double rate)
{
    std::vector<RunSample> out;
    for (int i = 0; i < n; ++i) {
        RunSample s;
        s.time = QDateTime(QDate(2026, 12, 5), QTime(9, 0)).addMSecs(i * 500);
        s.readings.Phase = 13;
        s.readings.RunLayer = 1;
        s.readings.OutRate = {rate, 0, 0, 0};
        s.readings.OutPower = {40, -1, -1, -1};
        out.push_back(s);
    }
    return out;
}

TEST(RunHistoryWindow, ListsFiltersShowsOverlaysExportsAndDeletesRuns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DCX700 Runs.db"));
    {
        RunArchive archive(path);
        ASSERT_TRUE(archive.open(true));
        for (int i = 0; i < 2; ++i) {
            RunRow row;
            row.start = QDateTime(QDate(2026, 12, 5), QTime(9 + i, 0));
            row.process = 4;
            row.name = QStringLiteral("NiCr");
            const std::optional<qint64> id = archive.beginRun(row, "{}");
            ASSERT_TRUE(id);
            archive.addSamples(*id, Ticks(20, 2.0 + i), 0);
            archive.endRun(*id, row.start.addSecs(10), i == 0 ? RunEnd::Completed : RunEnd::Aborted, 0);
        }
    }
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    frmRunHistory w(path);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* list = w.findChild<QTreeWidget*>(QStringLiteral("lstRuns"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->topLevelItemCount(), 2) << "runs listed";
    EXPECT_EQ(w.shownRun(), 2) << "the newest run shown on opening";

    auto* ended = w.findChild<QComboBox*>(QStringLiteral("cboEnded"));
    ended->setCurrentIndex(ended->findText(QStringLiteral("aborted")));
    w.Refresh();
    ASSERT_EQ(list->topLevelItemCount(), 1) << "filtered by how it ended";
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2")) << "the aborted run";
    ended->setCurrentIndex(0);
    w.Refresh();

    w.ShowRun(1);
    auto* rate = w.findChild<QCustomPlot*>(QStringLiteral("plotRate"));
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->graph(0)->dataCount(), 20) << "points of output 1";
    w.ShowOverlay(2, 0);
    ASSERT_EQ(rate->graphCount(), 8) << "overlay series";
    EXPECT_TRUE(rate->graph(0)->name().startsWith(QStringLiteral("Run 1 NiCr"))) << "base legend";
    EXPECT_TRUE(rate->graph(4)->name().startsWith(QStringLiteral("Run 2 NiCr"))) << "overlay legend";
    EXPECT_EQ(rate->graph(4)->pen().style(), Qt::DashLine) << "overlay line style";

    const QString csv = dir.filePath(QStringLiteral("run1.csv"));
    dialogs.answerSave(csv);
    w.findChild<QPushButton*>(QStringLiteral("cmdExportCsv"))->click();
    EXPECT_EQ(readFile(csv), RunCsv(Ticks(20, 2.0))) << "exported CSV";

    list->clearSelection();
    list->topLevelItem(1)->setSelected(true);
    dialogs.answer(MsgResult::No);
    w.findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
    EXPECT_EQ(list->topLevelItemCount(), 2) << "kept after No";
    list->topLevelItem(1)->setSelected(true);
    dialogs.answer(MsgResult::Yes);
    w.findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
    EXPECT_EQ(list->topLevelItemCount(), 1) << "deleted after Yes";
    EXPECT_TRUE(dialogs.texts().value(0).startsWith(QStringLiteral("Delete run "))) << "confirmation";
}

} // namespace
