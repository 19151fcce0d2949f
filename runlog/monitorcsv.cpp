#include "runlog/monitorcsv.h"

#include "runlog/phasetext.h"
#include "support/numbers.h"

#include <QStringList>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// Number of value fields after phase_text: 4 per output, 3 per sensor.
constexpr int kValueFields = 4 * 4 + 4 * 3;

QString fmt(double v, const char* pattern)
{
    return FormatNumber(v, QString::fromLatin1(pattern));
}

} // namespace

QString MonitorCsvHeader()
{
    QStringList h{QStringLiteral("time"), QStringLiteral("elapsed"), QStringLiteral("phase"),
                  QStringLiteral("phase_text")};
    for (int k = 1; k <= 4; ++k)
        for (const char* f : {"rate", "dev", "thick", "power"})
            h << QStringLiteral("out%1_%2").arg(k).arg(QLatin1String(f));
    for (int k = 1; k <= 4; ++k)
        for (const char* f : {"rate", "thick", "freq"})
            h << QStringLiteral("sens%1_%2").arg(k).arg(QLatin1String(f));
    return h.join(QLatin1Char(','));
}

QString MonitorCsvLine(const QDateTime& when, const ReadingsRecord& r)
{
    QStringList f{when.toString(kTimeFormat), fmt(r.ElapsedTime, "#0.0"), QString::number(r.Phase),
                  PhaseText(r.Phase)};
    for (size_t k = 0; k < 4; ++k)
        f << fmt(r.OutRate[k], "#0.00") << fmt(r.OutDeviation[k], "#0.0") << fmt(r.OutThickness[k], "#0.000")
          << fmt(r.OutPower[k], "#0.0");
    for (size_t k = 0; k < 4; ++k)
        f << fmt(r.SensorRate[k], "#0.00") << fmt(r.SensorThickness[k], "#0.000")
          << fmt(r.SensorFrequency[k], "#0.00");
    return f.join(QLatin1Char(','));
}

QString MonitorCsvFailedLine(const QDateTime& when, const QString& statusText)
{
    QString s = when.toString(kTimeFormat) + QStringLiteral(",,,") + statusText;
    s += QString(kValueFields, QLatin1Char(','));
    return s;
}

QDateTime MonitorCsvLineTime(const QString& line)
{
    return QDateTime::fromString(line.section(QLatin1Char(','), 0, 0), kTimeFormat);
}
