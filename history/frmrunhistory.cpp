#include "history/frmrunhistory.h"

#include "history/runexport.h"
#include "history/runsnapshot.h"
#include "process/processreport.h"
#include "process/processreportpdf.h"
#include "runlog/cgraphset.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/programfolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>
#include <set>

namespace {

enum Column { ColId, ColStart, ColEnd, ColProcess, ColName, ColLayers, ColEnded, ColGaps, ColSamples };
const char* const kPlotNames[4] = {"plotRate", "plotDeviation", "plotPower", "plotSensorRate"};
const char* const kTabTitles[4] = {"Output Rate", "Output Deviation", "Output Power", "Sensor Rate"};
// "2026-12-05 14:03:07"; the ISO writer is much faster than a format string.
QString listTime(const QDateTime& t)
{
    return t.toString(Qt::ISODate).replace(QLatin1Char('T'), QLatin1Char(' '));
}

// The overlay's graphs follow the four series of the chart wrapper.
constexpr int kOverlayFirstGraph = 4;

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
}

} // namespace

frmRunHistory::frmRunHistory(const QString& archivePath, QWidget* parent)
    : QWidget(parent, Qt::Window), archive_(std::make_unique<RunArchive>(archivePath))
{
    setObjectName(QStringLiteral("frmRunHistory"));
    setWindowTitle(QStringLiteral("Run History"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    if (!QFileInfo::exists(archivePath) || !archive_->open(false))
        lblArchive->setText(QFileInfo::exists(archivePath) ? archive_->error()
                                                           : QStringLiteral("No runs recorded yet."));
    Refresh();
    // The newest run is the one usually wanted.
    if (QTreeWidgetItem* newest = lstRuns->topLevelItem(0)) {
        lstRuns->setCurrentItem(newest);
        if (shownRun() == 0)
            ShowRun(newest->data(ColId, Qt::DisplayRole).toLongLong());
    }
    lstRuns->setFocus();
}

frmRunHistory::~frmRunHistory() = default;

QString frmRunHistory::archiveError() const
{
    return archive_->isOpen() ? QString() : lblArchive->text();
}

void frmRunHistory::buildControls()
{
    auto* top = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    cboProcess = new QComboBox(this);
    cboProcess->setObjectName(QStringLiteral("cboProcess"));
    chkFrom = new QCheckBox(QStringLiteral("From"), this);
    chkFrom->setObjectName(QStringLiteral("chkFrom"));
    dtpFrom = new QDateEdit(appClock().now().date().addDays(-7), this);
    dtpFrom->setObjectName(QStringLiteral("dtpFrom"));
    chkTo = new QCheckBox(QStringLiteral("To"), this);
    chkTo->setObjectName(QStringLiteral("chkTo"));
    dtpTo = new QDateEdit(appClock().now().date(), this);
    dtpTo->setObjectName(QStringLiteral("dtpTo"));
    cboEnded = new QComboBox(this);
    cboEnded->setObjectName(QStringLiteral("cboEnded"));
    cboEnded->addItem(QStringLiteral("Any end"), -1);
    for (RunEnd e : {RunEnd::Completed, RunEnd::Aborted, RunEnd::CrystalFail, RunEnd::LinkLost,
                     RunEnd::ProgramClosed, RunEnd::Running})
        cboEnded->addItem(RunEndText(e), int(e));
    auto* spnKeepDays = new QSpinBox(this);
    spnKeepDays->setObjectName(QStringLiteral("spnKeepDays"));
    spnKeepDays->setRange(0, 3650);
    spnKeepDays->setSpecialValueText(QStringLiteral("keep all"));
    spnKeepDays->setSuffix(QStringLiteral(" days"));
    spnKeepDays->setValue(Config().RunHistoryDays);
    connect(spnKeepDays, &QSpinBox::valueChanged, this, [](int v) { Config().RunHistoryDays = qint16(v); });
    filters->addWidget(new QLabel(QStringLiteral("Process"), this));
    filters->addWidget(cboProcess);
    for (QWidget* w : std::initializer_list<QWidget*>{chkFrom, dtpFrom, chkTo, dtpTo, cboEnded})
        filters->addWidget(w);
    filters->addStretch();
    filters->addWidget(new QLabel(QStringLiteral("Keep runs"), this));
    filters->addWidget(spnKeepDays);
    top->addLayout(filters);
    for (QComboBox* c : {cboProcess, cboEnded})
        connect(c, &QComboBox::activated, this, &frmRunHistory::Refresh);
    for (QCheckBox* c : {chkFrom, chkTo})
        connect(c, &QCheckBox::toggled, this, &frmRunHistory::Refresh);
    for (QDateEdit* d : {dtpFrom, dtpTo})
        connect(d, &QDateEdit::dateChanged, this, &frmRunHistory::Refresh);

    auto* split = new QSplitter(Qt::Vertical, this);
    lstRuns = new QTreeWidget(split);
    lstRuns->setObjectName(QStringLiteral("lstRuns"));
    lstRuns->setRootIsDecorated(false);
    lstRuns->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstRuns->setHeaderLabels({QStringLiteral("Run"), QStringLiteral("Start"), QStringLiteral("End"),
                              QStringLiteral("Process"), QStringLiteral("Name"), QStringLiteral("Layers"),
                              QStringLiteral("Ended"), QStringLiteral("Gaps"), QStringLiteral("Samples")});
    lstRuns->setSortingEnabled(true);
    lstRuns->sortByColumn(ColStart, Qt::DescendingOrder);
    connect(lstRuns, &QTreeWidget::itemSelectionChanged, this, &frmRunHistory::lstRuns_SelectionChanged);

    auto* chartsBox = new QWidget(split);
    auto* chartsLayout = new QVBoxLayout(chartsBox);
    auto* overlayRow = new QHBoxLayout;
    cboOverlay = new QComboBox(chartsBox);
    cboOverlay->setObjectName(QStringLiteral("cboOverlay"));
    cboAlign = new QComboBox(chartsBox);
    cboAlign->setObjectName(QStringLiteral("cboAlign"));
    connect(cboOverlay, &QComboBox::activated, this, &frmRunHistory::overlayChanged);
    connect(cboAlign, &QComboBox::activated, this, &frmRunHistory::overlayChanged);
    overlayRow->addWidget(new QLabel(QStringLiteral("Overlay"), chartsBox));
    overlayRow->addWidget(cboOverlay);
    overlayRow->addWidget(new QLabel(QStringLiteral("aligned at"), chartsBox));
    overlayRow->addWidget(cboAlign);
    overlayRow->addStretch();
    chartsLayout->addLayout(overlayRow);
    tabCharts = new QTabWidget(chartsBox);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    for (int g = 0; g < 4; ++g) {
        plots_[size_t(g)] = new QCustomPlot(tabCharts);
        plots_[size_t(g)]->setObjectName(QLatin1String(kPlotNames[g]));
        plots_[size_t(g)]->setMinimumHeight(240);
        tabCharts->addTab(plots_[size_t(g)], QLatin1String(kTabTitles[g]));
    }
    chartsLayout->addWidget(tabCharts);
    connect(tabCharts, &QTabWidget::currentChanged, this,
            [this](int g) { plots_[size_t(g)]->replot(QCustomPlot::rpQueuedReplot); });
    lblCursor = new QLabel(chartsBox);
    lblCursor->setObjectName(QStringLiteral("lblCursor"));
    chartsLayout->addWidget(lblCursor);
    top->addWidget(split, 1);

    // The same chart settings files as the live view.
    graphs_ = std::make_unique<cGraphSet>(plots_, ProgramFolder());
    for (int g = 0; g < 4; ++g) {
        QCustomPlot* p = plots_[size_t(g)];
        p->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
        p->axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
        connect(p, &QCustomPlot::mouseMove, this, [this, g](QMouseEvent* e) { showCursor(g, e); });
    }

    auto* buttons = new QHBoxLayout;
    lblArchive = new QLabel(this);
    lblArchive->setObjectName(QStringLiteral("lblArchive"));
    buttons->addWidget(lblArchive, 1);
    const auto button = [&](QPushButton*& b, const char* name, const QString& text,
                            void (frmRunHistory::*slot)()) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(cmdExportCsv, "cmdExportCsv", QStringLiteral("Export &CSV..."),
           &frmRunHistory::cmdExportCsv_Click);
    button(cmdExportCharts, "cmdExportCharts", QStringLiteral("Export C&harts..."),
           &frmRunHistory::cmdExportCharts_Click);
    button(cmdReport, "cmdReport", QStringLiteral("&Recipe Report..."), &frmRunHistory::cmdReport_Click);
    button(cmdDelete, "cmdDelete", QStringLiteral("&Delete..."), &frmRunHistory::cmdDelete_Click);
    top->addLayout(buttons);
    resize(1000, 760);
}

QString frmRunHistory::runName(const RunRow& r) const
{
    const QString name = r.name.isEmpty() ? QStringLiteral("Process %1").arg(r.process) : r.name;
    return QStringLiteral("Run %1 %2").arg(r.id).arg(name);
}

void frmRunHistory::Refresh()
{
    const QVariant keepProcess = cboProcess->currentData();
    RunFilter filter;
    if (keepProcess.isValid() && keepProcess.toInt() > 0)
        filter.process = keepProcess.toInt();
    if (chkFrom->isChecked())
        filter.since = dtpFrom->date().startOfDay();
    if (chkTo->isChecked())
        filter.until = dtpTo->date().addDays(1).startOfDay();
    if (cboEnded->currentData().toInt() >= 0)
        filter.ended = RunEnd(cboEnded->currentData().toInt());
    const std::vector<RunRow> all = archive_->listRuns();
    const bool filtered = filter.process || filter.since.isValid() || filter.until.isValid() || filter.ended;
    const std::vector<RunRow> rows = filtered ? archive_->listRuns(filter) : all;

    std::set<int> processes;
    for (const RunRow& r : all)
        processes.insert(r.process);
    cboProcess->clear();
    cboProcess->addItem(QStringLiteral("All"), 0);
    for (int p : processes)
        cboProcess->addItem(QString::number(p), p);
    cboProcess->setCurrentIndex(std::max(0, cboProcess->findData(keepProcess)));

    const QSignalBlocker block(lstRuns);
    lstRuns->setSortingEnabled(false);
    lstRuns->clear();
    for (const RunRow& r : rows) {
        auto* item = new QTreeWidgetItem(lstRuns);
        item->setData(ColId, Qt::DisplayRole, r.id);
        item->setText(ColStart, listTime(r.start));
        item->setText(ColEnd, listTime(r.end));
        item->setData(ColProcess, Qt::DisplayRole, r.process);
        item->setText(ColName, r.name);
        item->setData(ColLayers, Qt::DisplayRole, r.layers);
        item->setText(ColEnded, RunEndText(r.ended));
        item->setData(ColGaps, Qt::DisplayRole, r.gaps);
        item->setData(ColSamples, Qt::DisplayRole, r.samples);
        if (r.id == base_.row.id)
            item->setSelected(true);
    }
    lstRuns->setSortingEnabled(true);

    cboOverlay->clear();
    cboOverlay->addItem(QStringLiteral("None"), 0);
    for (const RunRow& r : all)
        cboOverlay->addItem(runName(r), r.id);
    cboOverlay->setCurrentIndex(std::max(0, cboOverlay->findData(overlay_.row.id)));
    if (archive_->isOpen())
        lblArchive->setText(
            QStringLiteral("%1 runs, archive %2").arg(all.size()).arg(megabytes(archive_->sizeBytes())));
}

void frmRunHistory::lstRuns_SelectionChanged()
{
    const QTreeWidgetItem* item = lstRuns->currentItem();
    if (item && item->isSelected())
        ShowRun(item->data(ColId, Qt::DisplayRole).toLongLong());
}

std::vector<qint64> frmRunHistory::selectedRuns() const
{
    std::vector<qint64> ids;
    for (const QTreeWidgetItem* item : lstRuns->selectedItems())
        ids.push_back(item->data(ColId, Qt::DisplayRole).toLongLong());
    return ids;
}

void frmRunHistory::ShowRun(qint64 id)
{
    const std::optional<RunRow> row = archive_->run(id);
    if (!row)
        return;
    base_.row = *row;
    base_.samples = archive_->samples(id);
    base_.charts = BuildRunCharts(base_.samples);
    cboAlign->clear();
    cboAlign->addItem(QStringLiteral("Run start"), 0);
    int layers = row->layers;
    for (const RunSample& s : base_.samples)
        layers = std::max(layers, int(s.readings.RunLayer));
    for (int l = 1; l <= layers; ++l)
        cboAlign->addItem(QStringLiteral("Layer %1 deposit").arg(l), l);
    drawBase();
    drawOverlay();
}

void frmRunHistory::drawBase()
{
    double last = 0.0;
    if (!base_.charts[0][0].x.isEmpty())
        last = base_.charts[0][0].x.last();
    for (int g = 0; g < 4; ++g) {
        ChartModel& m = graphs_->graph(g);
        const RunChart& chart = base_.charts[size_t(g)];
        {
            const ChartBatch batch(m);
            m.clearPoints();
            const double lo = m.YMin();
            const double hi = m.YMax();
            for (qsizetype i = 0; i < chart[0].x.size(); ++i) {
                ChartPoint pt;
                pt.x = chart[0].x[i];
                for (size_t s = 0; s < 4; ++s) {
                    const double v = chart[s].y[i];
                    pt.value[s] = v;
                    // Clamped to the Y range as the live chart draws it.
                    pt.y[s] = std::isnan(v) ? ChartModel::holeValue() : std::clamp(v, lo, hi);
                }
                m.appendPoint(pt);
            }
            m.drawNewPoints();
            m.setXMin(0.0);
            m.setXWide(std::max(last, 1.0));
        }
        QCustomPlot* p = plots_[size_t(g)];
        for (int s = 0; s < 4; ++s)
            p->graph(s)->setName(runName(base_.row) + QStringLiteral(": ") +
                                 m.chart().series[size_t(s)].name);
    }
}

void frmRunHistory::ShowOverlay(qint64 overlay, int alignLayer)
{
    overlay_ = Loaded{};
    overlayShift_ = 0.0;
    if (overlay > 0) {
        if (const std::optional<RunRow> row = archive_->run(overlay)) {
            overlay_.row = *row;
            overlay_.samples = archive_->samples(overlay);
            const std::optional<double> shift = OverlayShift(base_.samples, overlay_.samples, alignLayer);
            overlayShift_ = shift.value_or(0.0);
            if (!shift)
                lblCursor->setText(
                    QStringLiteral("Layer %1 was not deposited in both runs; aligned at run start.")
                        .arg(alignLayer));
            overlay_.charts = BuildRunCharts(overlay_.samples, overlayShift_);
        }
    }
    cboOverlay->setCurrentIndex(std::max(0, cboOverlay->findData(overlay_.row.id)));
    cboAlign->setCurrentIndex(std::max(0, cboAlign->findData(alignLayer)));
    drawOverlay();
}

void frmRunHistory::overlayChanged()
{
    ShowOverlay(cboOverlay->currentData().toLongLong(), cboAlign->currentData().toInt());
}

void frmRunHistory::drawOverlay()
{
    for (int g = 0; g < 4; ++g) {
        QCustomPlot* p = plots_[size_t(g)];
        while (p->graphCount() > kOverlayFirstGraph)
            p->removeGraph(p->graphCount() - 1);
        if (overlay_.row.id > 0) {
            const ChartConfig& cfg = graphs_->graph(g).chart();
            for (int s = 0; s < 4; ++s) {
                QCPGraph* og = p->addGraph();
                QPen pen(QColor::fromRgb(QRgb(cfg.series[size_t(s)].colour)), 1.0, Qt::DashLine);
                og->setPen(pen);
                og->setName(runName(overlay_.row) + QStringLiteral(": ") + cfg.series[size_t(s)].name);
                const RunChartSeries& series = overlay_.charts[size_t(g)][size_t(s)];
                og->setData(series.x, series.y, true);
            }
        }
        // A chart on a hidden tab is drawn when its tab is chosen.
        if (p->isVisible())
            p->replot();
    }
}

void frmRunHistory::showCursor(int chart, QMouseEvent* event)
{
    QCustomPlot* p = plots_[size_t(chart)];
    const double x = p->xAxis->pixelToCoord(event->position().x());
    QString text = RunCursorText(base_.charts[size_t(chart)], x);
    if (overlay_.row.id > 0)
        text += QStringLiteral("   |   run %1: ").arg(overlay_.row.id) +
                RunCursorText(overlay_.charts[size_t(chart)], x);
    lblCursor->setText(text);
}

void frmRunHistory::cmdExportCsv_Click()
{
    if (base_.row.id <= 0)
        return;
    FileDialogRequest req;
    req.title = QStringLiteral("Export Run");
    req.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
    req.fileName = QStringLiteral("Run %1.csv").arg(base_.row.id);
    req.defaultExt = QStringLiteral("csv");
    const std::optional<QString> file = dialogs().saveFile(req);
    if (!file || file->isEmpty())
        return;
    QSaveFile out(*file);
    if (!out.open(QIODevice::WriteOnly) || !WriteRunCsv(base_.samples, out) || !out.commit())
        dialogs().message(
            QStringLiteral("The run could not be written to %1: %2").arg(*file, out.errorString()),
            MsgButtons::Ok, MsgIcon::Exclamation, req.title);
}

void frmRunHistory::cmdExportCharts_Click()
{
    if (base_.row.id <= 0)
        return;
    FileDialogRequest req;
    req.title = QStringLiteral("Export Charts");
    req.filter = QStringLiteral(
        "PDF Document, all four charts (*.pdf)|*.pdf|PNG Image, the chart shown (*.png)|*.png");
    req.fileName = QStringLiteral("Run %1.pdf").arg(base_.row.id);
    req.defaultExt = QStringLiteral("pdf");
    const std::optional<QString> file = dialogs().saveFile(req);
    if (!file || file->isEmpty())
        return;
    bool ok = false;
    if (file->endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        ok = plots_[size_t(tabCharts->currentIndex())]->savePng(*file, 1200, 700);
    } else {
        QPdfWriter pdf(*file);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(runName(base_.row));
        QCPPainter painter;
        ok = painter.begin(&pdf);
        for (int g = 0; ok && g < 4; ++g) {
            if (g > 0)
                pdf.newPage();
            const QRect page = painter.viewport();
            painter.save();
            painter.scale(double(page.width()) / 1200.0, double(page.width()) / 1200.0);
            plots_[size_t(g)]->toPainter(&painter, 1200, qRound(1200.0 * page.height() / page.width()));
            painter.restore();
        }
        ok = painter.end() && ok;
    }
    if (!ok)
        dialogs().message(QStringLiteral("The charts could not be written to %1.").arg(*file), MsgButtons::Ok,
                          MsgIcon::Exclamation, req.title);
}

void frmRunHistory::cmdReport_Click()
{
    if (base_.row.id <= 0)
        return;
    int process = 0;
    const std::unique_ptr<ParameterModel> model = SnapshotModel(archive_->snapshot(base_.row.id), &process);
    if (!model) {
        dialogs().message(QStringLiteral("Run %1 has no recipe snapshot.").arg(base_.row.id));
        return;
    }
    FileDialogRequest req;
    req.title = QStringLiteral("Recipe Report");
    req.filter = QStringLiteral("PDF Document (*.pdf)|*.pdf");
    req.fileName = QStringLiteral("Run %1 recipe.pdf").arg(base_.row.id);
    req.defaultExt = QStringLiteral("pdf");
    const std::optional<QString> file = dialogs().saveFile(req);
    if (!file || file->isEmpty())
        return;
    ProcessReport report = BuildProcessReport(*model, process);
    report.source = RunReportHeading(base_.row);
    report.printed = appClock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    QString why;
    if (!WriteProcessReportPdf(report, *file, &why))
        dialogs().message(QStringLiteral("The report could not be written to %1: %2").arg(*file, why),
                          MsgButtons::Ok, MsgIcon::Exclamation, req.title);
}

void frmRunHistory::cmdDelete_Click()
{
    const std::vector<qint64> ids = selectedRuns();
    if (ids.empty())
        return;
    const QString question =
        ids.size() == 1
            ? QStringLiteral("Delete run %1 with its samples and recipe?").arg(ids.front())
            : QStringLiteral("Delete these %1 runs with their samples and recipes?").arg(ids.size());
    if (dialogs().message(question, MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Delete Runs")) !=
        MsgResult::Yes)
        return;
    for (qint64 id : ids) {
        if (!archive_->deleteRun(id)) {
            dialogs().message(archive_->error(), MsgButtons::Ok, MsgIcon::Exclamation,
                              QStringLiteral("Delete Runs"));
            break;
        }
        if (id == base_.row.id)
            base_ = Loaded{};
        if (id == overlay_.row.id)
            overlay_ = Loaded{};
    }
    Refresh();
    if (base_.row.id == 0) {
        base_.charts = {};
        drawBase();
    }
    drawOverlay();
}
