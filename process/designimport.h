#ifndef DCX_PROCESS_DESIGNIMPORT_H
#define DCX_PROCESS_DESIGNIMPORT_H

#include <QString>

struct ParameterModel;

// Import of a layer design exported as CSV (one layer per line; field 3 the
// thickness in kÅ, field 4 the material matched against the film names) as
// a new process of the model. Messages go through the dialog seam, errors to
// the error handler.

enum class ImportEnd {
    Imported,  // the whole file became a process
    NoProcess, // every process holds layers; nothing changed
    Truncated, // no free layer slot or no usable film; the layers before stay
    BadLine,   // a thickness that is not a number; the layers before stay
    FileError, // the file could not be read; nothing changed
    NoLayers,  // the file holds no line of a layer; nothing changed
};

struct ImportOutcome {
    ImportEnd end = ImportEnd::FileError;
    int process = 0;      // the process filled, 0 when none
    int count = 0;        // layers imported
    int line = 0;         // the line that stopped a BadLine import
    QString finalMessage; // "Process '...' imported with n layers." ...
};

// showFinalMessage false: the closing message is only returned (dcx700ctl
// prints it on stdout).
ImportOutcome ImportMacleod(ParameterModel& model, const QString& fileName, bool showFinalMessage = true);

#endif
