#include "remote/metricsformat.h"

#include "remote/remotestate.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace {

// Divisors, not factors: dividing by an exact power of ten gives the double
// nearest the true value (2.5 A/s is exactly 2.5e-10 m/s).
constexpr double kAngstromsPerMetre = 1e10;
constexpr double kKiloAngstromsPerMetre = 1e7;
constexpr double kPercentPerRatio = 100;

QByteArray escapeLabel(const QString& v)
{
    QByteArray out;
    for (const char c : v.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

QByteArray number(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "+Inf" : "-Inf";
    return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
}

class Writer {
public:
    explicit Writer(const QString& instrument) : label_("instrument=\"" + escapeLabel(instrument) + '"') {}

    void family(const char* name, const char* type, const char* help)
    {
        name_ = name;
        out_ += "# HELP " + name_ + ' ' + help + "\n# TYPE " + name_ + ' ' + type + '\n';
    }
    void sample(double v, const QByteArray& extra = {})
    {
        out_ += name_ + '{' + label_;
        if (!extra.isEmpty())
            out_ += ',' + extra;
        out_ += "} " + number(v) + '\n';
    }
    // One sample per output or sensor, labelled with its number 1..4.
    void perChannel(const char* label, const std::array<double, 4>& values, double divisor)
    {
        for (size_t k = 0; k < values.size(); ++k)
            sample(values[k] / divisor, QByteArray(label) + "=\"" + QByteArray::number(k + 1) + '"');
    }
    QByteArray take() { return std::move(out_); }

private:
    QByteArray label_;
    QByteArray name_;
    QByteArray out_;
};

} // namespace

QByteArray FormatMetrics(const RemoteState& s, const QString& instrument, const QString& version)
{
    Writer w(instrument);
    w.family("dcx700_info", "gauge", "Instrument identification and program version; always 1.");
    w.sample(1, "identification=\"" + escapeLabel(s.identification) + "\",version=\"" + escapeLabel(version) +
                    '"');
    w.family("dcx700_link_up", "gauge", "1 when the last transaction with the instrument succeeded.");
    w.sample(s.linkUp ? 1 : 0);
    w.family("dcx700_link_status", "gauge",
             "Link status code of the last transaction (0 accepted, 1 timeout).");
    w.sample(s.linkStatus);
    w.family("dcx700_reconnects_total", "counter", "Reconnections of the instrument link since start.");
    w.sample(double(s.reconnects));
    w.family("dcx700_link_down_seconds_total", "counter",
             "Seconds spent without an instrument link since start.");
    w.sample(s.secondsWithoutLink);
    if (!s.readingsValid)
        return w.take();

    const ReadingsRecord& r = s.readings;
    w.family("dcx700_phase", "gauge",
             "Process phase code reported by the instrument (0 Stopped, 13 Deposit).");
    w.sample(r.Phase);
    w.family("dcx700_process", "gauge", "Number of the process the instrument runs.");
    w.sample(r.RunProcess);
    w.family("dcx700_layer", "gauge", "Current layer within the running process.");
    w.sample(r.RunLayer);
    w.family("dcx700_run_elapsed_seconds", "gauge", "Elapsed process time.");
    w.sample(r.ElapsedTime);
    w.family("dcx700_output_rate_meters_per_second", "gauge", "Deposition rate of each output.");
    w.perChannel("output", r.OutRate, kAngstromsPerMetre);
    w.family("dcx700_output_deviation_ratio", "gauge", "Deviation of each output from its rate setpoint.");
    w.perChannel("output", r.OutDeviation, kPercentPerRatio);
    w.family("dcx700_output_thickness_meters", "gauge", "Thickness reading of each output.");
    w.perChannel("output", r.OutThickness, kKiloAngstromsPerMetre);
    w.family("dcx700_output_power_ratio", "gauge",
             "Power of each output; negative for an output not in use.");
    w.perChannel("output", r.OutPower, kPercentPerRatio);
    w.family("dcx700_sensor_rate_meters_per_second", "gauge", "Rate measured by each sensor.");
    w.perChannel("sensor", r.SensorRate, kAngstromsPerMetre);
    w.family("dcx700_sensor_thickness_meters", "gauge", "Thickness measured by each sensor.");
    w.perChannel("sensor", r.SensorThickness, kKiloAngstromsPerMetre);
    w.family("dcx700_sensor_frequency_hertz", "gauge", "Crystal frequency of each sensor.");
    w.perChannel("sensor", r.SensorFrequency, 1.0);
    return w.take();
}
