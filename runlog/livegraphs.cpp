#include "runlog/livegraphs.h"

#include <cmath>

namespace {

constexpr int kOutputItems = 5;
constexpr int kSensorItems = 3;
constexpr double kSecondsPerDay = 86400.0;

// Opens a batch on all four charts, so one tick draws each chart once.
class AllChartsBatch {
public:
    explicit AllChartsBatch(const std::array<ChartModel*, GraphCount>& charts) : charts_(charts)
    {
        for (ChartModel* c : charts_)
            c->beginBatch();
    }
    ~AllChartsBatch()
    {
        for (ChartModel* c : charts_)
            c->endBatch();
    }
    AllChartsBatch(const AllChartsBatch&) = delete;
    AllChartsBatch& operator=(const AllChartsBatch&) = delete;

private:
    const std::array<ChartModel*, GraphCount>& charts_;
};

} // namespace

LiveGraphs::LiveGraphs(const std::array<ChartModel*, GraphCount>& charts)
    : charts_(charts), outputHistory_(size_t(4 * kOutputItems * kGraphRingSize), 0.0),
      sensorHistory_(size_t(4 * kSensorItems * kGraphRingSize), 0.0)
{}

size_t LiveGraphs::outIndex(int output, int item, int sample)
{
    return size_t((output * kOutputItems + (item - 1)) * kGraphRingSize + (sample - 1));
}

size_t LiveGraphs::sensorIndex(int sensor, int item, int sample)
{
    return size_t((sensor * kSensorItems + (item - 1)) * kGraphRingSize + (sample - 1));
}

double LiveGraphs::OutputHistory(int output, int item, int sample) const
{
    return outputHistory_[outIndex(output, item, sample)];
}

double LiveGraphs::SensorHistory(int sensor, int item, int sample) const
{
    return sensorHistory_[sensorIndex(sensor, item, sample)];
}

void LiveGraphs::InitGraph(const ReadingsRecord& r, double timeOfDay, double runStartTime)
{
    outputHistory_.assign(outputHistory_.size(), 0.0);
    sensorHistory_.assign(sensorHistory_.size(), 0.0);
    PointIndex_ = 1;
    LastPlotted_ = PointRestart_;
    for (ChartModel* c : charts_) {
        c->Init();
        c->ReInit();
    }
    UpdateGraph(r, timeOfDay, runStartTime);
}

void LiveGraphs::storeSample(const ReadingsRecord& r, double timeOfDay, double runStartTime)
{
    const int x = PointIndex_;
    double t = timeOfDay - runStartTime;
    if (t < 0.0)
        t += kSecondsPerDay;
    for (int i = 0; i < 4; ++i) {
        const size_t u = size_t(i);
        outputHistory_[outIndex(i, OutTime, x)] = t;
        outputHistory_[outIndex(i, OutRateItem, x)] = r.OutRate[u];
        outputHistory_[outIndex(i, OutDeviationItem, x)] = r.OutDeviation[u];
        outputHistory_[outIndex(i, OutThicknessItem, x)] = r.OutThickness[u];
        outputHistory_[outIndex(i, OutPowerItem, x)] = r.OutPower[u];
        sensorHistory_[sensorIndex(i, SensorRateItem, x)] = r.SensorRate[u];
        sensorHistory_[sensorIndex(i, SensorThicknessItem, x)] = r.SensorThickness[u];
        sensorHistory_[sensorIndex(i, SensorFrequencyItem, x)] = r.SensorFrequency[u];
        currentPower_[u] = r.OutPower[u];
    }
}

void LiveGraphs::UpdateGraph(const ReadingsRecord& r, double timeOfDay, double runStartTime)
{
    storeSample(r, timeOfDay, runStartTime);
    plotPending();
}

