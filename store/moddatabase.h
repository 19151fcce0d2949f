#ifndef DCX_STORE_MODDATABASE_H
#define DCX_STORE_MODDATABASE_H

#include "store/dbupgrade.h"

// The parameter database of the program-wide model, named by
// Config().DBFileName.

// Resets Model() and reads the file into it, with the "Open Database" progress window and
// the load's repairs. On failure shows "Error reading " + the record's key,
// reports the error, sets DBFileName to "Default.mdb" and resets the model.
// Writes "DBOpen.txt" when Config().DebugDump is 1. True when the file was
// read: the caller then rebuilds its tree and caption. instrumentId is the
// identification of the connected instrument (Comm_InstrumentID(), "" when
// none); it decides the input codes of an upgraded older file.
bool DBOpen(const QString& instrumentId = {});

// Writes Model() in place of the file, crash-safe: on failure shows
// "Error saving " + the record's key, reports the error, and the old file is
// as it was. Writes "DBSave.txt" when Config().DebugDump is 1. The model is
// never changed. True when the file was written.
bool DBSave();

// Brings DBFileName up to the program's version before it is opened.
UpgradeResult InitDBPointers(const QString& instrumentId = {});

#endif
