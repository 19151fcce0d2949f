#ifndef DCX_RUNLOG_CHARTCONFIG_H
#define DCX_RUNLOG_CHARTCONFIG_H

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// Number of series of every live chart: one per output or per sensor.
constexpr int kChartSeries = 4;

struct ChartAxisConfig {
    QString label;
    double min = 0.0;
    double max = 100.0;
    double gridSpacing = 10.0;
    bool gridVisible = true;

    bool operator==(const ChartAxisConfig&) const = default;
};

struct ChartSeriesConfig {
    QString name;
    quint32 colour = 0xFFFFFF; // 0xRRGGBB
    double lineWidth = 1.5;

    bool operator==(const ChartSeriesConfig&) const = default;
};

// Everything a chart settings file stores about one chart.
struct ChartConfig {
    QString title;
    quint32 background = 0x000000; // 0xRRGGBB
    quint32 foreground = 0xFFFFFF; // axes, labels and text
    bool legendVisible = true;
    ChartAxisConfig xAxis;
    ChartAxisConfig yAxis;
    std::array<ChartSeriesConfig, kChartSeries> series;

    bool operator==(const ChartConfig&) const = default;
};

// The chart settings files are plain INI-style text, one per chart:
//
//   ; DCX700 Comm chart settings
//   [Chart]
//   Title=Output Rate
//   Background=#000000        colours are #RRGGBB
//   Foreground=#FFFFFF
//   Legend=1
//   [XAxis]                   [YAxis] has the same keys
//   Label=Time (s)
//   Min=0
//   Max=100                   a saved file always holds the window 0..width
//   GridSpacing=10
//   GridVisible=1
//   [Series1]                 [Series2] .. [Series4]
//   Name=Output 1
//   Colour=#00FF00
//   Width=1.5
//
// Section and key names are matched ignoring case; numbers use "." as the
// decimal point; lines starting with ';' or '#' are comments. A key that is
// missing or does not parse keeps the chart's built-in default.

// Built-in settings of the chart whose file has this name ("AVG_DEP.OC2",
// "DEV_DEP.OC2", "PWR_DEP.OC2", "CH_DEP.OC2"; path and case do not matter).
// Another name gets the output-rate defaults with a neutral title.
ChartConfig DefaultChartConfig(const QString& fileName);

// Text of a settings file for cfg.
QString ChartConfigToText(const ChartConfig& cfg);
// Reads settings text over base. nullopt when the text holds no known section
// (not a chart settings file at all).
std::optional<ChartConfig> ChartConfigFromText(const QString& text, const ChartConfig& base);

// The existing file that path names when case is ignored in its file name:
// the exact name first, then any entry of its folder that equals it ignoring
// case. nullopt when there is none.
std::optional<QString> FindFileIgnoringCase(const QString& path);

// Loads the file that path names (case ignored) over base; nullopt when it is
// missing, unreadable or not a chart settings file.
std::optional<ChartConfig> LoadChartConfig(const QString& path, const ChartConfig& base);
// Writes cfg to path exactly as named, replacing the file atomically.
bool SaveChartConfig(const QString& path, const ChartConfig& cfg);

#endif
