#ifndef DCX_HISTORY_RUNCHARTS_H
#define DCX_HISTORY_RUNCHARTS_H

#include "history/runarchive.h"

#include <QVector>

#include <array>
#include <optional>
#include <vector>

// A recorded run as the four live charts draw it (output rate, deviation,
// power, sensor rate; one series per output or sensor), against seconds from
// the run's first tick. An output not in use (negative power) and a failed
// tick are gaps (NaN), as in the live charts.

struct RunChartSeries {
    QVector<double> x;
    QVector<double> y;
};
using RunChart = std::array<RunChartSeries, 4>;
using RunCharts = std::array<RunChart, 4>;

// shift is added to every x (to lay a run over another).
RunCharts BuildRunCharts(const std::vector<RunSample>& samples, double shift = 0.0);

// Seconds from the run's first tick to the first tick of layer's deposit
// ("Deposit", "Rate Ramp" or "Ramp Deposit"); nullopt when it never deposited it.
std::optional<double> LayerDepositStart(const std::vector<RunSample>& samples, int layer);

// Where an overlay's x must move so that it lines up with the base run: 0 at
// run start (layer 0), or the difference of the two layer deposit starts;
// nullopt when either run lacks that layer.
std::optional<double> OverlayShift(const std::vector<RunSample>& base, const std::vector<RunSample>& overlay,
                                   int layer);

// The cursor readout at x on chart (0..3): the time and the four series'
// values of the tick nearest to x, "t = 125.5 s   1: 2.50   2: -   ...";
// empty when the chart has no points.
QString RunCursorText(const RunChart& chart, double x);

#endif
