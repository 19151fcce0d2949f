// The ring buffers, plotting indices, scrolling, point dropping, clamping and
// gaps of the live graphs, on headless charts.
#include "runlog/livegraphs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kRunStart = 36000.0; // 10:00:00

// Four charts with a wide Y range and the given X window, fed tick by tick
// the way the update loop feeds them: store, plot, advance.
struct Rig {
    std::array<std::unique_ptr<ChartModel>, GraphCount> charts;
    std::unique_ptr<LiveGraphs> graphs;
    ReadingsRecord r;
    double now = kRunStart;

    explicit Rig(double xWide = 100.0)
    {
        std::array<ChartModel*, GraphCount> ptrs{};
        for (int g = 0; g < GraphCount; ++g) {
            charts[size_t(g)] = std::make_unique<ChartModel>();
            ChartModel& c = *charts[size_t(g)];
            c.setCfg_Filename(QStringLiteral("/nonexistent/chart.OC2"));
            c.setXMin(0);
            c.setXWide(xWide);
            c.setYMin(-1000);
            c.setYMax(100000);
            ptrs[size_t(g)] = &c;
        }
        graphs = std::make_unique<LiveGraphs>(ptrs);
        for (int i = 0; i < 4; ++i)
            r.OutPower[size_t(i)] = 50.0;
        graphs->InitGraph(r, now, kRunStart);
    }
    // One active tick at time of day `at`; every reading is set to `v` (plus
    // the series number for outputs and sensors, so series stay apart).
    void tick(double at, double v)
    {
        now = at;
        for (int i = 0; i < 4; ++i) {
            r.OutRate[size_t(i)] = v + i;
            r.OutDeviation[size_t(i)] = v + 10 * i;
            r.SensorRate[size_t(i)] = v + 100 * i;
        }
        graphs->UpdateGraph(r, now, kRunStart);
        graphs->AdvancePointIndex();
    }
    ChartModel& chart(int g) { return *charts[size_t(g)]; }
};

} // namespace

TEST(LiveGraphs, FirstTickAppendsNothingSecondAppendsSampleOne)
{
    Rig rig;
    rig.tick(kRunStart + 0.5, 7.0); // overwrites sample 1
    for (int g = 0; g < GraphCount; ++g)
        EXPECT_EQ(rig.chart(g).pointCount(), 0) << "chart " << g;
    EXPECT_EQ(rig.graphs->PointIndex(), 2);

    rig.tick(kRunStart + 1.0, 8.0);
    for (int g = 0; g < GraphCount; ++g)
        ASSERT_EQ(rig.chart(g).pointCount(), 1) << "chart " << g;
    const ChartPoint& rate = rig.chart(GraphRate).point(0);
    // Every value here is exact in binary.
    EXPECT_EQ(rate.x, 0.5) << "x";
    EXPECT_EQ(rate.y[0], 7.0) << "y[0]";
    EXPECT_EQ(rate.y[3], 10.0) << "y[3]";
    EXPECT_EQ(rig.chart(GraphDeviation).point(0).y[2], 27.0) << "y[2]";
    EXPECT_EQ(rig.chart(GraphPower).point(0).y[1], 50.0) << "y[1]";
    EXPECT_EQ(rig.chart(GraphSensorRate).point(0).y[1], 107.0) << "y[1]";
    // Sample 2 is in the ring but not yet on the charts.
    EXPECT_EQ(rig.graphs->OutputHistory(0, LiveGraphs::OutTime, 2), 1.0)
        << "rig.graphs->OutputHistory(0, LiveGraphs::OutTime, 2)";

    // A new run start empties everything again.
    rig.graphs->InitGraph(rig.r, kRunStart + 2.0, kRunStart + 2.0);
    EXPECT_EQ(rig.graphs->PointIndex(), 1) << "PointIndex";
    EXPECT_EQ(rig.graphs->LastPlotted(), 1) << "LastPlotted";
    for (int g = 0; g < GraphCount; ++g)
        EXPECT_EQ(rig.chart(g).pointCount(), 0);
}

TEST(LiveGraphs, EverySampleAppendedOnceAcrossRingWrap)
{
    // A window far wider than the run keeps every point until 500 are reached.
    Rig rig(100000.0);
    int previousNewest = 0;
    for (int i = 1; i <= 1300; ++i) {
        rig.tick(kRunStart + 0.5 * i, i);
        if (i < 2)
            continue;
        for (int g = 0; g < GraphCount; ++g) {
            const ChartModel& c = rig.chart(g);
            ASSERT_GE(c.pointCount(), 1);
            ASSERT_LE(c.pointCount(), 500) << "tick " << i;
            // The newest point is the sample of the previous tick...
            EXPECT_DOUBLE_EQ(c.points().back().x, 0.5 * (i - 1)) << "tick " << i << " chart " << g;
            // ...and the points run without gap or repeat.
            for (int p = 1; p < c.pointCount(); ++p)
                ASSERT_DOUBLE_EQ(c.point(p).x - c.point(p - 1).x, 0.5) << "tick " << i << " chart " << g;
        }
        const int newest = int(rig.chart(GraphRate).points().back().y[0]);
        EXPECT_EQ(newest, previousNewest + 1) << "tick " << i;
        previousNewest = newest;
    }
    // The ring position wrapped twice: tick 1300 stored at 300, next goes to 301.
    EXPECT_EQ(rig.graphs->PointIndex(), 301) << "PointIndex";
}

