#ifndef DCX_PROCESS_PROCESSREPORTPDF_H
#define DCX_PROCESS_PROCESSREPORTPDF_H

#include <QString>

class QPagedPaintDevice;
struct ProcessReport;

// The process report painted on paper: a heading, the layer table (steps told
// apart by shading, headings repeated on every page) and the film table with
// one column per film. Needs a QGuiApplication (fonts), not widgets.

// Paints on device as it is laid out (a QPdfWriter, or the QPrinter the print
// dialog set up) and returns the number of pages; 0 when painting could not start.
int PaintProcessReport(const ProcessReport& report, QPagedPaintDevice& device);

// A4 landscape PDF at path; false with *error set when it cannot be written.
bool WriteProcessReportPdf(const ProcessReport& report, const QString& path, QString* error,
                           int* pages = nullptr);

#endif
