#include "runlog/cgraph.h"

#include "runlog/runloglogging.h"
#include "support/dialogs.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

#include <qcustomplot.h>

#include <cmath>

namespace {

// More grid lines than this over the visible range are thinned to a multiple
// of the spacing, so a spacing of 1 over a long window stays readable.
constexpr double kMaxGridLines = 40.0;

QColor rgbColour(quint32 rgb)
{
    return QColor(QRgb(0xFF000000u | (rgb & 0xFFFFFFu)));
}

void styleAxis(QCPAxis* axis, const QColor& fg)
{
    const QPen pen(fg, 1);
    axis->setBasePen(pen);
    axis->setTickPen(pen);
    axis->setSubTickPen(pen);
    axis->setTickLabelColor(fg);
    axis->setLabelColor(fg);
    QColor grid = fg;
    grid.setAlpha(80);
    axis->grid()->setPen(QPen(grid, 1, Qt::DotLine));
    axis->grid()->setZeroLinePen(QPen(grid, 1, Qt::SolidLine));
    axis->grid()->setSubGridVisible(false);
}

void applyAxis(QCPAxis* axis, const ChartAxisConfig& a)
{
    axis->setLabel(a.label);
    axis->setRange(a.min, a.max);
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis->ticker());
    if (!ticker) {
        ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        axis->setTicker(ticker);
    }
    const double step = a.gridSpacing > 0.0 && std::isfinite(a.gridSpacing) ? a.gridSpacing : 1.0;
    ticker->setTickStep(step);
    const double lines = std::abs(a.max - a.min) / step;
    ticker->setScaleStrategy(lines > kMaxGridLines ? QCPAxisTickerFixed::ssMultiples
                                                   : QCPAxisTickerFixed::ssNone);
    axis->grid()->setVisible(a.gridVisible);
}

} // namespace

cGraph::cGraph(QCustomPlot* control, ChartConfig design, QObject* parent)
    : QObject(parent), ChartModel(std::move(design)), plot_(control)
{
    setUpPlot();
    changed(Style | Axes | Data | Geometry);
}

cGraph::~cGraph()
{
    if (plot_)
        plot_->removeEventFilter(this);
}

void cGraph::setUpPlot()
{
    if (!plot_)
        return;
    connect(plot_, &QObject::destroyed, this, [this] { plot_ = nullptr; });
    plot_->clearGraphs();
    for (int s = 0; s < kChartSeries; ++s) {
        QCPGraph* g = plot_->addGraph();
        g->setLineStyle(QCPGraph::lsLine);
        g->setAdaptiveSampling(true);
    }
    plot_->plotLayout()->insertRow(0);
    title_ = new QCPTextElement(plot_, QString(), QFont(plot_->font().family(), 10, QFont::Bold));
    plot_->plotLayout()->addElement(0, 0, title_);
    plot_->legend->setFont(QFont(plot_->font().family(), 8));
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    plot_->setPlottingHints(QCP::phCacheLabels | QCP::phFastPolylines);
    plot_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plot_, &QWidget::customContextMenuRequested, this, &cGraph::showContextMenu);
    plot_->installEventFilter(this);
}

void cGraph::applyStyle()
{
    const ChartConfig& c = chart();
    const QColor bg = rgbColour(c.background);
    const QColor fg = rgbColour(c.foreground);
    plot_->setBackground(QBrush(bg));
    plot_->axisRect()->setBackground(QBrush(bg));
    styleAxis(plot_->xAxis, fg);
    styleAxis(plot_->yAxis, fg);
    title_->setText(c.title);
    title_->setTextColor(fg);
    title_->setVisible(!c.title.isEmpty());
    plot_->legend->setVisible(c.legendVisible);
    plot_->legend->setBrush(QBrush(bg));
    plot_->legend->setBorderPen(QPen(fg));
    plot_->legend->setTextColor(fg);
    for (int s = 0; s < kChartSeries; ++s) {
        const ChartSeriesConfig& sc = c.series[size_t(s)];
        QCPGraph* g = plot_->graph(s);
        g->setName(sc.name);
        g->setPen(QPen(rgbColour(sc.colour), sc.lineWidth > 0 ? sc.lineWidth : 1.0));
    }
}

