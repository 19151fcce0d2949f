#ifndef DCX_COMMANDS_MODCOMMOPERATE_H
#define DCX_COMMANDS_MODCOMMOPERATE_H

#include "commands/readingsrecord.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// Status query and operate commands.

// "V": fills Phase, ElapsedTime, RunProcess, RunLayer, StatusExtra of
// Readings() and returns Phase; -1 on failure (nothing parsed). A phase or
// number that does not fit 16 bits fails the query with "Bad Data".
qint16 Operate_GetStatus();

// "T n" for any n, then the process query of items 1..4 of process n; returns
// that query's status (which refuses numbers outside 1..100 with "Bad Data").
qint16 Operate_SelectProcess(int process);

// "U code"; returns the link status.
qint16 Operate_Command(int code);

// Output 0: "S0" (back to automatic control) whatever the power. Any other
// output: "S", the output, a blank and the power in tenths of a percent
// (output 2, 45.5 -> "S2 455"; output 5 -> "S5 ..."). Returns the link status;
// a power whose tenths do not fit 16 bits is refused with "Bad Data".
qint16 Operate_SetPower(int output, double power);

qint16 Operate_RunProcess();
qint16 Operate_RunLayer();
double Operate_ElapsedTime();

// Pure parts, for the queries above and their tests.
// False (record untouched) when an integer field does not fit 16 bits.
bool ParseStatusReply(const QString& reply, ReadingsRecord& readings);
// The power command text; nullopt when the output or power cannot be sent.
std::optional<QString> PowerCommandText(int output, double power);

#endif
