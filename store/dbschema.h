#ifndef DCX_STORE_DBSCHEMA_H
#define DCX_STORE_DBSCHEMA_H

#include "store/model.h"

#include <QString>
#include <QStringList>

#include <span>
#include <variant>

// The parameter database layout: seven tables, one per model table, and the
// property table holding the file's "Version". Column names match
// case-insensitively when a file is read.

// The version text of files this program writes.
QString DBProgramVersion();

enum class ColType { Integer, Double, Boolean, Text };

// One column bound to a field of a record. Booleans live in Double fields
// (the ramp switches, 1.0 / 0.0).
template <typename Record>
struct DbColumn {
    const char* name;
    ColType type;
    std::variant<qint16 Record::*, double Record::*, Name16 Record::*> field;
};

enum class DbTable { Processes, Layers, Films, Materials, System, Inputs, Outputs };

struct DbTableInfo {
    DbTable id;
    const char* name;
    const char* key; // nullptr for the one-row System table
    int rows;        // full row count
};

// The seven tables in load order.
std::span<const DbTableInfo> DbTables();
const DbTableInfo& DbTableOf(DbTable t);

// The data columns of each table (the key column excluded), in the order the
// load reads them.
std::span<const DbColumn<ProcessRecord>> ProcessColumns();
std::span<const DbColumn<LayerRecord>> LayerColumns();
std::span<const DbColumn<FilmRecord>> FilmColumns();
std::span<const DbColumn<MaterialRecord>> MaterialColumns();
std::span<const DbColumn<SystemRecord>> SystemColumns();
std::span<const DbColumn<InputRecord>> InputColumns();
std::span<const DbColumn<OutputRecord>> OutputColumns();

// Every column name of a table, key first, spelled as the schema spells them.
QStringList DbColumnNames(DbTable t);

// SQL statements that create an empty current file: the seven tables, the
// property table and its "Version" row.
QStringList DbCreateStatements();

// An identifier in double quotes, for names with blanks ("Min Freq").
QString SqlName(const QString& name);

#endif
