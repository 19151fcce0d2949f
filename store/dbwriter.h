#ifndef DCX_STORE_DBWRITER_H
#define DCX_STORE_DBWRITER_H

#include "store/dberror.h"
#include "store/model.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryFile>

#include <functional>
#include <memory>
#include <optional>

// Writes model as a complete new parameter file in place of fileName: the
// file is built beside the target, flushed to disk and only then renamed over
// it, so the target is always either the old file or the new one. On any
// failure the old file is untouched and the partial file removed; partial
// files that killed saves of the same file left behind are removed first.
// Layer rows are filled only for the slots the processes' walks reach; the
// others hold their keys. afterPad runs once the tables exist (the debug
// dump).
std::optional<DbError> WriteDatabase(const ParameterModel& model, const QString& fileName,
                                     const std::function<void()>& afterPad = {});

// Creates the seven tables, the property table and the "Version" row.
std::optional<DbError> CreateSchema(QSqlDatabase& db);

// Adds rows so that every table holds its full set of keys, the new keys
// continuing from the row count.
std::optional<DbError> PadTables(QSqlDatabase& db);

// The file a write builds beside target before renaming it over it:
// ".<target name>.<6 letters or digits>", created open in file and locked
// until file is destroyed (closing a QTemporaryFile keeps its handle), so
// that the clean-up below leaves it alone while its writer lives. Returns
// its path, or empty with error set.
QString CreatePartialFile(const QFileInfo& target, std::unique_ptr<QTemporaryFile>& file, QString* error);

// Removes the partial files of target that killed writes left behind:
// regular files of exactly that name pattern in target's folder that no
// live writer holds locked (the lock dies with its process). Best effort.
void RemoveLeftoverPartials(const QFileInfo& target);

#endif
