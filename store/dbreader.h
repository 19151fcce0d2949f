#ifndef DCX_STORE_DBREADER_H
#define DCX_STORE_DBREADER_H

#include "store/dberror.h"
#include "store/model.h"

#include <QString>

#include <optional>

// Reads the whole parameter file into model, in one transaction: processes
// with the layers their walks reach, then films, materials, the system row,
// inputs and outputs. Rows the model needs and the file lacks are added to
// the file; layers with a bad film number, output, power or slew rate are
// repaired (a film number of 0 or below is reported through dialogs()).
// Progress goes to progress(). On failure the model is half read: the caller
// resets it. A file that is not a readable database is never modified.
std::optional<DbError> ReadDatabase(const QString& fileName, ParameterModel& model);

#endif
