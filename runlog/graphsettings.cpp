#include "runlog/graphsettings.h"

#include "runlog/chartmodel.h"

#include <cmath>

namespace {
int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}
} // namespace

GraphSettings ReadGraphSettings(const ChartModel& chart)
{
    GraphSettings s;
    s.xWide = roundHalfEven(chart.XWide());
    s.xDiv = roundHalfEven(chart.XDiv());
    s.yMin = roundHalfEven(chart.YMin());
    s.yMax = roundHalfEven(chart.YMax());
    s.yDiv = roundHalfEven(chart.YDiv());
    s.xGrid = chart.XGrid_Enable();
    s.yGrid = chart.YGrid_Enable();
    return s;
}

bool ApplyGraphSettings(ChartModel& chart, const GraphSettings& s)
{
    ChartBatch batch(chart);
    chart.setXWide(s.xWide);
    chart.setXDiv(s.xDiv);
    chart.setYMin(s.yMin);
    chart.setYMax(s.yMax);
    chart.setYDiv(s.yDiv);
    chart.setYGrid_Enable(s.yGrid);
    chart.setXGrid_Enable(s.xGrid);
    return chart.Cfg_Save();
}