void LiveGraphs::plotPending()
{
    if (PointIndex_ == LastPlotted_)
        return;
    AllChartsBatch batch(charts_);
    if (PointIndex_ > LastPlotted_) {
        PlotData(PointIndex_ - LastPlotted_, LastPlotted_);
    } else {
        // The ring wrapped: the tail from LastPlotted to the end goes first.
        PlotData(kGraphRingSize - LastPlotted_ + 1, LastPlotted_);
        PlotData(PointIndex_ - PointRestart_, PointRestart_);
    }
    LastPlotted_ = PointIndex_;
}

void LiveGraphs::MarkGap()
{
    // The ring position of the last stored sample; the one at PointIndex is
    // not written yet.
    const int last = PointIndex_ == PointRestart_ ? kGraphRingSize : PointIndex_ - 1;
    if (PointIndex_ == LastPlotted_ && charts_[GraphRate]->pointCount() == 0)
        return;
    AllChartsBatch batch(charts_);
    plotPending();
    ChartPoint hole;
    hole.x = OutputHistory(0, OutTime, last);
    for (int s = 0; s < kChartSeries; ++s) {
        hole.y[size_t(s)] = ChartModel::holeValue();
        hole.value[size_t(s)] = ChartModel::holeValue();
    }
    for (ChartModel* c : charts_) {
        c->appendPoint(hole);
        c->drawNewPoints();
    }
}

void LiveGraphs::AdvancePointIndex()
{
    ++PointIndex_;
    if (PointIndex_ > kGraphRingSize)
        PointIndex_ = PointRestart_;
}

double LiveGraphs::seriesValue(int graph, int s, int k) const
{
    switch (graph) {
    case GraphRate:
        return OutputHistory(s, OutRateItem, k);
    case GraphDeviation:
        return OutputHistory(s, OutDeviationItem, k);
    case GraphPower:
        return OutputHistory(s, OutPowerItem, k);
    default:
        return SensorHistory(s, SensorRateItem, k);
    }
}

void LiveGraphs::PlotData(int count, int start)
{
    if (count <= 0 || start < 1 || start + count - 1 > kGraphRingSize)
        return;
    AllChartsBatch batch(charts_);

    if (charts_[GraphRate]->pointCount() + count - 1 >= kChartPointLimit)
        GraphRollover();

    for (int k = start; k < start + count; ++k) {
        const double x = OutputHistory(0, OutTime, k);
        for (int g = 0; g < GraphCount; ++g) {
            ChartModel& c = *charts_[size_t(g)];
            const double yMax = c.YMax();
            const double yMin = c.YMin();
            ChartPoint pt;
            pt.x = x;
            for (int s = 0; s < kChartSeries; ++s) {
                const double v = seriesValue(g, s, k);
                const bool hole = g != GraphSensorRate && currentPower_[size_t(s)] < 0.0;
                double y = v;
                if (hole)
                    y = ChartModel::holeValue();
                else if (v > yMax)
                    y = yMax;
                else if (v < yMin)
                    y = yMin;
                pt.y[size_t(s)] = y;
                pt.value[size_t(s)] = v;
            }
            c.appendPoint(pt);
        }
    }
    for (ChartModel* c : charts_)
        c->drawNewPoints();

    // Scroll: the newest point goes to three quarters of the window.
    const double t = OutputHistory(0, OutTime, start + count - 1);
    for (ChartModel* c : charts_) {
        if (t >= c->xAxisMax()) {
            c->setXMin(std::nearbyint(t - 0.75 * c->XWide()));
            c->setXWide(c->XWide());
        }
    }
}

void LiveGraphs::GraphRollover()
{
    const ChartModel& rate = *charts_[GraphRate];
    const int n = rate.pointCount();
    // Count the newest points still inside the rate chart's window; the last
    // point always counts. Points are counted 1..n here.
    int kept = 1;
    int j = n - 1;
    while (j >= 2 && rate.point(j - 1).x >= rate.XMin()) {
        --j;
        ++kept;
    }
    if (n == 0)
        kept = 0;
    for (ChartModel* c : charts_) {
        ChartBatch batch(*c);
        c->keepNewest(kept);
    }
}
