#ifndef DCX_RUNLOG_CHARTMODEL_H
#define DCX_RUNLOG_CHARTMODEL_H

#include "runlog/chartconfig.h"

#include <QString>

#include <array>
#include <vector>

// Most points one chart series holds before the live graphs drop old ones.
constexpr int kChartPointLimit = 500;

// One point of a chart: its x, the y drawn for each series (clamped to the Y
// range, NaN for a gap) and the true sample value behind it.
struct ChartPoint {
    double x = 0.0;
    std::array<double, kChartSeries> y{};
    std::array<double, kChartSeries> value{};
};

// One live chart without its drawing: the chart's own state (axes, grid,
// series styles, points) and, next to it, the settings the operator changes
// (the X window, the Y range, the place on the window, the settings file).
// cGraph draws it on a QCustomPlot; the live-graph code and the tests use it
// directly.
//
// Every change is reported through changed(). While a batch is open
// (beginBatch/endBatch, nested) changes are collected and reported once when
// the outermost batch ends, so the many point changes of one tick make one
// redraw.
class ChartModel {
public:
    enum Change : unsigned { Axes = 1, Style = 2, Data = 4, Geometry = 8 };

    explicit ChartModel(ChartConfig design = DefaultChartConfig(QString()));
    virtual ~ChartModel();
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    // The chart as it stands: settings loaded from its file and changed since.
    const ChartConfig& chart() const { return chart_; }
    double xAxisMin() const { return chart_.xAxis.min; }
    double xAxisMax() const { return chart_.xAxis.max; }
    double yAxisMin() const { return chart_.yAxis.min; }
    double yAxisMax() const { return chart_.yAxis.max; }

    // Wrapper settings. The setters act on the chart at once.
    double YMin() const { return YMin_; }
    void setYMin(double v);
    double YMax() const { return YMax_; }
    void setYMax(double v);
    double XMin() const { return XMin_; }
    void setXMin(double v); // X axis := v .. v + XWide
    double XWide() const { return XWide_; }
    void setXWide(double v); // X axis max := X axis min + v
    // Grid spacing and visibility live on the chart's axes; a spacing of 0
    // is taken as 1.
    double XDiv() const { return chart_.xAxis.gridSpacing; }
    void setXDiv(double v);
    double YDiv() const { return chart_.yAxis.gridSpacing; }
    void setYDiv(double v);
    bool XGrid_Enable() const { return chart_.xAxis.gridVisible; }
    void setXGrid_Enable(bool on);
    bool YGrid_Enable() const { return chart_.yAxis.gridVisible; }
    void setYGrid_Enable(bool on);

    QString Title() const { return Title_; }
    void setTitle(const QString& t) { Title_ = t; }
    QString Cfg_Filename() const { return Cfg_Filename_; }
    void setCfg_Filename(const QString& f) { Cfg_Filename_ = f; }

    // Place of the chart on the window; applied by InitChart.
    double GraphTop = 0.0;
    double GraphLeft = 0.0;
    double GraphWidth = 0.0;
    double GraphHeight = 0.0;

    // Takes XMin, XWide, YMin, YMax from the chart's axes as its settings
    // file left them (XWide is the X axis maximum: saved files start at 0).
    void takeSettingsFromChart();

    // Loads the settings file (Cfg_Filename with its extension written "oc2",
    // found ignoring case). False leaves the chart as it was.
    bool Cfg_Load();
    // Saves the settings under Cfg_Filename with the X window written as
    // 0..XWide; the chart keeps showing XMin..XMin + XWide.
    bool Cfg_Save();
    // Applies the place, empties every series and applies the grid spacing again.
    void InitChart();
    // Cfg_Load then InitChart, drawn once.
    void Init();
    // X window back to 0..XWide, no points.
    void ReInit();

    // Points, shared by the four series. p counts from 0.
    int pointCount() const { return int(points_.size()); }
    const ChartPoint& point(int p) const { return points_[size_t(p)]; }
    const std::vector<ChartPoint>& points() const { return points_; }
    void appendPoint(const ChartPoint& pt);
    // Keeps the newest `kept` points, in order, and drops the others.
    void keepNewest(int kept);
    void clearPoints();
    // Marks the appended points for drawing.
    void drawNewPoints();

    // The y written for a gap.
    static double holeValue();

    void beginBatch();
    void endBatch();
    bool inBatch() const { return batch_ > 0; }

    // The visible points (x inside the X axis range) as comma-separated text:
    // a header line, then x and the true value of each series; a gap is an
    // empty field.
    QString visibleDataCsv() const;

protected:
    // Called once per change outside a batch, and once at the end of a batch
    // with every change it collected.
    virtual void changed(unsigned changes);

private:
    void markChanged(unsigned c);

    ChartConfig design_;
    ChartConfig chart_;
    std::vector<ChartPoint> points_;
    double XMin_ = 0.0;
    double XWide_ = 0.0;
    double YMin_ = 0.0;
    double YMax_ = 0.0;
    QString Title_;
    QString Cfg_Filename_;
    int batch_ = 0;
    unsigned pending_ = 0;
};

// Opens a batch on a chart for the lifetime of this object.
class ChartBatch {
public:
    explicit ChartBatch(ChartModel& m) : m_(m) { m_.beginBatch(); }
    ~ChartBatch() { m_.endBatch(); }
    ChartBatch(const ChartBatch&) = delete;
    ChartBatch& operator=(const ChartBatch&) = delete;

private:
    ChartModel& m_;
};

#endif
