#ifndef DCX_STORE_DBUPGRADE_H
#define DCX_STORE_DBUPGRADE_H

#include <QString>

// Bringing older parameter files up to the program's version.

enum class UpgradeResult {
    Current,      // same version: used as it is
    Upgraded,     // rebuilt as a current file, the old one kept as a backup
    Newer,        // newer than the program: the critical error was raised
    Failed,       // reported; the file is as before
    NotADatabase, // not a readable database file: left to the load to report
};

// Compares the file's "Version" with the program's. An older file (no
// property counts as "1.00") is copied to its backup name (never overwriting
// an existing backup) and rebuilt as a current file with its data copied
// column by column and every table padded to its full row count; the new
// file replaces the old one in one rename. A newer file ends the program
// through CriticalError. instrumentId is the identification text of the
// connected instrument ("" when none): files of 1.01..1.08 get input code 46
// for instruments from firmware 4.13 on.
UpgradeResult UpgradeDB(const QString& fileName, const QString& instrumentId = {});

// The value of a property of the file; "" on any failure (missing property,
// missing table, not a database).
QString GetDBProperty(const QString& fileName, const QString& propertyName);

// Where the older file is kept: "/data/DCX700.mdb" at "1.08" ->
// "/data/DCX700_108.mdb".
QString DBBackupName(const QString& fileName, const QString& fileVersion);

#endif
