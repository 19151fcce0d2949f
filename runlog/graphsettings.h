#ifndef DCX_RUNLOG_GRAPHSETTINGS_H
#define DCX_RUNLOG_GRAPHSETTINGS_H

class ChartModel;

// The axis settings the graph settings window edits, as whole numbers.
struct GraphSettings {
    int xWide = 0;
    int xDiv = 0;
    int yMin = 0;
    int yMax = 0;
    int yDiv = 0;
    bool xGrid = false;
    bool yGrid = false;

    bool operator==(const GraphSettings&) const = default;
};

// The chart's current settings, each rounded to an integer (halves to even).
GraphSettings ReadGraphSettings(const ChartModel& chart);
// Sets XWide, XDiv, YMin, YMax, YDiv and the two grid switches in that order,
// then saves the chart's settings file. Returns what the save returned.
bool ApplyGraphSettings(ChartModel& chart, const GraphSettings& s);

#endif
