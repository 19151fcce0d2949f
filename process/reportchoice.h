#ifndef DCX_PROCESS_REPORTCHOICE_H
#define DCX_PROCESS_REPORTCHOICE_H

#include "process/processreport.h"

#include <QString>

struct ParameterModel;

// File, "Print/Export Process...": which process, and printed or saved where.
// Asks through the dialog seam: the process number (offering the process of
// the selected tree node), then print or save, then the file (PDF or CSV by
// the extension chosen; PDF when there is none).
struct ReportChoice {
    enum Kind { None, Pdf, Csv, Print } kind = None;
    int process = 0;
    QString path; // Pdf and Csv only
};

// selectedKey: the key of the tree's current node, empty for none.
ReportChoice ChooseProcessReport(const ParameterModel& model, const QString& selectedKey);

// The process number a tree key belongs to, 0 for none ("L5,P3" -> 3).
int ProcessOfKey(const QString& key);

// The report as the window prints it: with the database file and the time.
ProcessReport WindowProcessReport(const ParameterModel& model, int process);

// Writes a Pdf or Csv choice with the given PDF writer (the window passes
// WriteProcessReportPdf; the core library has no painter); on failure shows
// "The report could not be written to <file>: <why>".
bool SaveProcessReport(const ParameterModel& model, const ReportChoice& choice,
                       bool (*writePdf)(const ProcessReport&, const QString&, QString*, int*));

#endif
