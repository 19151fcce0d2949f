#include "app/sensorgrid.h"

#include "commands/readingsrecord.h"
#include "support/numbers.h"

SensorGridTexts SensorGridHeaders()
{
    SensorGridTexts t;
    // The trailing blanks keep the headers off the grid lines.
    t[0][1] = QStringLiteral("Rate (A/s) ");
    t[0][2] = QStringLiteral("Thick (kA) ");
    t[0][3] = QStringLiteral("Freq. (Hz) ");
    for (int row = 1; row < kSensorGridRows; ++row)
        t[size_t(row)][0] = QStringLiteral("Sensor %1").arg(row);
    return t;
}

SensorGridTexts SensorGridReadings(const ReadingsRecord& r)
{
    SensorGridTexts t;
    for (int row = 1; row < kSensorGridRows; ++row) {
        const size_t s = size_t(row - 1);
        auto& cells = t[size_t(row)];
        cells[1] = FormatNumber(r.SensorRate[s], u"#.0");
        cells[2] = FormatNumber(r.SensorThickness[s], u"#0.000");
        cells[3] = r.SensorFrequency[s] == 0.0 ? QStringLiteral("Fail")
                                               : FormatNumber(r.SensorFrequency[s], u"#0.00");
    }
    return t;
}
