#include "commands/modcommdata.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"

#include <array>

namespace {

// Per-output and per-sensor value groups in the order the replies carry them.
using Quad = std::array<double, 4>;
constexpr std::array<Quad ReadingsRecord::*, 4> kOutputFields = {
    &ReadingsRecord::OutRate, &ReadingsRecord::OutDeviation, &ReadingsRecord::OutThickness,
    &ReadingsRecord::OutPower};
constexpr std::array<Quad ReadingsRecord::*, 3> kSensorFields = {
    &ReadingsRecord::SensorRate, &ReadingsRecord::SensorThickness, &ReadingsRecord::SensorFrequency};

// Field 1 is the lead value; then groups of fields, one group per channel.
template <std::size_t N>
void parseChannels(const QString& reply, double& lead, const std::array<Quad ReadingsRecord::*, N>& fields,
                   ReadingsRecord& r)
{
    const ReplyFields f(reply);
    lead = LeadingNumber(f.field(1));
    const int last = 1 + 4 * static_cast<int>(N);
    for (int i = 2; i <= f.count() && i <= last; ++i) {
        const int k = (i - 2) / static_cast<int>(N);
        const int which = (i - 2) % static_cast<int>(N);
        (r.*fields[which])[k] = LeadingNumber(f.field(i));
    }
}

} // namespace

void ParseOutputsReply(const QString& reply, ReadingsRecord& readings)
{
    parseChannels(reply, readings.OutputsLeadValue, kOutputFields, readings);
}

void ParseSensorsReply(const QString& reply, ReadingsRecord& readings)
{
    parseChannels(reply, readings.SensorsLeadValue, kSensorFields, readings);
}

qint16 Data_GetOutputs()
{
    const auto reply = Transact(QStringLiteral("K1"));
    if (!reply)
        return -1;
    ParseOutputsReply(*reply, Readings());
    return 0;
}

qint16 Data_GetSensors()
{
    const auto reply = Transact(QStringLiteral("K2"));
    if (!reply)
        return -1;
    ParseSensorsReply(*reply, Readings());
    return 0;
}
