#ifndef DCX_APP_SENSORGRID_H
#define DCX_APP_SENSORGRID_H

#include <QString>

#include <array>

struct ReadingsRecord;

// The texts of the sensor readings grid: 5 rows by 4 columns, row 0 and
// column 0 holding the headers, rows 1..4 sensors 1..4.
constexpr int kSensorGridRows = 5;
constexpr int kSensorGridColumns = 4;

using SensorGridTexts = std::array<std::array<QString, kSensorGridColumns>, kSensorGridRows>;

// Header row and column; the reading cells are left empty.
SensorGridTexts SensorGridHeaders();

// Rate "#.0", thickness in kA "#0.000", frequency "#0.00" or "Fail" when the
// crystal reads exactly 0 Hz. Only the reading cells are filled.
SensorGridTexts SensorGridReadings(const ReadingsRecord& r);

#endif