TEST(LiveGraphs, RolloverKeepsOnlyPointsInsideRateWindowInAllCharts)
{
    // 60 s window, a sample each 0.5 s. The charts reach 500 points (t = 0.5
    // .. 250) at tick 501; the window has then scrolled every 15 s from t = 60
    // on, last at t = 240 to 195..255. Tick 502 drops everything before 195
    // (111 points remain) and appends t = 250.5.
    Rig rig(60.0);
    for (int i = 1; i <= 501; ++i)
        rig.tick(kRunStart + 0.5 * i, i);
    for (int g = 0; g < GraphCount; ++g) {
        EXPECT_EQ(rig.chart(g).pointCount(), 500) << "chart " << g;
        EXPECT_EQ(rig.chart(g).xAxisMin(), 195.0) << "chart " << g;
        EXPECT_EQ(rig.chart(g).xAxisMax(), 255.0) << "chart " << g;
    }
    rig.tick(kRunStart + 0.5 * 502, 502);
    for (int g = 0; g < GraphCount; ++g) {
        const ChartModel& c = rig.chart(g);
        ASSERT_EQ(c.pointCount(), 112) << "chart " << g;
        EXPECT_EQ(c.point(0).x, 195.0) << "x";
        EXPECT_EQ(c.points().back().x, 250.5) << "x";
        for (int p = 1; p < c.pointCount(); ++p)
            ASSERT_DOUBLE_EQ(c.point(p).x - c.point(p - 1).x, 0.5);
    }
    // The values travel with their times: t = 195 is the sample of tick 390.
    EXPECT_EQ(rig.chart(GraphRate).point(0).y[0], 390.0) << "y[0]";
    EXPECT_EQ(rig.chart(GraphSensorRate).point(0).y[2], 590.0) << "y[2]";
}

TEST(LiveGraphs, ClampsDrawnValuesButKeepsTrueOnes)
{
    Rig rig;
    ChartModel& rate = rig.chart(GraphRate);
    rate.setYMin(0);
    rate.setYMax(10);
    rig.tick(kRunStart + 0.5, 12.5); // series 1: 12.5 .. series 4: 15.5
    rig.r.OutRate[0] = -3.0;
    rig.graphs->UpdateGraph(rig.r, kRunStart + 1.0, kRunStart);
    rig.graphs->AdvancePointIndex();
    rig.tick(kRunStart + 1.5, 0); // appends the -3 sample

    ASSERT_EQ(rate.pointCount(), 2);
    EXPECT_EQ(rate.point(0).y[0], 10.0) << "y[0]";
    EXPECT_EQ(rate.point(0).value[0], 12.5) << "value[0]";
    EXPECT_EQ(rate.point(1).y[0], 0.0) << "y[0]";
    EXPECT_EQ(rate.point(1).value[0], -3.0) << "value[0]";
    EXPECT_EQ(rig.graphs->OutputHistory(0, LiveGraphs::OutRateItem, 1), 12.5)
        << "rig.graphs->OutputHistory(0, LiveGraphs::OutRateItem, 1)";
    EXPECT_EQ(rig.graphs->OutputHistory(0, LiveGraphs::OutRateItem, 2), -3.0)
        << "rig.graphs->OutputHistory(0, LiveGraphs::OutRateItem, 2)";
    // The other charts keep their own ranges: 12.5 fits the deviation chart.
    EXPECT_DOUBLE_EQ(rig.chart(GraphDeviation).point(0).y[0], 12.5);
}

TEST(LiveGraphs, UnusedOutputIsAGapInOutputChartsOnly)
{
    Rig rig;
    rig.r.OutPower[1] = -1.0;
    rig.r.SensorFrequency[1] = 5.9e6;
    rig.tick(kRunStart + 0.5, 3.0);
    rig.tick(kRunStart + 1.0, 4.0);
    for (int g : {GraphRate, GraphDeviation, GraphPower}) {
        const ChartPoint& p = rig.chart(g).point(0);
        EXPECT_FALSE(std::isnan(p.y[0])) << "chart " << g;
        EXPECT_TRUE(std::isnan(p.y[1])) << "chart " << g;
        EXPECT_FALSE(std::isnan(p.y[2])) << "chart " << g;
    }
    EXPECT_DOUBLE_EQ(rig.chart(GraphSensorRate).point(0).y[1], 103.0);
    // The ring keeps the readings, thickness and frequency included.
    EXPECT_EQ(rig.graphs->OutputHistory(1, LiveGraphs::OutPowerItem, 1), -1.0)
        << "rig.graphs->OutputHistory(1, LiveGraphs::OutPowerItem, 1)";
    EXPECT_EQ(rig.graphs->SensorHistory(1, LiveGraphs::SensorFrequencyItem, 1), 5.9e6)
        << "rig.graphs->SensorHistory(1, LiveGraphs::SensorFrequencyItem, 1)";

    // The gap follows the power of the latest readings: an output switched
    // off draws its previous (still powered) sample as a gap too.
    rig.r.OutPower[1] = 40.0;
    rig.tick(kRunStart + 1.5, 5.0);
    EXPECT_FALSE(std::isnan(rig.chart(GraphRate).point(1).y[1]));
    rig.r.OutPower[1] = -1.0;
    rig.tick(kRunStart + 2.0, 6.0);
    EXPECT_TRUE(std::isnan(rig.chart(GraphRate).point(2).y[1]));
}
