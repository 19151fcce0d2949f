#ifndef DCX_COMMANDS_READINGSRECORD_H
#define DCX_COMMANDS_READINGSRECORD_H

#include <QtGlobal>

#include <array>

// The decoded live readings of the instrument. Index k of the per-output
// arrays is output k+1, of the per-sensor arrays sensor k+1.
// Filled by Data_GetOutputs ("K1"), Data_GetSensors ("K2") and
// Operate_GetStatus ("V"); a failed query leaves every field as it was.
struct ReadingsRecord {
    // "K1": field 1, then four fields per output.
    double OutputsLeadValue = 0.0;        // stored, not shown
    std::array<double, 4> OutRate{};      // Å/s
    std::array<double, 4> OutDeviation{}; // deviation from the rate setpoint
    std::array<double, 4> OutThickness{}; // kÅ
    std::array<double, 4> OutPower{};     // percent; negative = output not in use

    // "K2": field 1, then three fields per sensor.
    double SensorsLeadValue = 0.0;           // stored, not shown
    std::array<double, 4> SensorRate{};      // Å/s
    std::array<double, 4> SensorThickness{}; // kÅ
    std::array<double, 4> SensorFrequency{}; // Hz

    // "V": five fields.
    qint16 Phase = 0;         // process phase code
    double ElapsedTime = 0.0; // seconds
    qint16 RunProcess = 0;    // 1..100
    qint16 RunLayer = 0;      // layer within the running process
    qint16 StatusExtra = 0;   // stored, not used

    bool operator==(const ReadingsRecord&) const = default;
};

// The one program-wide readings record, shared by the main window, the
// sensor window, the data log and the graphs.
ReadingsRecord& Readings();

// Operate codes queued by the main window (one pending code, None when
// nothing is queued) and turned into operate commands by the update tick.
namespace OperateCode {
constexpr qint16 None = -1;
constexpr qint16 StartProcess = 0;   // "U 0"
constexpr qint16 AbortProcess = 1;   // "U 1"
constexpr qint16 StartManLayer = 2;  // "U 2"
constexpr qint16 StopLayer = 3;      // "U 3"
constexpr qint16 NextLayer = 4;      // "U 4"
constexpr qint16 ZeroThickness = 32; // "U 32"
constexpr qint16 SelectProcess = 35; // "T n" then the four "C" queries of process n
constexpr qint16 ManualToAuto = 90;  // "S0"
constexpr qint16 ManualPower1 = 91;  // 91..94: "So p" for output o = code - 90
constexpr qint16 ManualPower4 = 94;
constexpr qint16 AutoToManual = 95; // power commands for outputs 1..4 in order
} // namespace OperateCode

#endif
