#ifndef DCX_STORE_DBDUMP_H
#define DCX_STORE_DBDUMP_H

#include "store/model.h"

#include <QString>
#include <QStringList>

// The text dump of a model: processes, layer slots 1 to 100 as their wire
// integers, films as their wire integers, materials. The system record,
// inputs and outputs are not dumped.
QStringList DumpLines(const ParameterModel& model);

// Writes the dump of the program-wide model to fileName (relative names land
// in the current folder), replacing any old file. Lines end in CR LF.
void DumpParameters(const QString& fileName);
void DumpParameters(const QString& fileName, const ParameterModel& model);

#endif
