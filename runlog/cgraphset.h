#ifndef DCX_RUNLOG_CGRAPHSET_H
#define DCX_RUNLOG_CGRAPHSET_H

#include "runlog/cgraph.h"
#include "runlog/livegraphs.h"

#include <QRect>
#include <QString>

#include <array>
#include <memory>

class QCustomPlot;

// The main window's four live charts in their fixed order (output rate,
// deviation, power, sensor rate) with the live data that feeds them.
class cGraphSet {
public:
    // The settings file of each chart, in chart order.
    static const std::array<const char*, GraphCount> FileNames;

    // Wraps the four plots, loads each chart's settings file from folder and
    // takes the X window and the Y range from what the file left on the chart.
    cGraphSet(const std::array<QCustomPlot*, GraphCount>& plots, const QString& folder);
    cGraphSet(const cGraphSet&) = delete;
    cGraphSet& operator=(const cGraphSet&) = delete;

    cGraph& graph(int index) const { return *graphs_[size_t(index)]; }
    LiveGraphs& live() { return *live_; }
    const LiveGraphs& live() const { return *live_; }

    // The place of every chart (all four share one rectangle).
    void setPlace(const QRect& r);

private:
    std::array<std::unique_ptr<cGraph>, GraphCount> graphs_;
    std::unique_ptr<LiveGraphs> live_;
};

#endif
