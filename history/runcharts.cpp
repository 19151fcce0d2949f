#include "history/runcharts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

double seconds(const RunSample& first, const RunSample& s)
{
    return double(first.time.msecsTo(s.time)) / 1000.0;
}

} // namespace

RunCharts BuildRunCharts(const std::vector<RunSample>& samples, double shift)
{
    RunCharts charts;
    for (RunChart& c : charts)
        for (RunChartSeries& s : c) {
            s.x.reserve(qsizetype(samples.size()));
            s.y.reserve(qsizetype(samples.size()));
        }
    if (samples.empty())
        return charts;
    for (const RunSample& s : samples) {
        const double x = seconds(samples.front(), s) + shift;
        const ReadingsRecord& r = s.readings;
        const bool failed = s.status != 0;
        for (size_t k = 0; k < 4; ++k) {
            const bool unused = failed || r.OutPower[k] < 0;
            const std::array<double, 4> y = {unused ? kGap : r.OutRate[k], unused ? kGap : r.OutDeviation[k],
                                             unused ? kGap : r.OutPower[k], failed ? kGap : r.SensorRate[k]};
            for (size_t c = 0; c < 4; ++c) {
                charts[c][k].x.append(x);
                charts[c][k].y.append(y[c]);
            }
        }
    }
    return charts;
}

std::optional<double> LayerDepositStart(const std::vector<RunSample>& samples, int layer)
{
    for (const RunSample& s : samples) {
        const int p = s.readings.Phase;
        if (s.status == 0 && s.readings.RunLayer == layer && p >= 13 && p <= 15)
            return seconds(samples.front(), s);
    }
    return std::nullopt;
}

std::optional<double> OverlayShift(const std::vector<RunSample>& base, const std::vector<RunSample>& overlay,
                                   int layer)
{
    if (layer < 1)
        return 0.0;
    const std::optional<double> a = LayerDepositStart(base, layer);
    const std::optional<double> b = LayerDepositStart(overlay, layer);
    if (!a || !b)
        return std::nullopt;
    return *a - *b;
}

QString RunCursorText(const RunChart& chart, double x)
{
    const QVector<double>& xs = chart[0].x;
    if (xs.isEmpty())
        return {};
    auto it = std::lower_bound(xs.begin(), xs.end(), x);
    if (it == xs.end() || (it != xs.begin() && x - *(it - 1) < *it - x))
        --it;
    const qsizetype i = it - xs.begin();
    QStringList parts{QStringLiteral("t = %1 s").arg(xs[i], 0, 'f', 1)};
    for (int s = 0; s < 4; ++s) {
        const double y = chart[size_t(s)].y[i];
        parts << QStringLiteral("%1: %2").arg(s + 1).arg(std::isnan(y) ? QStringLiteral("-")
                                                                       : QString::number(y, 'f', 2));
    }
    return parts.join(QStringLiteral("   "));
}
