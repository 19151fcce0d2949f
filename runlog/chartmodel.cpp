#include "runlog/chartmodel.h"

#include "runlog/runloglogging.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <limits>

ChartModel::ChartModel(ChartConfig design) : design_(std::move(design)), chart_(design_)
{
    takeSettingsFromChart();
    points_.reserve(kChartPointLimit + 1);
}

ChartModel::~ChartModel() = default;

void ChartModel::changed(unsigned) {}

void ChartModel::markChanged(unsigned c)
{
    if (batch_ > 0) {
        pending_ |= c;
        return;
    }
    changed(c);
}

void ChartModel::beginBatch()
{
    ++batch_;
}

void ChartModel::endBatch()
{
    if (batch_ == 0)
        return;
    if (--batch_ == 0 && pending_ != 0) {
        const unsigned c = pending_;
        pending_ = 0;
        changed(c);
    }
}

void ChartModel::setYMin(double v)
{
    YMin_ = v;
    chart_.yAxis.min = v;
    markChanged(Axes);
}

void ChartModel::setYMax(double v)
{
    YMax_ = v;
    chart_.yAxis.max = v;
    markChanged(Axes);
}

void ChartModel::setXMin(double v)
{
    XMin_ = v;
    chart_.xAxis.min = v;
    chart_.xAxis.max = v + XWide_;
    markChanged(Axes);
}

void ChartModel::setXWide(double v)
{
    XWide_ = v;
    chart_.xAxis.max = chart_.xAxis.min + v;
    markChanged(Axes);
}

void ChartModel::setXDiv(double v)
{
    chart_.xAxis.gridSpacing = v != 0.0 ? v : 1.0;
    markChanged(Axes);
}

void ChartModel::setYDiv(double v)
{
    chart_.yAxis.gridSpacing = v != 0.0 ? v : 1.0;
    markChanged(Axes);
}

void ChartModel::setXGrid_Enable(bool on)
{
    chart_.xAxis.gridVisible = on;
    markChanged(Axes);
}

void ChartModel::setYGrid_Enable(bool on)
{
    chart_.yAxis.gridVisible = on;
    markChanged(Axes);
}

void ChartModel::takeSettingsFromChart()
{
    XMin_ = chart_.xAxis.min;
    XWide_ = chart_.xAxis.max;
    YMax_ = chart_.yAxis.max;
    YMin_ = chart_.yAxis.min;
}

bool ChartModel::Cfg_Load()
{
    // The design loads the name with its extension written "oc2"; saves go
    // to the name as given, so that one wins when both spellings exist.
    QString name = Cfg_Filename_;
    if (!QFileInfo(name).isFile() && name.size() >= 3)
        name = name.left(name.size() - 3) + QStringLiteral("oc2");
    auto loaded = LoadChartConfig(name, design_);
    if (!loaded)
        return false;
    chart_ = *loaded;
    markChanged(Axes | Style);
    return true;
}

bool ChartModel::Cfg_Save()
{
    ChartBatch batch(*this);
    chart_.xAxis.min = 0.0;
    chart_.xAxis.max = XWide_;
    const bool ok = SaveChartConfig(Cfg_Filename_, chart_);
    chart_.xAxis.min = XMin_;
    chart_.xAxis.max = XMin_ + XWide_;
    markChanged(Axes);
    return ok;
}

void ChartModel::InitChart()
{
    ChartBatch batch(*this);
    markChanged(Geometry);
    clearPoints();
    setXDiv(XDiv());
    setYDiv(YDiv());
}

void ChartModel::Init()
{
    ChartBatch batch(*this);
    Cfg_Load();
    InitChart();
}

void ChartModel::ReInit()
{
    ChartBatch batch(*this);
    setXMin(0.0);
    setXWide(XWide_);
    clearPoints();
}

void ChartModel::appendPoint(const ChartPoint& pt)
{
    points_.push_back(pt);
    markChanged(Data);
}

void ChartModel::keepNewest(int kept)
{
    const int n = pointCount();
    kept = std::clamp(kept, 0, n);
    if (kept == n)
        return;
    points_.erase(points_.begin(), points_.begin() + (n - kept));
    markChanged(Data);
}

void ChartModel::clearPoints()
{
    points_.clear();
    markChanged(Data);
}

void ChartModel::drawNewPoints()
{
    markChanged(Data);
}

double ChartModel::holeValue()
{
    return std::numeric_limits<double>::quiet_NaN();
}

QString ChartModel::visibleDataCsv() const
{
    auto field = [](const QString& s) {
        if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')))
            return QLatin1Char('"') + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) +
                   QLatin1Char('"');
        return s;
    };
    QString text;
    QTextStream out(&text);
    out << field(chart_.xAxis.label.isEmpty() ? QStringLiteral("Time (s)") : chart_.xAxis.label);
    for (const ChartSeriesConfig& s : chart_.series)
        out << ',' << field(s.name);
    out << "\r\n";
    const double lo = std::min(chart_.xAxis.min, chart_.xAxis.max);
    const double hi = std::max(chart_.xAxis.min, chart_.xAxis.max);
    for (const ChartPoint& p : points_) {
        if (p.x < lo || p.x > hi)
            continue;
        out << QString::number(p.x, 'f', 1);
        for (int s = 0; s < kChartSeries; ++s) {
            out << ',';
            if (!std::isnan(p.y[size_t(s)]))
                out << QString::number(p.value[size_t(s)], 'f', 2);
        }
        out << "\r\n";
    }
    out.flush();
    return text;
}
