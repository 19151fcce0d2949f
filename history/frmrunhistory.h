#ifndef DCX_HISTORY_FRMRUNHISTORY_H
#define DCX_HISTORY_FRMRUNHISTORY_H

#include "history/runarchive.h"
#include "history/runcharts.h"

#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QDateEdit;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class cGraphSet;

// View, Run History: the archive's runs in a sortable, filterable list; the
// chosen run's four charts as the live view draws them (the same chart
// settings files), with zoom, pan and a cursor readout; a second run laid
// over it, aligned at run start or at a layer's deposit; export of the
// samples, the charts and the recipe; deleting runs.
class frmRunHistory : public QWidget {
    Q_OBJECT
public:
    explicit frmRunHistory(const QString& archivePath = RunArchivePath(), QWidget* parent = nullptr);
    ~frmRunHistory() override;

    // Re-reads the list with the filter controls' values.
    void Refresh();
    // Shows run id (base) and, when overlay > 0, lays that run over it.
    void ShowRun(qint64 id);
    void ShowOverlay(qint64 overlay, int alignLayer);
    qint64 shownRun() const { return base_.row.id; }
    // Why the archive could not be read; empty when it could.
    QString archiveError() const;

    void cmdExportCsv_Click();
    void cmdExportCharts_Click();
    void cmdReport_Click();
    void cmdDelete_Click();

private:
    struct Loaded {
        RunRow row;
        std::vector<RunSample> samples;
        RunCharts charts;
    };
    void buildControls();
    void drawBase();
    void drawOverlay();
    void lstRuns_SelectionChanged();
    void overlayChanged();
    void showCursor(int chart, QMouseEvent* event);
    std::vector<qint64> selectedRuns() const;
    QString runName(const RunRow& r) const;

    std::unique_ptr<RunArchive> archive_;
    Loaded base_;
    Loaded overlay_;
    double overlayShift_ = 0.0;

    QComboBox* cboProcess = nullptr;
    QCheckBox* chkFrom = nullptr;
    QDateEdit* dtpFrom = nullptr;
    QCheckBox* chkTo = nullptr;
    QDateEdit* dtpTo = nullptr;
    QComboBox* cboEnded = nullptr;
    QTreeWidget* lstRuns = nullptr;
    QComboBox* cboOverlay = nullptr;
    QComboBox* cboAlign = nullptr;
    QTabWidget* tabCharts = nullptr;
    std::array<QCustomPlot*, 4> plots_{};
    std::unique_ptr<cGraphSet> graphs_;
    QLabel* lblCursor = nullptr;
    QLabel* lblArchive = nullptr;
    QPushButton* cmdExportCsv = nullptr;
    QPushButton* cmdExportCharts = nullptr;
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdDelete = nullptr;
};

#endif
