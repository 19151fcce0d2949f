#ifndef DCX_PROCESS_PROCESSREPORT_H
#define DCX_PROCESS_PROCESSREPORT_H

#include <QString>
#include <QStringList>

#include <vector>

struct ParameterModel;

// The readable report of one process as plain data: every layer in walk order
// with its co-deposition role, and every film the process uses. Values are
// already formatted the way the editors show them, with "." decimals; the
// display patterns and units come from the record field table. The CSV
// writer here and the PDF painter (processreportpdf.h) both render it.

struct ReportTable {
    QStringList headings;          // unit in brackets where the field has one
    std::vector<QStringList> rows; // each as long as headings
};

struct ProcessReport {
    int process = 0;
    QString name;       // trimmed
    int steps = 0;      // co-deposition groups met on the walk
    QStringList notes;  // "The process has no layers.", a broken or looping walk
    ReportTable layers; // one row per layer, walk order
    ReportTable films;  // one row per film, in order of first use
    // Set by the caller, shown in the PDF heading only (the CSV stays reproducible).
    QString source;  // the database file
    QString printed; // date and time of printing
};

// The report of process (1..MaxProcesses); an empty process gives a report
// with no rows and a note saying so. A process number out of range gives a
// report with a note and nothing else.
ProcessReport BuildProcessReport(const ParameterModel& model, int process);

// CSV: a "Process" line, the notes, then the layer table and the film table,
// each with its heading line, separated by an empty line. "." decimals in any
// locale, fields quoted when they hold a comma, a quote or a line break, CR LF
// line ends, UTF-8 without a byte order mark.
QByteArray ProcessReportCsv(const ProcessReport& report);
// Writes the CSV to path; false with *error set when the file cannot be written.
bool WriteProcessReportCsv(const ProcessReport& report, const QString& path, QString* error);

// "Process 3: NiCr CoDep", the heading of every rendering.
QString ProcessReportTitle(const ProcessReport& report);

#endif
