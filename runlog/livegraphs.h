#ifndef DCX_RUNLOG_LIVEGRAPHS_H
#define DCX_RUNLOG_LIVEGRAPHS_H

#include "commands/readingsrecord.h"
#include "runlog/chartmodel.h"

#include <array>
#include <vector>

// Samples kept in the ring buffers.
constexpr int kGraphRingSize = 500;

// The four live charts in their fixed order.
enum GraphIndex { GraphRate = 0, GraphDeviation = 1, GraphPower = 2, GraphSensorRate = 3, GraphCount = 4 };

// The live graphs of a run: one sample of every output and sensor is stored
// per active update tick in a ring of 500, and appended to the four charts
// one tick later. The charts scroll by three quarters of their window when
// the newest point reaches the right edge, and drop the points that left the
// rate chart's window when a chart would hold more than 500 points.
class LiveGraphs {
public:
    // Items of OutputHistory and SensorHistory.
    enum OutputItem {
        OutTime = 1,
        OutRateItem = 2,
        OutDeviationItem = 3,
        OutThicknessItem = 4,
        OutPowerItem = 5
    };
    enum SensorItem { SensorRateItem = 1, SensorThicknessItem = 2, SensorFrequencyItem = 3 };

    // The charts in Graphs order: output rate, deviation, power, sensor rate.
    // Not owned; they must outlive this object.
    explicit LiveGraphs(const std::array<ChartModel*, GraphCount>& charts);

    // Empties the ring and the charts, X windows back to 0..XWide, and stores
    // the current readings as sample 1 without appending anything.
    void InitGraph(const ReadingsRecord& r, double timeOfDay, double runStartTime);
    // Stores the current readings at PointIndex and appends every sample
    // stored since the last call. Times count from runStartTime (seconds since
    // midnight; a run that crosses midnight keeps counting up).
    void UpdateGraph(const ReadingsRecord& r, double timeOfDay, double runStartTime);
    // Appends what is stored but not yet drawn, then a hole in every series
    // at the last time: the line breaks there (the link was lost).
    void MarkGap();
    // PointIndex on by one; past the end of the ring back to PointRestart.
    void AdvancePointIndex();

    // Appends count samples from ring position start to all four charts.
    void PlotData(int count, int start);
    // Drops the points of all four charts that left the rate chart's window.
    void GraphRollover();

    int PointIndex() const { return PointIndex_; }
    int LastPlotted() const { return LastPlotted_; }
    int PointRestart() const { return PointRestart_; }
    void setPointRestart(int v) { PointRestart_ = v; }

    // output/sensor 0..3, item as above, sample 1..500.
    double OutputHistory(int output, int item, int sample) const;
    double SensorHistory(int sensor, int item, int sample) const;

    ChartModel& chart(int g) const { return *charts_[size_t(g)]; }

private:
    static size_t outIndex(int output, int item, int sample);
    static size_t sensorIndex(int sensor, int item, int sample);
    void plotPending();
    void storeSample(const ReadingsRecord& r, double timeOfDay, double runStartTime);
    double seriesValue(int graph, int s, int k) const;

    std::array<ChartModel*, GraphCount> charts_;
    std::vector<double> outputHistory_;
    std::vector<double> sensorHistory_;
    // OutPower of the latest readings: decides the gaps of the output charts.
    std::array<double, 4> currentPower_{};
    int PointIndex_ = 1;
    int LastPlotted_ = 1;
    int PointRestart_ = 1;
};

#endif
