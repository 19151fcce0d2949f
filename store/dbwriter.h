#ifndef DCX_STORE_DBWRITER_H
#define DCX_STORE_DBWRITER_H

#include "store/dberror.h"
#include "store/model.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

// Writes model as a complete new parameter file in place of fileName: the
// file is built beside the target, flushed to disk and only then renamed over
// it, so the target is always either the old file or the new one. On any
// failure the old file is untouched and the partial file removed. Layer rows
// are filled only for the slots the processes' walks reach; the others hold
// their keys. afterPad runs once the tables exist (the debug dump).
std::optional<DbError> WriteDatabase(const ParameterModel& model, const QString& fileName,
                                     const std::function<void()>& afterPad = {});

// Creates the seven tables, the property table and the "Version" row.
std::optional<DbError> CreateSchema(QSqlDatabase& db);

// Adds rows so that every table holds its full set of keys, the new keys
// continuing from the row count.
std::optional<DbError> PadTables(QSqlDatabase& db);

#endif
