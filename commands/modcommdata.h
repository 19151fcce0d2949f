#ifndef DCX_COMMANDS_MODCOMMDATA_H
#define DCX_COMMANDS_MODCOMMDATA_H

#include "commands/readingsrecord.h"

#include <QString>
#include <QtGlobal>

// Readings queries. Each fills the program-wide Readings() record and returns
// 0, or -1 when the link status after the transaction is not 0 (nothing is
// parsed then).

// "K1": the four outputs (rate, deviation, thickness, power each).
qint16 Data_GetOutputs();
// "K2": the four sensors (rate, thickness, frequency each).
qint16 Data_GetSensors();

// Pure parsers of the replies, used by the queries above. Fields beyond
// those listed are ignored, missing ones leave the old values.
void ParseOutputsReply(const QString& reply, ReadingsRecord& readings);
void ParseSensorsReply(const QString& reply, ReadingsRecord& readings);

#endif