void cGraph::applyAxes()
{
    applyAxis(plot_->xAxis, chart().xAxis);
    applyAxis(plot_->yAxis, chart().yAxis);
}

void cGraph::applyData()
{
    const std::vector<ChartPoint>& pts = points();
    QVector<QCPGraphData> data(qsizetype(pts.size()));
    for (int s = 0; s < kChartSeries; ++s) {
        for (size_t p = 0; p < pts.size(); ++p)
            data[qsizetype(p)] = QCPGraphData(pts[p].x, pts[p].y[size_t(s)]);
        // Points arrive in time order; a NaN value is drawn as a gap.
        plot_->graph(s)->data()->set(data, true);
    }
}

void cGraph::applyGeometry()
{
    // A chart inside a layout is placed by it; one placed freely takes the
    // geometry the main window handed over.
    QWidget* parent = plot_->parentWidget();
    if (parent && parent->layout())
        return;
    if (GraphWidth <= 0.0 || GraphHeight <= 0.0)
        return;
    plot_->setGeometry(qRound(GraphLeft), qRound(GraphTop), qRound(GraphWidth), qRound(GraphHeight));
}

void cGraph::changed(unsigned changes)
{
    if (!plot_)
        return;
    if (changes & Style)
        applyStyle();
    if (changes & Axes)
        applyAxes();
    if (changes & Data)
        applyData();
    if (changes & Geometry)
        applyGeometry();
    redraw();
}

void cGraph::redraw()
{
    // Only the chart on screen is drawn each tick; the others catch up when shown.
    if (plot_->isVisible()) {
        stale_ = false;
        plot_->replot();
    } else {
        stale_ = true;
    }
}

bool cGraph::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == plot_ && event->type() == QEvent::Show && stale_) {
        stale_ = false;
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
    return QObject::eventFilter(watched, event);
}

void cGraph::populateContextMenu(QMenu& menu)
{
    QAction* save = menu.addAction(tr("Save Image..."));
    save->setObjectName(QStringLiteral("mnuSaveImage"));
    connect(save, &QAction::triggered, this, [this] { SaveImage(); });
    QAction* copy = menu.addAction(tr("Copy Data"));
    copy->setObjectName(QStringLiteral("mnuCopyData"));
    connect(copy, &QAction::triggered, this, [this] { CopyData(); });
}

void cGraph::showContextMenu(const QPoint& pos)
{
    if (!plot_)
        return;
    QMenu menu(plot_);
    populateContextMenu(menu);
    menu.exec(plot_->mapToGlobal(pos));
}

bool cGraph::SaveImage()
{
    if (!plot_)
        return false;
    FileDialogRequest req;
    req.title = tr("Save Image");
    req.filter = QStringLiteral("PNG Image (*.png)|*.png|All Files (*.*)|*.*");
    req.fileName = QFileInfo(Cfg_Filename()).completeBaseName() + QStringLiteral(".png");
    req.defaultExt = QStringLiteral("png");
    const std::optional<QString> file = dialogs().saveFile(req);
    if (!file || file->isEmpty())
        return false;
    if (stale_ || !plot_->isVisible())
        plot_->replot(QCustomPlot::rpImmediateRefresh);
    if (!plot_->savePng(*file)) {
        qCWarning(lcRunlog) << "cannot save chart image" << *file;
        dialogs().message(tr("The image could not be saved to %1.").arg(*file), MsgButtons::Ok,
                          MsgIcon::Exclamation, tr("Save Image"));
        return false;
    }
    return true;
}

void cGraph::CopyData()
{
    if (QClipboard* cb = QGuiApplication::clipboard())
        cb->setText(visibleDataCsv());
}
